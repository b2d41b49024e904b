#include "qcopenvelope.h"

#include "kv_qcopconnection.h"
#include "kv_qcopsender.h"

#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcQCop, "kv.qcop")

QString& lastErrorText() {
    static QString text;
    return text;
}

bool warnOnFailure = true;
} // namespace

QCopEnvelope::QCopEnvelope(const QByteArray& channel, const QByteArray& message,
                           KV_QCopConnection* connection)
    : channelName(channel), messageName(message), connection(connection), buffer(&data) {
    buffer.open(QIODevice::WriteOnly);
    setDevice(&buffer);
}

QCopEnvelope::~QCopEnvelope() {
    setDevice(nullptr);
    buffer.close();
    QString error;
    const bool sent = connection ? connection->send(channelName, messageName, data, &error)
                                 : KV_QCopSender::send(channelName, messageName, data, &error);
    if (sent) {
        lastErrorText().clear();
        return;
    }
    lastErrorText() = error;
    if (warnOnFailure)
        qCWarning(lcQCop, "QCop message %s on %s not sent: %s", messageName.constData(),
                  channelName.constData(), qPrintable(error));
}

QString QCopEnvelope::lastError() {
    return lastErrorText();
}

void QCopEnvelope::setWarnOnFailure(bool warn) {
    warnOnFailure = warn;
}
