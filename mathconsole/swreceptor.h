// A symbol-watch receptor: asks the broker for a hub of its own, takes a watch code from it and
// reports every symChanged event it receives.
#ifndef MATHCONSOLE_SWRECEPTOR_H
#define MATHCONSOLE_SWRECEPTOR_H

#include "watchholder.h"

#include <QObject>

#include <memory>

class SWReceptor : public QObject {
    Q_OBJECT

public:
    SWReceptor();
    ~SWReceptor() override;

    unsigned long code() const { return holder->code; }
    KVQ_SymWatchHub* hub() const { return holder->hub; }
    // k + 1 when the code is exactly the bit 1 << k (k 0-31), otherwise 0.
    unsigned long number() const;

public slots:
    virtual void slotPrintEvent(unsigned long events);

private:
    std::unique_ptr<WatchHolder> holder;
};

#endif
