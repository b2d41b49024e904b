#include "kv_qcopsender.h"

#include "kv_busaddress.h"
#include "kv_dbuswriter.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The bus refuses bigger messages.
constexpr qsizetype MaxMessageSize = 128 * 1024 * 1024;

class Connection {
public:
    explicit Connection(int timeoutMs) : timeout(timeoutMs) { clock.start(); }
    ~Connection() {
        if (fd >= 0)
            ::close(fd);
    }

    bool open(const KV_BusAddress::Endpoint& endpoint, QString* error) {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const qsizetype offset = endpoint.abstract ? 1 : 0;
        if (endpoint.path.size() + offset >= qsizetype(sizeof addr.sun_path)) {
            *error = QStringLiteral("socket name too long");
            return false;
        }
        std::memcpy(addr.sun_path + offset, endpoint.path.constData(),
                    size_t(endpoint.path.size()));
        const socklen_t len = socklen_t(offsetof(sockaddr_un, sun_path) + offset +
                                        endpoint.path.size() + (endpoint.abstract ? 0 : 1));
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        // Non-blocking from here on, so that a bus that stopped answering cannot hang us.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        return true;
    }

    bool writeAll(const QByteArray& bytes, QString* error) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::send(fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                if (!wait(POLLOUT, error))
                    return false;
            } else {
                *error = QStringLiteral("the bus closed the connection (%1)")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)));
                return false;
            }
        }
        return true;
    }

    // Reads at least `count` bytes into `buffer` (which may receive more).
    bool readAtLeast(QByteArray* buffer, qsizetype count, QString* error) {
        char chunk[512];
        while (buffer->size() < count) {
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n > 0) {
                buffer->append(chunk, n);
            } else if (n == 0) {
                *error = QStringLiteral("the bus closed the connection");
                return false;
            } else if (errno == EINTR) {
                continue;
            } else if (errno == EAGAIN) {
                if (!wait(POLLIN, error))
                    return false;
            } else {
                *error = QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
        }
        return true;
    }

    // Reads one "\r\n"-terminated line; bytes after it stay in *buffer.
    bool readLine(QByteArray* buffer, QByteArray* line, QString* error) {
        while (!buffer->contains("\r\n")) {
            if (buffer->size() > 4096) {
                *error = QStringLiteral("the bus sent an overlong authentication line");
                return false;
            }
            if (!readAtLeast(buffer, buffer->size() + 1, error))
                return false;
        }
        const qsizetype end = buffer->indexOf("\r\n");
        *line = buffer->left(end);
        buffer->remove(0, end + 2);
        return true;
    }

private:
    bool wait(short events, QString* error) {
        const qint64 left = timeout - clock.elapsed();
        pollfd p{fd, events, 0};
        const int r = left > 0 ? ::poll(&p, 1, int(left)) : 0;
        if (r > 0 || (r < 0 && errno == EINTR))
            return true;
        *error = r == 0 ? QStringLiteral("the bus did not answer within %1 ms").arg(timeout)
                        : QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }

    int fd = -1;
    int timeout;
    QElapsedTimer clock;
};

// A call to the bus itself, with no arguments: Hello (serial 1) or GetId (serial 3).
QByteArray busCall(quint32 serial, const char* member) {
    KV_DBusWriter fields;
    fields.putField(KV_DBusWriter::Path, 'o', "/org/freedesktop/DBus");
    fields.putField(KV_DBusWriter::Destination, 's', "org.freedesktop.DBus");
    fields.putField(KV_DBusWriter::Interface, 's', "org.freedesktop.DBus");
    fields.putField(KV_DBusWriter::Member, 's', member);
    return KV_DBusWriter::message(KV_DBusWriter::MethodCall, serial, fields.bytes(), QByteArray());
}

quint32 readWord(const QByteArray& bytes, qsizetype at) {
    quint32 value = 0;
    std::memcpy(&value, bytes.constData() + at, sizeof value);
    return bytes.at(0) == 'l' ? qFromLittleEndian(value) : qFromBigEndian(value);
}

// Authenticates and sends Hello, the signal and a GetId call in one write, as the bus allows,
// then waits for the answer to the authentication and for the bus's replies. The bus handles a
// connection's messages in order, so its reply to GetId means it has taken the signal: only then
// may the sender close the connection without the bus dropping a half-read message.
bool deliver(Connection& c, const QByteArray& signal, QString* error) {
    const QByteArray uid = QByteArray::number(qulonglong(::getuid())).toHex();
    const QByteArray greeting = QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\nBEGIN\r\n";
    if (!c.writeAll(greeting + busCall(1, "Hello") + signal + busCall(3, "GetId"), error))
        return false;
    QByteArray buffer;
    QByteArray line;
    if (!c.readLine(&buffer, &line, error))
        return false;
    if (!line.startsWith("OK ")) {
        *error =
            QStringLiteral("the bus refused authentication (%1)").arg(QString::fromLatin1(line));
        return false;
    }
    // Messages from the bus: the replies to Hello and GetId, and signals (NameAcquired) between.
    for (int replies = 0; replies < 2;) {
        if (!c.readAtLeast(&buffer, 16, error))
            return false;
        const qsizetype fieldsEnd = 16 + qsizetype(readWord(buffer, 12));
        const qsizetype size = ((fieldsEnd + 7) & ~qsizetype(7)) + qsizetype(readWord(buffer, 4));
        if (size > MaxMessageSize) {
            *error = QStringLiteral("the bus sent a malformed message");
            return false;
        }
        if (!c.readAtLeast(&buffer, size, error))
            return false;
        const char type = buffer.at(1);
        buffer.remove(0, size);
        if (type == char(KV_DBusWriter::Error)) {
            *error = QStringLiteral("the bus refused the message");
            return false;
        }
        if (type == char(KV_DBusWriter::MethodReturn))
            ++replies;
    }
    return true;
}

bool validName(const QByteArray& name, const char* what, QString* error) {
    if (name.contains('\0')) {
        *error = QStringLiteral("the %1 contains a zero byte").arg(QLatin1String(what));
        return false;
    }
    return true;
}

} // namespace

QByteArray KV_QCopSender::signalMessage(quint32 serial, const QByteArray& channel,
                                        const QByteArray& message, const QByteArray& data) {
    KV_DBusWriter fields;
    fields.putField(KV_DBusWriter::Path, 'o', "/QCop");
    fields.putField(KV_DBusWriter::Interface, 's', "org.kv.QCop");
    fields.putField(KV_DBusWriter::Member, 's', "message");
    fields.putField(KV_DBusWriter::Signature, 'g', "ssay");
    KV_DBusWriter body;
    // Bus strings are UTF-8; the 8-bit names are Latin-1.
    body.putString(QString::fromLatin1(channel).toUtf8());
    body.putString(QString::fromLatin1(message).toUtf8());
    body.putBytes(data);
    return KV_DBusWriter::message(KV_DBusWriter::Signal, serial, fields.bytes(), body.bytes());
}

bool KV_QCopSender::send(const QByteArray& channel, const QByteArray& message,
                         const QByteArray& data, QString* error, int timeoutMs) {
    QString local;
    if (!error)
        error = &local;
    if (!validName(channel, "channel name", error) || !validName(message, "message name", error))
        return false;
    const QByteArray signal = signalMessage(2, channel, message, data);
    if (signal.size() > MaxMessageSize) {
        *error =
            QStringLiteral("the message is too large for the bus (%1 bytes)").arg(signal.size());
        return false;
    }

    const QByteArray address = KV_BusAddress::sessionAddress();
    if (address.isEmpty()) {
        *error = QStringLiteral("no session bus: DBUS_SESSION_BUS_ADDRESS is not set");
        return false;
    }
    QStringList problems;
    const QList<KV_BusAddress::Endpoint> endpoints = KV_BusAddress::parse(address, &problems);
    for (const KV_BusAddress::Endpoint& endpoint : endpoints) {
        Connection c(timeoutMs);
        QString why;
        if (!c.open(endpoint, &why)) {
            problems << QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(endpoint.path), why);
            continue;
        }
        // Once connected, a failure is final: the message may have been delivered already.
        if (deliver(c, signal, &why))
            return true;
        *error = QStringLiteral("cannot send on the session bus: %1").arg(why);
        return false;
    }
    *error = QStringLiteral("cannot reach the session bus at \"%1\": %2")
                 .arg(QString::fromLocal8Bit(address), problems.join(QStringLiteral("; ")));
    return false;
}
