// Remote control of one object over QCop: a message on the channel whose name is the normalised
// signature of a public slot of the object calls that slot. Only the slots of the object's own
// class and of its base classes outside Qt count: the slots every QObject and QWidget has
// (deleteLater(), hide(), close(), setStyleSheet(), ...) cannot be called. The message's data is
// a QDataStream of strings (what ferry sends), converted to the slot's parameter types: bool
// ("true", "false", "1", "0"), int, uint, long and qlonglong (decimal), double, QString,
// QByteArray (UTF-8). A message that cannot be carried out writes one record through the
// framework logger and changes nothing.
//
// A message larger than MaxMessageBytes is refused before its data is read. While a modal
// dialog or a popup is open, messages wait in a queue of at most MaxQueued (the oldest is
// dropped, with a record, to make room) and are carried out in order once none is open, never
// inside the dialog's own event loop.
#ifndef KV_REMOTECONTROL_H
#define KV_REMOTECONTROL_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QCopChannel;
class QTimer;

class KV_RemoteControl : public QObject {
    Q_OBJECT

public:
    // Listens on channel for messages to target. Without a reachable session bus the channel
    // stays deaf (isListening() false) and nothing else changes.
    KV_RemoteControl(QObject* target, const QByteArray& channel, QObject* parent = nullptr);
    ~KV_RemoteControl() override;

    QByteArray channel() const { return channelName; }
    bool isListening() const;

    static constexpr qsizetype MaxMessageBytes = 1024 * 1024;
    static constexpr int MaxQueued = 32;

    // A message from the channel: refused when too large, queued while a modal dialog or a
    // popup is open, else carried out at once.
    void receive(const QByteArray& message, const QByteArray& data);
    // Carries out one message now: true when the slot was called.
    bool invoke(const QByteArray& message, const QByteArray& data);
    // Messages waiting for a modal dialog or popup to close.
    int queued() const { return int(waiting.size()); }

    // The application name of a component library: its file name without the leading "lib" and
    // without ".so" and any version after it ("/x/libpx.so.1" gives "px").
    static QString applicationName(const QString& libraryPath);

private:
    struct Message {
        QByteArray name;
        QByteArray data;
    };

    // Whether a modal dialog or a popup has its own event loop running now.
    static bool modalOpen();
    // Carries out the waiting messages while no modal dialog or popup is open.
    void runWaiting();
    void refuse(int line, const QString& text) const;

    QPointer<QObject> target;
    QByteArray channelName;
    QCopChannel* listener = nullptr; // a child of this object
    QList<Message> waiting;
    QTimer* waitTimer = nullptr; // a child of this object; polls while messages wait
    bool runningWaiting = false;
};

#endif
