// A private libdbus-1 connection to a message bus whose incoming messages are read and
// dispatched by the Qt event loop of the thread that made it: the socket is watched with socket
// notifiers and libdbus's timeouts run on Qt timers, all in that one thread. Messages leave
// libdbus's dispatching before they are handed on, so a receiver may run an event loop of its
// own (a modal dialog) while further messages arrive.
#ifndef KV_BUSLISTENER_H
#define KV_BUSLISTENER_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <dbus/dbus.h>

class QSocketNotifier;
class QTimer;

// libdbus's message type is opaque; signals carry it as a plain pointer.
Q_DECLARE_OPAQUE_POINTER(DBusMessage*)

class KV_BusListener : public QObject {
    Q_OBJECT

public:
    explicit KV_BusListener(QObject* parent = nullptr);
    ~KV_BusListener() override;

    // Connects to the bus at address and asks it for the signals matching rule; every step
    // waits at most timeoutMs. False, with *error set to one sentence, on failure.
    bool open(const QByteArray& address, const QByteArray& rule, int timeoutMs, QString* error);
    // True from a successful open() until the bus drops the connection.
    bool isConnected() const { return connected; }

signals:
    // A signal from the bus; the message lives until the receivers return.
    void signalReceived(DBusMessage* message);

private:
    static dbus_bool_t addWatch(DBusWatch* watch, void* self);
    static void removeWatch(DBusWatch* watch, void* self);
    static void toggleWatch(DBusWatch* watch, void* self);
    static dbus_bool_t addTimeout(DBusTimeout* timeout, void* self);
    static void removeTimeout(DBusTimeout* timeout, void* self);
    static void toggleTimeout(DBusTimeout* timeout, void* self);
    static void dispatchStatusChanged(DBusConnection* c, DBusDispatchStatus status, void* self);
    static DBusHandlerResult filter(DBusConnection* c, DBusMessage* message, void* self);

    void handleWatch(DBusWatch* watch, unsigned int condition);
    void scheduleDispatch();
    // Lets libdbus sort what it has read, then hands the signals it kept on.
    void dispatch();
    void close();

    struct WatchNotifiers {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };
    DBusConnection* connection = nullptr;
    bool connected = false;
    bool dispatchScheduled = false;
    QHash<DBusWatch*, WatchNotifiers> watches;
    QHash<DBusTimeout*, QTimer*> timers;
    // Signals taken out of libdbus's dispatching, each holding a reference, in arrival order.
    QList<DBusMessage*> arrived;
};

#endif
