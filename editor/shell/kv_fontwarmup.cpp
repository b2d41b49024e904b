#include "kv_fontwarmup.h"

#include <QFontDatabase>
#include <QStringList>

KV_FontWarmUp::KV_FontWarmUp() : worker([] { (void)QFontDatabase::families(); }) {}

KV_FontWarmUp::~KV_FontWarmUp() {
    if (worker.joinable())
        worker.join();
}
