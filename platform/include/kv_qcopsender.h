// Sends QCop messages as D-Bus signals on the session bus: object path /QCop, interface
// org.kv.QCop, member "message", arguments (channel, message, data). Each message goes out on a
// private connection of its own through libdbus-1, which is closed again before returning.
#ifndef KV_QCOPSENDER_H
#define KV_QCOPSENDER_H

#include <QByteArray>
#include <QString>

class KV_QCopSender {
public:
    // Sends one message; on failure returns false and sets *error to one sentence. Channel and
    // message are 8-bit (Latin-1) names without zero bytes. Every step waits at most timeoutMs.
    static bool send(const QByteArray& channel, const QByteArray& message, const QByteArray& data,
                     QString* error, int timeoutMs = 5000);
    // The session bus address from the environment: DBUS_SESSION_BUS_ADDRESS, or the bus socket
    // in XDG_RUNTIME_DIR when that variable is unset. Empty when neither is available.
    static QByteArray sessionAddress();
};

#endif
