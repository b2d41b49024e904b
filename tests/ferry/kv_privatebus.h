// A dbus-daemon of its own for one test or benchmark, so that the user's session bus is never
// touched. The daemon is stopped when the object is destroyed.
#ifndef KV_PRIVATEBUS_H
#define KV_PRIVATEBUS_H

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>

class KV_PrivateBus {
public:
    KV_PrivateBus();
    ~KV_PrivateBus();

    bool isRunning() const { return !busAddress.isEmpty(); }
    QByteArray address() const { return busAddress; }
    // The environment of this process with DBUS_SESSION_BUS_ADDRESS naming this bus.
    QProcessEnvironment environment() const;
    // Points DBUS_SESSION_BUS_ADDRESS of this process at the bus until destruction.
    void useInThisProcess();

private:
    QProcess daemon;
    QByteArray busAddress;
    QByteArray savedAddress;
    bool savedSet = false;
    bool inThisProcess = false;
};

#endif
