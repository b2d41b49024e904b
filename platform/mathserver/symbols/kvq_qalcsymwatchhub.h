// The symbol-watch hub served as "KVQ_SymWatchHub". Codes and records live in the process-wide
// registry; a hub owns the codes it allocated and frees them when it is destroyed.
#ifndef KVQ_QALCSYMWATCHHUB_H
#define KVQ_QALCSYMWATCHHUB_H

#include "kvq_symwatchhub.h"

class KVQ_QalcSymWatchHub : public KVQ_SymWatchHub {
    Q_OBJECT

public:
    explicit KVQ_QalcSymWatchHub(QObject* parent = nullptr);
    ~KVQ_QalcSymWatchHub() override;

    unsigned long allocWatchCode() override;
    void freeWatchCode(unsigned long code) override;
    void startMarking(unsigned long code, bool reset) override;
    void stopMarking(unsigned long code) override;
    int markVariableList(unsigned long code, const QStringList& variables, bool reset) override;
    void getChangedVariables(QStringList& names, int kinds) override;
    void resetWatchFlags(unsigned long code) override;
};

#endif
