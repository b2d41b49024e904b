#include "symbols/kvq_qalcsymwatchhub.h"

#include "engine/kv_matherrors.h"
#include "symbols/kv_symboltable.h"
#include "symbols/kv_watchregistry.h"

KVQ_QalcSymWatchHub::KVQ_QalcSymWatchHub(QObject* parent) : KVQ_SymWatchHub(parent) {
    KV_WatchRegistry::instance().addHub(this);
}

KVQ_QalcSymWatchHub::~KVQ_QalcSymWatchHub() {
    KV_WatchRegistry::instance().releaseAll(this);
    KV_WatchRegistry::instance().removeHub(this);
}

unsigned long KVQ_QalcSymWatchHub::allocWatchCode() {
    return KV_WatchRegistry::instance().allocate(this);
}

void KVQ_QalcSymWatchHub::freeWatchCode(unsigned long code) {
    KV_WatchRegistry::instance().release(code, this);
}

void KVQ_QalcSymWatchHub::startMarking(unsigned long code, bool reset) {
    if (KV_WatchRegistry::instance().owns(code, this))
        KV_WatchRegistry::instance().startMarking(code, reset);
}

void KVQ_QalcSymWatchHub::stopMarking(unsigned long code) {
    if (KV_WatchRegistry::instance().owns(code, this))
        KV_WatchRegistry::instance().stopMarking(code);
}

int KVQ_QalcSymWatchHub::markVariableList(unsigned long code, const QStringList& variables,
                                          bool reset) {
    if (!KV_WatchRegistry::instance().owns(code, this))
        return KV_MathErrors::BadWatchCode;
    for (const QString& name : variables) {
        if (!KV_SymbolTable::isValidName(name))
            return KV_MathErrors::InvalidVariableName;
    }
    KV_WatchRegistry::instance().markVariables(code, variables, reset);
    return KV_MathErrors::Ok;
}

void KVQ_QalcSymWatchHub::getChangedVariables(QStringList& names, int kinds) {
    names = KV_WatchRegistry::instance().changed(this, kinds);
}

void KVQ_QalcSymWatchHub::resetWatchFlags(unsigned long code) {
    if (KV_WatchRegistry::instance().owns(code, this))
        KV_WatchRegistry::instance().resetFlags(code);
}
