#include "kv_qcopconnection.h"

#include "kv_busconnector.h"
#include "kv_qcopsender.h"

#include <dbus/dbus.h>

#include <memory>

namespace {

struct MessageUnref {
    void operator()(DBusMessage* m) const { dbus_message_unref(m); }
};
using Message = std::unique_ptr<DBusMessage, MessageUnref>;

Message qcopSignal(const QByteArray& channel, const QByteArray& message, const QByteArray& data) {
    Message signal(dbus_message_new_signal("/QCop", "org.kv.QCop", "message"));
    // Bus strings are UTF-8; the 8-bit names are Latin-1.
    const QByteArray channelText = QString::fromLatin1(channel).toUtf8();
    const QByteArray messageText = QString::fromLatin1(message).toUtf8();
    const char* channelArg = channelText.constData();
    const char* messageArg = messageText.constData();
    const char* bytes = data.constData();
    if (!signal ||
        !dbus_message_append_args(signal.get(), DBUS_TYPE_STRING, &channelArg, DBUS_TYPE_STRING,
                                  &messageArg, DBUS_TYPE_ARRAY, DBUS_TYPE_BYTE, &bytes,
                                  int(data.size()), DBUS_TYPE_INVALID))
        return Message();
    return signal;
}

bool validName(const QByteArray& name, const char* what, QString* error) {
    if (name.contains('\0')) {
        *error = QStringLiteral("the %1 contains a zero byte").arg(QLatin1String(what));
        return false;
    }
    return true;
}

QString sendError(const QString& why) {
    return QStringLiteral("cannot send on the session bus: %1").arg(why);
}

} // namespace

KV_QCopConnection::KV_QCopConnection(int timeoutMs) : timeoutMs(timeoutMs) {}

KV_QCopConnection::~KV_QCopConnection() {
    close();
}

void KV_QCopConnection::close() {
    if (!connection)
        return;
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
    connection = nullptr;
}

bool KV_QCopConnection::check(const QByteArray& channel, const QByteArray& message,
                              const QByteArray& data, QString* error) {
    if (!validName(channel, "channel name", error) || !validName(message, "message name", error))
        return false;
    if (data.size() > DBUS_MAXIMUM_ARRAY_LENGTH) {
        *error = QStringLiteral("the message is too large for the bus (%1 bytes)").arg(data.size());
        return false;
    }
    return true;
}

bool KV_QCopConnection::open(QString* error) {
    close();
    const QByteArray address = KV_QCopSender::sessionAddress();
    if (address.isEmpty()) {
        *error = QStringLiteral("no session bus: DBUS_SESSION_BUS_ADDRESS is unset or empty");
        return false;
    }
    connection = KV_BusConnector::open(address, timeoutMs, error);
    if (!connection)
        return false;
    // The bus's answer to Hello is not waited for: the answer to the call after the first
    // message covers it.
    const Message hello(KV_BusConnector::busCall("Hello"));
    if (!hello || !dbus_connection_send(connection, hello.get(), nullptr)) {
        *error = sendError(QStringLiteral("out of memory"));
        close();
        return false;
    }
    return true;
}

// Sends the signal, then waits for the bus's answer to a call sent after it. The bus handles a
// connection's messages in order, so that answer means it has taken the signal: only then may
// the connection close without the bus dropping a half-read message.
bool KV_QCopConnection::send(const QByteArray& channel, const QByteArray& message,
                             const QByteArray& data, QString* error) {
    if (!check(channel, message, data, error))
        return false;
    if (!connection) {
        *error = QStringLiteral("not connected to the session bus");
        return false;
    }
    const Message signal = qcopSignal(channel, message, data);
    if (!signal || !dbus_connection_send(connection, signal.get(), nullptr)) {
        *error = sendError(QStringLiteral("out of memory"));
        return false;
    }
    QString why;
    if (KV_BusConnector::waitForBus(connection, timeoutMs, &why))
        return true;
    *error = sendError(why);
    close();
    return false;
}
