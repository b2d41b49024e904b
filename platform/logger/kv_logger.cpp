#include "kv_logger.h"

#include <QByteArray>
#include <QDateTime>

#include <cstdio>

QByteArray KV_Logger::format(unsigned level, const void* object, const QString& category,
                             const char* sourceFile, int line, const QString& message) {
    QByteArray out = QByteArray::number(level);
    out += ' ';
    out += category.isEmpty() ? QByteArray("-") : category.toUtf8();
    out += ' ';
    out += sourceFile ? sourceFile : "?";
    out += ':';
    out += QByteArray::number(line);
    if (object) {
        out += " [0x";
        out += QByteArray::number(quint64(reinterpret_cast<quintptr>(object)), 16);
        out += ']';
    }
    out += ' ';
    QByteArray text = message.toUtf8();
    text.replace('\\', "\\\\").replace('\n', "\\n").replace('\r', "\\r");
    out += text;
    return out;
}

void KV_Logger::log(unsigned level, const void* object, const QString& category, char* sourceFile,
                    int line, const QString& message) {
    QByteArray record = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1();
    record += ' ';
    record += format(level, object, category, sourceFile, line, message);
    record += '\n';

    const QByteArray logFile = qgetenv("KV_LOG_FILE");
    FILE* out = logFile.isEmpty() ? stderr : std::fopen(logFile.constData(), "a");
    if (!out)
        return;
    // One write call per record, so that records of several processes do not interleave.
    std::fwrite(record.constData(), 1, size_t(record.size()), out);
    if (out == stderr)
        std::fflush(out);
    else
        std::fclose(out);
}
