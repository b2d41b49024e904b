#include "engine/kv_enginescope.h"

#include "engine/kv_qalcengine.h"

KV_EngineScope::KV_EngineScope(int timeLimitMs, QStringList& warnings) : warnings_(warnings) {
    KV_QalcEngine::startControl(timeLimitMs);
}

KV_EngineScope::~KV_EngineScope() {
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    warnings_.removeDuplicates();
}

bool KV_EngineScope::aborted() const {
    return KV_QalcEngine::aborted();
}
