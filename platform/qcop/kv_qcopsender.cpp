#include "kv_qcopsender.h"

#include "kv_busconnector.h"

#include <QFileInfo>

#include <dbus/dbus.h>

#include <memory>

namespace {

// A private connection, closed and released when it goes out of scope.
struct ConnectionCloser {
    void operator()(DBusConnection* c) const {
        dbus_connection_close(c);
        dbus_connection_unref(c);
    }
};
using Connection = std::unique_ptr<DBusConnection, ConnectionCloser>;

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

// Registers with the bus and sends the signal, then waits for the bus's answer to a call sent
// after it. The bus handles a connection's messages in order, so that answer means it has taken
// the signal: only then may the connection close without the bus dropping a half-read message.
bool deliver(DBusConnection* c, DBusMessage* signal, int timeoutMs, QString* error) {
    const Message hello(KV_BusConnector::busCall("Hello"));
    if (!hello || !dbus_connection_send(c, hello.get(), nullptr) ||
        !dbus_connection_send(c, signal, nullptr)) {
        *error = QStringLiteral("out of memory");
        return false;
    }
    return KV_BusConnector::waitForBus(c, timeoutMs, error);
}

} // namespace

QByteArray KV_QCopSender::sessionAddress() {
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QFileInfo::exists(QString::fromLocal8Bit(runtime + "/bus")))
        return QByteArray();
    char* escaped = dbus_address_escape_value(runtime.constData());
    if (!escaped)
        return QByteArray();
    const QByteArray address = "unix:path=" + QByteArray(escaped) + "/bus";
    dbus_free(escaped);
    return address;
}

bool KV_QCopSender::send(const QByteArray& channel, const QByteArray& message,
                         const QByteArray& data, QString* error, int timeoutMs) {
    QString local;
    if (!error)
        error = &local;
    if (!validName(channel, "channel name", error) || !validName(message, "message name", error))
        return false;
    if (data.size() > DBUS_MAXIMUM_ARRAY_LENGTH) {
        *error = QStringLiteral("the message is too large for the bus (%1 bytes)").arg(data.size());
        return false;
    }
    const Message signal = qcopSignal(channel, message, data);
    if (!signal) {
        *error = QStringLiteral("out of memory");
        return false;
    }

    const QByteArray address = sessionAddress();
    if (address.isEmpty()) {
        *error = QStringLiteral("no session bus: DBUS_SESSION_BUS_ADDRESS is unset or empty");
        return false;
    }
    const Connection c(KV_BusConnector::open(address, timeoutMs, error));
    if (!c)
        return false;
    // Once connected, a failure is final: the message may have been delivered already.
    if (deliver(c.get(), signal.get(), timeoutMs, error))
        return true;
    *error = QStringLiteral("cannot send on the session bus: %1").arg(*error);
    return false;
}
