// A private connection to the session bus that carries QCop messages one after another, for a
// program that sends many: connecting, authenticating and registering with the bus happen once.
// Each message is the same D-Bus signal that KV_QCopSender sends, and counts as sent once the
// bus has answered a call made after it.
#ifndef KV_QCOPCONNECTION_H
#define KV_QCOPCONNECTION_H

#include <QByteArray>
#include <QString>

struct DBusConnection;

class KV_QCopConnection {
public:
    // Every step waits at most timeoutMs.
    explicit KV_QCopConnection(int timeoutMs = 5000);
    ~KV_QCopConnection();

    KV_QCopConnection(const KV_QCopConnection&) = delete;
    KV_QCopConnection& operator=(const KV_QCopConnection&) = delete;

    // Connects to the bus KV_QCopSender::sessionAddress() names. On failure returns false and
    // sets *error to one sentence.
    bool open(QString* error);
    bool isOpen() const { return connection != nullptr; }
    // Sends one message and waits until the bus has taken it. On failure returns false and sets
    // *error; a failure of the bus closes the connection, since later messages could overtake
    // the lost one.
    bool send(const QByteArray& channel, const QByteArray& message, const QByteArray& data,
              QString* error);

    // Whether a message can go on the bus at all: 8-bit names without zero bytes, data within
    // the bus's array limit.
    static bool check(const QByteArray& channel, const QByteArray& message, const QByteArray& data,
                      QString* error);

private:
    void close();

    DBusConnection* connection = nullptr;
    int timeoutMs;
};

#endif
