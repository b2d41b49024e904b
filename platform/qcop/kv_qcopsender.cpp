#include "kv_qcopsender.h"

#include "kv_qcopconnection.h"

#include <QFileInfo>

#include <dbus/dbus.h>

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
    // A message that can never go is refused before the bus is reached.
    if (!KV_QCopConnection::check(channel, message, data, error))
        return false;
    KV_QCopConnection connection(timeoutMs);
    return connection.open(error) && connection.send(channel, message, data, error);
}
