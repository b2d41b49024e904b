#include "kv_qcopconnection.h"

#include "kv_qcopsender.h"

#include <QElapsedTimer>

#include <dbus/dbus.h>

#include <memory>

namespace {

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
    Error e;
    connection = dbus_connection_open_private(address.constData(), &e);
    if (!connection) {
        *error = QStringLiteral("cannot reach the session bus at \"%1\": %2")
                     .arg(QString::fromLocal8Bit(address), e.text());
        return false;
    }
    // The bus's answer to Hello is not waited for: the answer to the call after the first
    // message covers it.
    QString why;
    const Message hello = busCall("Hello");
    if (!authenticate(connection, timeoutMs, &why) ||
        !(hello && dbus_connection_send(connection, hello.get(), nullptr))) {
        *error = sendError(why.isEmpty() ? QStringLiteral("out of memory") : why);
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
    const Message getId = busCall("GetId");
    if (!signal || !getId) {
        *error = QStringLiteral("out of memory");
        return false;
    }
    if (!dbus_connection_send(connection, signal.get(), nullptr)) {
        *error = sendError(QStringLiteral("out of memory"));
        return false;
    }
    Error e;
    const Message reply(
        dbus_connection_send_with_reply_and_block(connection, getId.get(), timeoutMs, &e));
    if (reply)
        return true;
    *error = sendError(e.isTimeout()
                           ? QStringLiteral("the bus did not answer within %1 ms").arg(timeoutMs)
                           : e.text());
    close();
    return false;
}
