#include "kv_busaddress.h"

#include <QFileInfo>
#include <QStringList>

bool KV_BusAddress::unescape(const QByteArray& value, QByteArray* out) {
    out->clear();
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) != '%') {
            out->append(value.at(i));
            continue;
        }
        if (i + 2 >= value.size())
            return false;
        bool ok = false;
        const int byte = value.mid(i + 1, 2).toInt(&ok, 16);
        if (!ok || !isxdigit(uchar(value.at(i + 1))) || !isxdigit(uchar(value.at(i + 2))))
            return false;
        out->append(char(byte));
        i += 2;
    }
    return true;
}

QList<KV_BusAddress::Endpoint> KV_BusAddress::parse(const QByteArray& address,
                                                    QStringList* problems) {
    QList<Endpoint> endpoints;
    for (const QByteArray& entry : address.split(';')) {
        if (entry.trimmed().isEmpty())
            continue;
        const qsizetype colon = entry.indexOf(':');
        if (colon < 0) {
            problems->append(
                QStringLiteral("malformed address \"%1\"").arg(QString::fromUtf8(entry)));
            continue;
        }
        const QByteArray transport = entry.left(colon);
        if (transport != "unix") {
            problems->append(
                QStringLiteral("unsupported transport \"%1\"").arg(QString::fromUtf8(transport)));
            continue;
        }
        Endpoint endpoint;
        bool found = false;
        bool bad = false;
        for (const QByteArray& pair : entry.mid(colon + 1).split(',')) {
            const qsizetype eq = pair.indexOf('=');
            if (eq < 0)
                continue;
            const QByteArray key = pair.left(eq);
            QByteArray value;
            if (!unescape(pair.mid(eq + 1), &value)) {
                bad = true;
                break;
            }
            if (key == "path" || key == "abstract") {
                endpoint.path = value;
                endpoint.abstract = key == "abstract";
                found = true;
            } else if (key == "runtime" && value == "yes") {
                const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
                if (!runtime.isEmpty()) {
                    endpoint.path = runtime + "/bus";
                    found = true;
                }
            }
        }
        if (bad || !found || endpoint.path.isEmpty()) {
            problems->append(
                QStringLiteral("unusable address \"%1\"").arg(QString::fromUtf8(entry)));
            continue;
        }
        endpoints << endpoint;
    }
    return endpoints;
}

QByteArray KV_BusAddress::sessionAddress() {
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtime + "/bus")))
        return "unix:path=" + runtime + "/bus";
    return QByteArray();
}
