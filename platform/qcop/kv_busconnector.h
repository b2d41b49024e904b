// Opens private libdbus-1 connections to a message bus, every step with a time limit: libdbus
// itself waits without one while a connection authenticates.
#ifndef KV_BUSCONNECTOR_H
#define KV_BUSCONNECTOR_H

#include <QByteArray>
#include <QString>

#include <dbus/dbus.h>

class KV_BusConnector {
public:
    // A private connection to the bus at address, authenticated within timeoutMs; null with
    // *error set to one sentence on failure. The caller closes and releases it.
    static DBusConnection* open(const QByteArray& address, int timeoutMs, QString* error);
    // Registers the connection with the bus (its Hello call), waiting at most timeoutMs.
    static bool registerWithBus(DBusConnection* c, int timeoutMs, QString* error);
    // Asks the bus to route the messages matching rule to this connection, waiting at most
    // timeoutMs for its answer.
    static bool addMatch(DBusConnection* c, const QByteArray& rule, int timeoutMs, QString* error);
    // A round trip: a call to the bus, answered once the bus has taken everything sent before
    // it on this connection (it handles a connection's messages in order). Waits at most
    // timeoutMs.
    static bool waitForBus(DBusConnection* c, int timeoutMs, QString* error);
    // A method call to the bus itself, with no arguments; null when out of memory.
    static DBusMessage* busCall(const char* member);
};

#endif
