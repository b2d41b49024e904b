#include "kv_qcopsender.h"

#include <QElapsedTimer>
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

// A DBusError that frees itself.
class Error {
public:
    Error() { dbus_error_init(&e); }
    ~Error() { dbus_error_free(&e); }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
    DBusError* operator&() { return &e; }
    bool isSet() const { return dbus_error_is_set(&e); }
    bool isTimeout() const { return isSet() && dbus_error_has_name(&e, DBUS_ERROR_NO_REPLY); }
    QString text() const { return QString::fromUtf8(e.message); }

private:
    DBusError e;
};

Message busCall(const char* member) {
    return Message(dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS,
                                                DBUS_INTERFACE_DBUS, member));
}

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

// libdbus authenticates while it waits for a reply, but that wait has no time limit until the
// connection is authenticated, so authentication is waited for here.
bool authenticate(DBusConnection* c, int timeoutMs, QString* error) {
    QElapsedTimer clock;
    clock.start();
    while (!dbus_connection_get_is_authenticated(c)) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) {
            *error = QStringLiteral("the bus did not answer within %1 ms").arg(timeoutMs);
            return false;
        }
        if (!dbus_connection_read_write(c, int(left))) {
            *error = QStringLiteral("the bus closed the connection");
            return false;
        }
    }
    return true;
}

// Registers with the bus and sends the signal, then waits for the bus's answer to a call sent
// after it. The bus handles a connection's messages in order, so that answer means it has taken
// the signal: only then may the connection close without the bus dropping a half-read message.
bool deliver(DBusConnection* c, DBusMessage* signal, int timeoutMs, QString* error) {
    if (!authenticate(c, timeoutMs, error))
        return false;
    const Message hello = busCall("Hello");
    const Message getId = busCall("GetId");
    if (!hello || !getId || !dbus_connection_send(c, hello.get(), nullptr) ||
        !dbus_connection_send(c, signal, nullptr)) {
        *error = QStringLiteral("out of memory");
        return false;
    }
    Error e;
    const Message reply(dbus_connection_send_with_reply_and_block(c, getId.get(), timeoutMs, &e));
    if (reply)
        return true;
    *error = e.isTimeout() ? QStringLiteral("the bus did not answer within %1 ms").arg(timeoutMs)
                           : e.text();
    return false;
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
    Error e;
    const Connection c(dbus_connection_open_private(address.constData(), &e));
    if (!c) {
        *error = QStringLiteral("cannot reach the session bus at \"%1\": %2")
                     .arg(QString::fromLocal8Bit(address), e.text());
        return false;
    }
    // Once connected, a failure is final: the message may have been delivered already.
    if (deliver(c.get(), signal.get(), timeoutMs, error))
        return true;
    *error = QStringLiteral("cannot send on the session bus: %1").arg(*error);
    return false;
}
