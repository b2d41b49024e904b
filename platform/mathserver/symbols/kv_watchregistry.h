// Process-wide watch codes of the symbol-watch hubs: which variables each code watches, what
// happened to them since the code's flags were last reset, and the hubs that announce changes.
#ifndef KV_WATCHREGISTRY_H
#define KV_WATCHREGISTRY_H

#include <QList>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <array>

class KVQ_SymWatchHub;

class KV_WatchRegistry {
public:
    static constexpr int CodeCount = 32;

    static KV_WatchRegistry& instance();

    // The lowest free single-bit code, owned by owner; 0 when all are taken.
    unsigned long allocate(const void* owner);
    // Frees a code that owner holds; anything else is ignored.
    void release(unsigned long code, const void* owner);
    void releaseAll(const void* owner);
    bool owns(unsigned long code, const void* owner) const;

    // While a code is marking, every variable that changes becomes watched by it.
    void startMarking(unsigned long code, bool reset);
    void stopMarking(unsigned long code);
    void markVariables(unsigned long code, const QStringList& names, bool reset);
    void resetFlags(unsigned long code);
    // Variables changed in the given kinds (1 new, 2 deleted, 4 modified) for owner's codes.
    QStringList changed(const void* owner, int kinds) const;

    // Reports from the symbol table; they take effect at the next flush().
    void variableCreated(const QString& name);
    void variableDeleted(const QString& name);
    void variableModified(const QString& name);
    // Emits symChanged on every hub with the codes touched since the last flush.
    void flush();

    void addHub(KVQ_SymWatchHub* hub);
    void removeHub(KVQ_SymWatchHub* hub);

private:
    struct Watch {
        const void* owner = nullptr;
        bool marking = false;
        QSet<QString> watched;
        QSet<QString> created;
        QSet<QString> deleted;
        QSet<QString> modified;
    };
    enum Kind { Created, Deleted, Modified };

    KV_WatchRegistry() = default;
    static int indexOf(unsigned long code);
    Watch* watchFor(unsigned long code);
    void note(const QString& name, Kind kind);

    std::array<Watch, CodeCount> watches_;
    unsigned long pending_ = 0;
    QList<QPointer<KVQ_SymWatchHub>> hubs_;
};

#endif
