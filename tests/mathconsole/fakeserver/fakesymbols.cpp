#include "fakesymbols.h"

#include "fakesymwatchhub.h"

#include <QFile>

FakeSymbols& FakeSymbols::instance() {
    static FakeSymbols symbols;
    return symbols;
}

FakeSymbols::~FakeSymbols() {
    closing = true;
    qDeleteAll(hubs);
}

void FakeSymbols::change(const QString& name, const QString& value) {
    int kind = KVQ_SymWatchHub::ModifiedVariables;
    if (value.isEmpty()) {
        variables.remove(name);
        kind = KVQ_SymWatchHub::DeletedVariables;
    } else {
        if (!variables.contains(name))
            kind = KVQ_SymWatchHub::NewVariables;
        variables.insert(name, value);
    }
    unsigned long events = 0;
    for (auto it = marking.cbegin(); it != marking.cend(); ++it) {
        if (it.value())
            events |= it.key();
    }
    for (auto it = watched.cbegin(); it != watched.cend(); ++it) {
        if (it.value().contains(name))
            events |= it.key();
    }
    const QVector<FakeSymWatchHub*> current = hubs;
    for (FakeSymWatchHub* hub : current)
        hub->record(name, kind);
    if (events == 0)
        return;
    for (FakeSymWatchHub* hub : current)
        hub->notify(events);
}

void FakeSymbols::clear() {
    const QStringList names = variables.keys();
    for (const QString& name : names)
        change(name, QString());
}

void FakeSymbols::addHub(FakeSymWatchHub* hub) {
    hubs.append(hub);
}

void FakeSymbols::removeHub(FakeSymWatchHub* hub) {
    if (!closing)
        hubs.removeAll(hub);
}

unsigned long FakeSymbols::allocCode() {
    const QByteArray fixed = qgetenv("KV_FAKE_WATCH_CODE");
    if (!fixed.isEmpty())
        return fixed.toULong(nullptr, 16);
    for (unsigned long k = 0; k < 32; ++k) {
        const unsigned long bit = 1UL << k;
        if (!(usedCodes & bit)) {
            usedCodes |= bit;
            return bit;
        }
    }
    return 0;
}

void FakeSymbols::freeCode(unsigned long code) {
    usedCodes &= ~code;
    marking.remove(code);
    watched.remove(code);
}

void FakeSymbols::trace(const QString& line) {
    const QString path = qEnvironmentVariable("KV_FAKE_TRACE");
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((line + QLatin1Char('\n')).toUtf8());
}
