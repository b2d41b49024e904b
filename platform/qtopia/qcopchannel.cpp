#include "qcopchannel.h"

#include "kv_qcopsender.h"

#include <QDBusMessage>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcQCop, "kv.qcop")

// One bus connection per address, shared by the channels that use it.
QDBusConnection connectionFor(const QByteArray& address) {
    const QString name = QStringLiteral("kv.qcop:") + QString::fromLocal8Bit(address);
    QDBusConnection existing(name);
    if (existing.isConnected())
        return existing;
    QDBusConnection::disconnectFromBus(name);
    return QDBusConnection::connectToBus(QString::fromLocal8Bit(address), name);
}
} // namespace

QCopChannel::QCopChannel(const QByteArray& channel, QObject* parent)
    : QObject(parent), channelName(channel) {
    const QByteArray address = KV_QCopSender::sessionAddress();
    if (address.isEmpty()) {
        qCWarning(lcQCop, "QCop channel %s: no session bus address", channel.constData());
        return;
    }
    QDBusConnection bus = connectionFor(address);
    if (!bus.isConnected()) {
        qCWarning(lcQCop, "QCop channel %s: cannot reach the session bus: %s", channel.constData(),
                  qPrintable(bus.lastError().message()));
        return;
    }
    connectionName = bus.name();
    listening = bus.connect(QString(), QStringLiteral("/QCop"), QStringLiteral("org.kv.QCop"),
                            QStringLiteral("message"), argumentMatch(), QStringLiteral("ssay"),
                            this, SLOT(handleMessage(QString, QString, QByteArray)));
    if (!listening) {
        qCWarning(lcQCop, "QCop channel %s: cannot subscribe: %s", channel.constData(),
                  qPrintable(bus.lastError().message()));
        return;
    }
    // A round trip to the bus: once it returns, the subscription above is in force.
    bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
}

QCopChannel::~QCopChannel() {
    if (listening)
        QDBusConnection(connectionName)
            .disconnect(QString(), QStringLiteral("/QCop"), QStringLiteral("org.kv.QCop"),
                        QStringLiteral("message"), argumentMatch(), QStringLiteral("ssay"), this,
                        SLOT(handleMessage(QString, QString, QByteArray)));
}

QStringList QCopChannel::argumentMatch() const {
    // The bus filters on the channel (argument 0) when the name is plain ASCII; QtDBus cannot
    // put other characters into a match rule, so those channels filter in handleMessage.
    for (const char c : channelName)
        if (uchar(c) >= 0x80 || c == '\'' || c == '\\')
            return {};
    return {QString::fromLatin1(channelName)};
}

bool QCopChannel::send(const QByteArray& channel, const QByteArray& message) {
    return send(channel, message, QByteArray());
}

bool QCopChannel::send(const QByteArray& channel, const QByteArray& message,
                       const QByteArray& data) {
    QString error;
    if (KV_QCopSender::send(channel, message, data, &error))
        return true;
    qCWarning(lcQCop, "QCop message %s on %s not sent: %s", message.constData(),
              channel.constData(), qPrintable(error));
    return false;
}

void QCopChannel::handleMessage(const QString& channel, const QString& message,
                                const QByteArray& data) {
    if (channel.toLatin1() == channelName)
        emit received(message.toLatin1(), data);
}
