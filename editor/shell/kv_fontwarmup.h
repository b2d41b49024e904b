// KV_FontWarmUp: reads the system's font configuration on a worker thread while the window is
// being built. The first text a widget measures needs Qt's font database, whose setup (reading
// the font configuration and the list of fonts) is the longest single step of a start; begun at
// once on another thread, it is mostly done by the time the tool bars ask for it. Qt's font
// database serialises its own use, so the window only waits for what is left. The destructor
// waits for the thread.
#ifndef KV_FONTWARMUP_H
#define KV_FONTWARMUP_H

#include <thread>

class KV_FontWarmUp {
public:
    KV_FontWarmUp();
    ~KV_FontWarmUp();
    KV_FontWarmUp(const KV_FontWarmUp&) = delete;
    KV_FontWarmUp& operator=(const KV_FontWarmUp&) = delete;

private:
    std::thread worker;
};

#endif
