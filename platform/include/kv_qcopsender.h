// Sends QCop messages as D-Bus signals on the session bus: object path /QCop, interface
// org.kv.QCop, member "message", arguments (channel, message, data). It speaks just enough of
// the bus protocol to send one signal, so that short-lived senders start quickly.
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
    // The marshalled signal, with the given serial.
    static QByteArray signalMessage(quint32 serial, const QByteArray& channel,
                                    const QByteArray& message, const QByteArray& data);
};

#endif
