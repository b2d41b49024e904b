#include "kv_buslistener.h"

#include "kv_busconnector.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

namespace {

KV_BusListener* listenerOf(void* self) {
    return static_cast<KV_BusListener*>(self);
}

// A notifier or timer that may be inside its own signal now: stopped at once, deleted later.
void retire(QObject* notifier) {
    if (!notifier)
        return;
    QObject::disconnect(notifier, nullptr, nullptr, nullptr);
    if (auto* n = qobject_cast<QSocketNotifier*>(notifier))
        n->setEnabled(false);
    if (auto* t = qobject_cast<QTimer*>(notifier))
        t->stop();
    notifier->deleteLater();
}

} // namespace

KV_BusListener::KV_BusListener(QObject* parent) : QObject(parent) {}

KV_BusListener::~KV_BusListener() {
    close();
}

bool KV_BusListener::open(const QByteArray& address, const QByteArray& rule, int timeoutMs,
                          QString* error) {
    close();
    connection = KV_BusConnector::open(address, timeoutMs, error);
    if (!connection)
        return false;
    if (!KV_BusConnector::registerWithBus(connection, timeoutMs, error) ||
        !KV_BusConnector::addMatch(connection, rule, timeoutMs, error) ||
        !dbus_connection_add_filter(connection, filter, this, nullptr) ||
        !dbus_connection_set_watch_functions(connection, addWatch, removeWatch, toggleWatch, this,
                                             nullptr) ||
        !dbus_connection_set_timeout_functions(connection, addTimeout, removeTimeout, toggleTimeout,
                                               this, nullptr)) {
        if (error->isEmpty())
            *error = QStringLiteral("out of memory");
        close();
        return false;
    }
    dbus_connection_set_dispatch_status_function(connection, dispatchStatusChanged, this, nullptr);
    connected = true;
    // Messages read while waiting for the answers above wait in libdbus's queue.
    scheduleDispatch();
    return true;
}

void KV_BusListener::close() {
    connected = false;
    if (connection) {
        dbus_connection_set_dispatch_status_function(connection, nullptr, nullptr, nullptr);
        // Clearing the functions removes every watch and timeout through the old ones.
        dbus_connection_set_watch_functions(connection, nullptr, nullptr, nullptr, nullptr,
                                            nullptr);
        dbus_connection_set_timeout_functions(connection, nullptr, nullptr, nullptr, nullptr,
                                              nullptr);
        dbus_connection_remove_filter(connection, filter, this);
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        connection = nullptr;
    }
    for (const WatchNotifiers& n : std::as_const(watches)) {
        retire(n.read);
        retire(n.write);
    }
    watches.clear();
    for (QTimer* timer : std::as_const(timers))
        retire(timer);
    timers.clear();
    for (DBusMessage* message : std::as_const(arrived))
        dbus_message_unref(message);
    arrived.clear();
}

dbus_bool_t KV_BusListener::addWatch(DBusWatch* watch, void* self) {
    KV_BusListener* l = listenerOf(self);
    const int fd = dbus_watch_get_unix_fd(watch);
    const unsigned int flags = dbus_watch_get_flags(watch);
    WatchNotifiers n;
    if (flags & DBUS_WATCH_READABLE) {
        n.read = new QSocketNotifier(fd, QSocketNotifier::Read, l);
        connect(n.read, &QSocketNotifier::activated, l,
                [l, watch] { l->handleWatch(watch, DBUS_WATCH_READABLE); });
    }
    if (flags & DBUS_WATCH_WRITABLE) {
        n.write = new QSocketNotifier(fd, QSocketNotifier::Write, l);
        connect(n.write, &QSocketNotifier::activated, l,
                [l, watch] { l->handleWatch(watch, DBUS_WATCH_WRITABLE); });
    }
    l->watches.insert(watch, n);
    toggleWatch(watch, self);
    return TRUE;
}

void KV_BusListener::removeWatch(DBusWatch* watch, void* self) {
    const WatchNotifiers n = listenerOf(self)->watches.take(watch);
    retire(n.read);
    retire(n.write);
}

void KV_BusListener::toggleWatch(DBusWatch* watch, void* self) {
    const WatchNotifiers n = listenerOf(self)->watches.value(watch);
    const bool enabled = dbus_watch_get_enabled(watch);
    if (n.read)
        n.read->setEnabled(enabled);
    if (n.write)
        n.write->setEnabled(enabled);
}

dbus_bool_t KV_BusListener::addTimeout(DBusTimeout* timeout, void* self) {
    KV_BusListener* l = listenerOf(self);
    auto* timer = new QTimer(l);
    connect(timer, &QTimer::timeout, l, [timeout] { dbus_timeout_handle(timeout); });
    l->timers.insert(timeout, timer);
    toggleTimeout(timeout, self);
    return TRUE;
}

void KV_BusListener::removeTimeout(DBusTimeout* timeout, void* self) {
    retire(listenerOf(self)->timers.take(timeout));
}

void KV_BusListener::toggleTimeout(DBusTimeout* timeout, void* self) {
    QTimer* timer = listenerOf(self)->timers.value(timeout);
    if (!timer)
        return;
    if (dbus_timeout_get_enabled(timeout))
        timer->start(dbus_timeout_get_interval(timeout));
    else
        timer->stop();
}

void KV_BusListener::dispatchStatusChanged(DBusConnection*, DBusDispatchStatus status, void* self) {
    // libdbus must not be asked to dispatch from inside this callback.
    if (status == DBUS_DISPATCH_DATA_REMAINS)
        listenerOf(self)->scheduleDispatch();
}

DBusHandlerResult KV_BusListener::filter(DBusConnection*, DBusMessage* message, void* self) {
    KV_BusListener* l = listenerOf(self);
    if (dbus_message_is_signal(message, DBUS_INTERFACE_LOCAL, "Disconnected")) {
        l->connected = false;
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_SIGNAL)
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    l->arrived.append(dbus_message_ref(message));
    return DBUS_HANDLER_RESULT_HANDLED;
}

void KV_BusListener::handleWatch(DBusWatch* watch, unsigned int condition) {
    // Reading may remove the watch (the bus hung up); it is not touched afterwards.
    dbus_watch_handle(watch, condition);
    dispatch();
}

void KV_BusListener::scheduleDispatch() {
    if (dispatchScheduled)
        return;
    dispatchScheduled = true;
    QMetaObject::invokeMethod(this, &KV_BusListener::dispatch, Qt::QueuedConnection);
}

void KV_BusListener::dispatch() {
    dispatchScheduled = false;
    if (!connection)
        return;
    while (dbus_connection_dispatch(connection) == DBUS_DISPATCH_DATA_REMAINS) {
    }
    // A receiver may delete this object, or run an event loop in which this runs again.
    const QPointer<KV_BusListener> alive(this);
    while (alive && !arrived.isEmpty()) {
        DBusMessage* message = arrived.takeFirst();
        emit signalReceived(message);
        dbus_message_unref(message);
    }
}
