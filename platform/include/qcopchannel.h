// Receives the QCop messages sent on one channel over the session bus. The bus connection is
// read by the event loop of the thread that made the channel, and messages are handed on there.
#ifndef QCOPCHANNEL_H
#define QCOPCHANNEL_H

#include <QByteArray>
#include <QObject>
#include <QString>

class KV_BusListener;

class QCopChannel : public QObject {
    Q_OBJECT

public:
    // Starts listening on the session bus named by the environment at this moment. When no
    // bus can be reached the channel stays deaf and isListening() is false.
    explicit QCopChannel(const QByteArray& channel, QObject* parent = nullptr);
    ~QCopChannel() override;

    QByteArray channel() const { return channelName; }
    // True when messages on the channel reach this object.
    bool isListening() const;

    // Sends a message without arguments, or with data already serialised by QDataStream.
    static bool send(const QByteArray& channel, const QByteArray& message);
    static bool send(const QByteArray& channel, const QByteArray& message, const QByteArray& data);

signals:
    void received(const QByteArray& message, const QByteArray& data);

private:
    QByteArray matchRule() const;

    QByteArray channelName;
    KV_BusListener* bus = nullptr; // a child of this object
};

#endif
