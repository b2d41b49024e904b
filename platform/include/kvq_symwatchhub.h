// The symbol-watch hub as its callers see it: served by the broker under the class name
// "KVQ_SymWatchHub". Watch codes are single bits (1 << k, k 0-31); 0 means no code.
#ifndef KVQ_SYMWATCHHUB_H
#define KVQ_SYMWATCHHUB_H

#include <QObject>
#include <QStringList>

class KVQ_SymWatchHub : public QObject {
    Q_OBJECT

public:
    // Kinds of change for getChangedVariables; they combine as bits.
    enum ChangeKind {
        NewVariables = 1,
        DeletedVariables = 2,
        ModifiedVariables = 4,
        AllChanges = 7
    };

    explicit KVQ_SymWatchHub(QObject* parent = nullptr);
    ~KVQ_SymWatchHub() override;

    virtual void reserved1() {}
    // A free single-bit code, or 0 when all 32 are taken.
    virtual unsigned long allocWatchCode() = 0;
    virtual void freeWatchCode(unsigned long code) = 0;
    virtual void reserved2() {}
    virtual void startMarking(unsigned long code, bool reset) = 0;
    virtual void stopMarking(unsigned long code) = 0;
    // Returns a math server result code.
    virtual int markVariableList(unsigned long code, const QStringList& variables, bool reset) = 0;
    // Replaces names with the variables changed in the given kinds since the flags were reset.
    virtual void getChangedVariables(QStringList& names, int kinds) = 0;
    virtual void reserved3() {}
    virtual void resetWatchFlags(unsigned long code) = 0;

signals:
    // events: the bit set of the watch codes whose variables changed.
    void symChanged(unsigned long events);
};

#endif
