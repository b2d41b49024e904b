#include "swreceptor.h"

#include "consoleio.h"
#include "kvq_orb.h"
#include "kvq_symwatchhub.h"

#include <cstdio>

SWReceptor::SWReceptor() : QObject(nullptr), holder(std::make_unique<WatchHolder>()) {
    QObject* object = KVQ_ORB::createObject("KVQ_SymWatchHub", nullptr, nullptr, QStringList());
    holder->hub = qobject_cast<KVQ_SymWatchHub*>(object);
    if (object && !holder->hub)
        delete object; // not a hub: nothing will use it
    if (holder->hub)
        holder->code = holder->hub->allocWatchCode();
    if (holder->hub)
        QObject::connect(holder->hub, SIGNAL(symChanged(unsigned long)), this,
                         SLOT(slotPrintEvent(unsigned long)));
}

SWReceptor::~SWReceptor() {
    if (holder->hub)
        holder->hub->freeWatchCode(holder->code);
}

unsigned long SWReceptor::number() const {
    for (unsigned long k = 0; k < 32; ++k) {
        if (holder->code == (1UL << k))
            return k + 1;
    }
    return 0;
}

void SWReceptor::slotPrintEvent(unsigned long events) {
    static const struct {
        int kinds;
        const char* heading;
    } lists[] = {{KVQ_SymWatchHub::NewVariables, "  New variables: "},
                 {KVQ_SymWatchHub::DeletedVariables, "\n  Deleted variables: "},
                 {KVQ_SymWatchHub::ModifiedVariables, "\n  Modified variables: "},
                 {KVQ_SymWatchHub::AllChanges, "\n  All affected variables: "}};

    QStringList names;
    for (const auto& list : lists) {
        if (holder->hub)
            holder->hub->getChangedVariables(names, list.kinds);
        std::fputs(list.heading, stdout);
        if (names.isEmpty())
            std::fputs("*NONE*", stdout);
        for (const QString& name : names) {
            writeText(name);
            std::fputs(" ", stdout);
        }
    }
    std::fputs("\n", stdout);

    const unsigned long code = holder->code;
    if (code == 0 || (code & events) != 0) {
        std::printf("Receptor %lu (%lx) reports a symchanged event %lx.\n", number(), code, events);
        if (code != 0 && holder->hub)
            holder->hub->resetWatchFlags(code);
    } else {
        std::printf("Receptor %lu (%lx) reports an irrelevant symchanged event %lx.\n", number(),
                    code, events);
    }
}
