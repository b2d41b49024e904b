#include "fakesymwatchhub.h"

#include "fakesymbols.h"

FakeSymWatchHub::FakeSymWatchHub() {
    FakeSymbols::instance().addHub(this);
}

FakeSymWatchHub::~FakeSymWatchHub() {
    FakeSymbols::instance().removeHub(this);
}

unsigned long FakeSymWatchHub::allocWatchCode() {
    const unsigned long code = FakeSymbols::instance().allocCode();
    FakeSymbols::trace(QStringLiteral("alloc %1").arg(code, 0, 16));
    return code;
}

void FakeSymWatchHub::freeWatchCode(unsigned long code) {
    FakeSymbols::instance().freeCode(code);
    FakeSymbols::trace(QStringLiteral("free %1").arg(code, 0, 16));
}

void FakeSymWatchHub::startMarking(unsigned long code, bool reset) {
    FakeSymbols::instance().marking.insert(code, true);
    if (reset)
        changes.clear();
    FakeSymbols::trace(QStringLiteral("start %1 reset=%2").arg(code, 0, 16).arg(reset));
}

void FakeSymWatchHub::stopMarking(unsigned long code) {
    FakeSymbols::instance().marking.insert(code, false);
    FakeSymbols::trace(QStringLiteral("stop %1").arg(code, 0, 16));
}

int FakeSymWatchHub::markVariableList(unsigned long code, const QStringList& variables,
                                      bool reset) {
    FakeSymbols::trace(QStringLiteral("mark %1 [%2] reset=%3")
                           .arg(code, 0, 16)
                           .arg(variables.join(QLatin1Char(',')))
                           .arg(reset));
    if (variables.contains(QStringLiteral("bad")))
        return 21;
    FakeSymbols::instance().watched.insert(code, variables);
    if (reset)
        changes.clear();
    return 0;
}

void FakeSymWatchHub::getChangedVariables(QStringList& names, int kinds) {
    names.clear();
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        if (it.value() & kinds)
            names.append(it.key());
    }
}

void FakeSymWatchHub::resetWatchFlags(unsigned long code) {
    changes.clear();
    FakeSymbols::trace(QStringLiteral("resetflags %1").arg(code, 0, 16));
}

void FakeSymWatchHub::record(const QString& name, int kind) {
    changes.insert(name, kind);
}

void FakeSymWatchHub::notify(unsigned long events) {
    emit symChanged(events);
}
