// Session bus addresses: "transport:key=value,...;transport:..." with %xx escapes in values.
// Only local sockets are understood; other transports are reported as unsupported.
#ifndef KV_BUSADDRESS_H
#define KV_BUSADDRESS_H

#include <QByteArray>
#include <QList>
#include <QString>

class KV_BusAddress {
public:
    struct Endpoint {
        QByteArray path; // file-system or abstract socket name
        bool abstract = false;
    };

    // The endpoints of address in order. Entries that cannot be used are skipped and described
    // in *problems (one sentence each).
    static QList<Endpoint> parse(const QByteArray& address, QStringList* problems);
    // The session bus address from the environment: DBUS_SESSION_BUS_ADDRESS, or the bus socket
    // in XDG_RUNTIME_DIR when that variable is unset. Empty when neither is available.
    static QByteArray sessionAddress();
    // Decodes %xx escapes; false for a malformed escape.
    static bool unescape(const QByteArray& value, QByteArray* out);
};

#endif
