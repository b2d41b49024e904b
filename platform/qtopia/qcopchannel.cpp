#include "qcopchannel.h"

#include "kv_buslistener.h"
#include "kv_qcopsender.h"

#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcQCop, "kv.qcop")

constexpr int BusTimeoutMs = 5000;
// The bus refuses longer match rules.
constexpr qsizetype MaxRuleLength = 1024;

// text as a quoted value of a match rule: a quote ends the quoting, is escaped and quoting
// starts again; nothing else is special inside quotes.
QByteArray quoted(const QByteArray& text) {
    QByteArray out = "'";
    for (const char c : text)
        out += c == '\'' ? QByteArray("'\\''") : QByteArray(1, c);
    return out + '\'';
}
} // namespace

QCopChannel::QCopChannel(const QByteArray& channel, QObject* parent)
    : QObject(parent), channelName(channel) {
    const QByteArray address = KV_QCopSender::sessionAddress();
    if (address.isEmpty()) {
        qCWarning(lcQCop, "QCop channel %s: no session bus address", channel.constData());
        return;
    }
    auto* listener = new KV_BusListener(this);
    QString error;
    if (!listener->open(address, matchRule(), BusTimeoutMs, &error)) {
        qCWarning(lcQCop, "QCop channel %s: %s", channel.constData(), qPrintable(error));
        delete listener;
        return;
    }
    bus = listener;
    connect(bus, &KV_BusListener::signalReceived, this, [this](DBusMessage* m) {
        const char* channelText = nullptr;
        const char* messageText = nullptr;
        const char* bytes = nullptr;
        int size = 0;
        if (!dbus_message_is_signal(m, "org.kv.QCop", "message") ||
            !dbus_message_has_path(m, "/QCop") || !dbus_message_has_signature(m, "ssay") ||
            !dbus_message_get_args(m, nullptr, DBUS_TYPE_STRING, &channelText, DBUS_TYPE_STRING,
                                   &messageText, DBUS_TYPE_ARRAY, DBUS_TYPE_BYTE, &bytes, &size,
                                   DBUS_TYPE_INVALID))
            return;
        // Bus strings are UTF-8; the 8-bit names are Latin-1.
        if (QString::fromUtf8(channelText).toLatin1() != channelName)
            return;
        emit received(QString::fromUtf8(messageText).toLatin1(), QByteArray(bytes, size));
    });
}

QCopChannel::~QCopChannel() = default;

bool QCopChannel::isListening() const {
    return bus && bus->isConnected();
}

QByteArray QCopChannel::matchRule() const {
    const QByteArray rule = "type='signal',path='/QCop',interface='org.kv.QCop',member='message'";
    // The bus filters on the channel (argument 0) too, unless the rule would grow too long;
    // the channel is compared again on arrival either way.
    const QByteArray withChannel =
        rule + ",arg0=" + quoted(QString::fromLatin1(channelName).toUtf8());
    return withChannel.size() <= MaxRuleLength ? withChannel : rule;
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
