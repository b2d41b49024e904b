// A QCop message: arguments are written into the envelope as into a QDataStream, and the
// message goes out on the session bus when the envelope is destroyed.
#ifndef QCOPENVELOPE_H
#define QCOPENVELOPE_H

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QString>

class KV_QCopConnection;

class QCopEnvelope : public QDataStream {
public:
    // channel and message are 8-bit names, e.g. "KV/App/calc" and "show()". The message goes
    // out on a connection of its own, or on connection when one is given.
    QCopEnvelope(const QByteArray& channel, const QByteArray& message,
                 KV_QCopConnection* connection = nullptr);
    // Sends the message. A failure is reported with a warning in the logging category
    // "kv.qcop" and through lastError().
    ~QCopEnvelope();

    QCopEnvelope(const QCopEnvelope&) = delete;
    QCopEnvelope& operator=(const QCopEnvelope&) = delete;

    // Why the last envelope of this process could not be sent; empty after a success.
    static QString lastError();
    // Whether a failure is also reported as a warning (the default); a program that reports
    // lastError() itself turns this off.
    static void setWarnOnFailure(bool warn);

private:
    QByteArray channelName;
    QByteArray messageName;
    KV_QCopConnection* connection;
    QByteArray data;
    QBuffer buffer;
};

#endif
