#include "symbols/kv_watchregistry.h"

#include "kvq_symwatchhub.h"

#include <algorithm>

KV_WatchRegistry& KV_WatchRegistry::instance() {
    static KV_WatchRegistry registry;
    return registry;
}

int KV_WatchRegistry::indexOf(unsigned long code) {
    if (code == 0 || (code & (code - 1)) != 0)
        return -1;
    for (int k = 0; k < CodeCount; ++k) {
        if (code == (1UL << k))
            return k;
    }
    return -1;
}

KV_WatchRegistry::Watch* KV_WatchRegistry::watchFor(unsigned long code) {
    const int k = indexOf(code);
    if (k < 0 || !watches_[k].owner)
        return nullptr;
    return &watches_[k];
}

unsigned long KV_WatchRegistry::allocate(const void* owner) {
    for (int k = 0; k < CodeCount; ++k) {
        if (!watches_[k].owner) {
            watches_[k] = Watch();
            watches_[k].owner = owner;
            return 1UL << k;
        }
    }
    return 0;
}

void KV_WatchRegistry::release(unsigned long code, const void* owner) {
    if (owns(code, owner))
        watches_[indexOf(code)] = Watch();
}

void KV_WatchRegistry::releaseAll(const void* owner) {
    for (Watch& w : watches_) {
        if (w.owner == owner)
            w = Watch();
    }
}

bool KV_WatchRegistry::owns(unsigned long code, const void* owner) const {
    const int k = indexOf(code);
    return k >= 0 && owner && watches_[k].owner == owner;
}

void KV_WatchRegistry::startMarking(unsigned long code, bool reset) {
    if (Watch* w = watchFor(code)) {
        if (reset) {
            w->watched.clear();
            w->created.clear();
            w->deleted.clear();
            w->modified.clear();
        }
        w->marking = true;
    }
}

void KV_WatchRegistry::stopMarking(unsigned long code) {
    if (Watch* w = watchFor(code))
        w->marking = false;
}

void KV_WatchRegistry::markVariables(unsigned long code, const QStringList& names, bool reset) {
    Watch* w = watchFor(code);
    if (!w)
        return;
    if (reset) {
        w->created.clear();
        w->deleted.clear();
        w->modified.clear();
    }
    for (const QString& name : names)
        w->watched.insert(name);
}

void KV_WatchRegistry::resetFlags(unsigned long code) {
    if (Watch* w = watchFor(code)) {
        w->created.clear();
        w->deleted.clear();
        w->modified.clear();
    }
}

QStringList KV_WatchRegistry::changed(const void* owner, int kinds) const {
    QSet<QString> all;
    for (const Watch& w : watches_) {
        if (!owner || w.owner != owner)
            continue;
        if (kinds & 1)
            all.unite(w.created);
        if (kinds & 2)
            all.unite(w.deleted);
        if (kinds & 4)
            all.unite(w.modified);
    }
    QStringList names(all.begin(), all.end());
    std::sort(names.begin(), names.end());
    return names;
}

// The records hold the net change since the last reset: a variable created and deleted again
// is no change; one deleted and created again counts as modified.
void KV_WatchRegistry::note(const QString& name, Kind kind) {
    for (int k = 0; k < CodeCount; ++k) {
        Watch& w = watches_[k];
        if (!w.owner)
            continue;
        if (w.marking)
            w.watched.insert(name);
        if (!w.watched.contains(name))
            continue;
        switch (kind) {
        case Created:
            if (w.deleted.remove(name))
                w.modified.insert(name);
            else
                w.created.insert(name);
            break;
        case Deleted:
            w.modified.remove(name);
            if (!w.created.remove(name))
                w.deleted.insert(name);
            break;
        case Modified:
            if (!w.created.contains(name))
                w.modified.insert(name);
            break;
        }
        pending_ |= 1UL << k;
    }
}

void KV_WatchRegistry::variableCreated(const QString& name) {
    note(name, Created);
}
void KV_WatchRegistry::variableDeleted(const QString& name) {
    note(name, Deleted);
}
void KV_WatchRegistry::variableModified(const QString& name) {
    note(name, Modified);
}

void KV_WatchRegistry::flush() {
    const unsigned long events = pending_;
    pending_ = 0;
    if (events == 0)
        return;
    // A receptor may create or delete hubs while it handles the signal.
    const QList<QPointer<KVQ_SymWatchHub>> hubs = hubs_;
    for (const QPointer<KVQ_SymWatchHub>& hub : hubs) {
        if (hub)
            emit hub->symChanged(events);
    }
}

void KV_WatchRegistry::addHub(KVQ_SymWatchHub* hub) {
    hubs_.append(QPointer<KVQ_SymWatchHub>(hub));
}

void KV_WatchRegistry::removeHub(KVQ_SymWatchHub* hub) {
    hubs_.removeIf([hub](const QPointer<KVQ_SymWatchHub>& p) { return !p || p == hub; });
}
