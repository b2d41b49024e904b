// Watches the start of the Qt application on its platform. Qt aborts the process, after a
// screenful of text, when a platform plugin that exists cannot start (no display reachable, no
// EGL display, no DRM device); a platform that starts without any screen aborts later, when the
// first window is made. While a watch lives, Qt's messages are kept back; a fatal one is turned
// into one line naming the platform and the reason, and the process ends with status 1.
// Afterwards the kept messages are passed on as usual.
#ifndef KV_PLATFORMWATCH_H
#define KV_PLATFORMWATCH_H

#include <QStringList>

class KV_PlatformWatch {
public:
    // program must outlive the watch; requested are the platforms asked for, if any.
    KV_PlatformWatch(const char* program, const QStringList& requested);
    // Passes the kept messages on to the message handler that was there before.
    ~KV_PlatformWatch();

    KV_PlatformWatch(const KV_PlatformWatch&) = delete;
    KV_PlatformWatch& operator=(const KV_PlatformWatch&) = delete;

    // Once the application object exists: when the platform gave it no screen, writes the one
    // line and ends the process with status 1, without tearing down the platform (whose input
    // handlers do not release what they hold when it has no screen).
    void requireScreen();
};

#endif
