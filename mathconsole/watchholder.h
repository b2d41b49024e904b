// What a symbol-watch receptor holds of its hub: its own hub object and the watch code the
// hub gave it.
#ifndef MATHCONSOLE_WATCHHOLDER_H
#define MATHCONSOLE_WATCHHOLDER_H

class KVQ_SymWatchHub;

struct WatchHolder {
    unsigned long code = 0;         // a single bit 1 << k, or 0 when there is none
    KVQ_SymWatchHub* hub = nullptr; // null when the broker gave none; never deleted here
};

#endif
