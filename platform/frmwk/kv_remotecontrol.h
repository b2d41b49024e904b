// Remote control of one object over QCop: a message on the channel whose name is the normalised
// signature of a public slot of the object calls that slot. The message's data is a QDataStream
// of strings (what ferry sends), converted to the slot's parameter types: bool ("true", "false",
// "1", "0"), int, uint, long and qlonglong (decimal), double, QString, QByteArray (UTF-8). A
// message that cannot be carried out writes one record through the framework logger and
// changes nothing.
#ifndef KV_REMOTECONTROL_H
#define KV_REMOTECONTROL_H

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QCopChannel;

class KV_RemoteControl : public QObject {
    Q_OBJECT

public:
    // Listens on channel for messages to target. Without a reachable session bus the channel
    // stays deaf (isListening() false) and nothing else changes.
    KV_RemoteControl(QObject* target, const QByteArray& channel, QObject* parent = nullptr);
    ~KV_RemoteControl() override;

    QByteArray channel() const { return channelName; }
    bool isListening() const;

    // Carries out one message: true when the slot was called.
    bool invoke(const QByteArray& message, const QByteArray& data);

    // The application name of a component library: its file name without the leading "lib" and
    // without ".so" and any version after it ("/x/libpx.so.1" gives "px").
    static QString applicationName(const QString& libraryPath);

private:
    void refuse(int line, const QString& text) const;

    QPointer<QObject> target;
    QByteArray channelName;
    QCopChannel* listener = nullptr; // a child of this object
};

#endif
