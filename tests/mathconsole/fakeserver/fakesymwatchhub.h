// A symbol-watch hub for the console tests. Every hub records every change of a variable;
// a change that concerns a marking or watching code makes every hub emit symChanged.
#ifndef FAKESYMWATCHHUB_H
#define FAKESYMWATCHHUB_H

#include "kvq_symwatchhub.h"

#include <QMap>

class FakeSymWatchHub : public KVQ_SymWatchHub {
    Q_OBJECT

public:
    FakeSymWatchHub();
    ~FakeSymWatchHub() override;

    unsigned long allocWatchCode() override;
    void freeWatchCode(unsigned long code) override;
    void startMarking(unsigned long code, bool reset) override;
    void stopMarking(unsigned long code) override;
    int markVariableList(unsigned long code, const QStringList& variables, bool reset) override;
    void getChangedVariables(QStringList& names, int kinds) override;
    void resetWatchFlags(unsigned long code) override;

    void record(const QString& name, int kind);
    void notify(unsigned long events);

private:
    QMap<QString, int> changes; // name -> kind of its last change since the flags were reset
};

#endif
