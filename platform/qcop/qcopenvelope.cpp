#include "qcopenvelope.h"

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

QCopEnvelope::QCopEnvelope(const QByteArray& channel, const QByteArray& message)
    : channelName(channel), messageName(message), buffer(&data) {
    buffer.open(QIODevice::WriteOnly);
    setDevice(&buffer);
}

QCopEnvelope::~QCopEnvelope() {
    setDevice(nullptr);
    buffer.close();
    QString error;
    if (KV_QCopSender::send(channelName, messageName, data, &error)) {
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
