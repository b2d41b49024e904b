#include "kv_busconnector.h"

#include <QElapsedTimer>

namespace {

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

QString noAnswer(int timeoutMs) {
    return QStringLiteral("the bus did not answer within %1 ms").arg(timeoutMs);
}

// Sends call and waits for its answer; null with *error set when none came or it was an error.
DBusMessage* callAndWait(DBusConnection* c, DBusMessage* call, int timeoutMs, QString* error) {
    if (!call) {
        *error = QStringLiteral("out of memory");
        return nullptr;
    }
    Error e;
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(c, call, timeoutMs, &e);
    dbus_message_unref(call);
    if (!reply)
        *error = e.isTimeout() ? noAnswer(timeoutMs) : e.text();
    return reply;
}

// Sends call and waits for an answer that is not an error.
bool answered(DBusConnection* c, DBusMessage* call, int timeoutMs, QString* error) {
    DBusMessage* reply = callAndWait(c, call, timeoutMs, error);
    if (!reply)
        return false;
    dbus_message_unref(reply);
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
            *error = noAnswer(timeoutMs);
            return false;
        }
        if (!dbus_connection_read_write(c, int(left))) {
            *error = QStringLiteral("the bus closed the connection");
            return false;
        }
    }
    return true;
}

} // namespace

DBusConnection* KV_BusConnector::open(const QByteArray& address, int timeoutMs, QString* error) {
    Error e;
    DBusConnection* c = dbus_connection_open_private(address.constData(), &e);
    if (!c) {
        *error = QStringLiteral("cannot reach the session bus at \"%1\": %2")
                     .arg(QString::fromLocal8Bit(address), e.text());
        return nullptr;
    }
    // A private connection is this process's own: losing it must not end the process.
    dbus_connection_set_exit_on_disconnect(c, FALSE);
    if (authenticate(c, timeoutMs, error))
        return c;
    *error = QStringLiteral("cannot reach the session bus at \"%1\": %2")
                 .arg(QString::fromLocal8Bit(address), *error);
    dbus_connection_close(c);
    dbus_connection_unref(c);
    return nullptr;
}

bool KV_BusConnector::registerWithBus(DBusConnection* c, int timeoutMs, QString* error) {
    DBusMessage* reply = callAndWait(c, busCall("Hello"), timeoutMs, error);
    if (!reply)
        return false;
    const char* name = nullptr;
    Error e;
    const bool ok = dbus_message_get_args(reply, &e, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID) &&
                    dbus_bus_set_unique_name(c, name);
    if (!ok)
        *error = e.isSet() ? e.text() : QStringLiteral("out of memory");
    dbus_message_unref(reply);
    return ok;
}

bool KV_BusConnector::addMatch(DBusConnection* c, const QByteArray& rule, int timeoutMs,
                               QString* error) {
    DBusMessage* call = busCall("AddMatch");
    const char* text = rule.constData();
    if (call && !dbus_message_append_args(call, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID)) {
        dbus_message_unref(call);
        call = nullptr;
    }
    return answered(c, call, timeoutMs, error);
}

bool KV_BusConnector::waitForBus(DBusConnection* c, int timeoutMs, QString* error) {
    return answered(c, busCall("GetId"), timeoutMs, error);
}

DBusMessage* KV_BusConnector::busCall(const char* member) {
    return dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS,
                                        member);
}
