#include "engine/kv_messagestops.h"

#include <libqalculate/qalculate.h>

namespace {
// The engine counts its temporary stops in a protected member and offers no getter.
struct StopCount : Calculator {
    static int of(const Calculator& calculator) {
        return calculator.*(&StopCount::disable_errors_ref);
    }
};
} // namespace

KV_MessageStops::KV_MessageStops() : depth_(depth()) {}

KV_MessageStops::~KV_MessageStops() {
    restore();
}

int KV_MessageStops::depth() {
    return StopCount::of(*CALCULATOR);
}

void KV_MessageStops::restore() const {
    while (depth() > depth_ && CALCULATOR->endTemporaryStopMessages() >= 0) {
    }
    while (depth() < depth_)
        CALCULATOR->beginTemporaryStopMessages();
}
