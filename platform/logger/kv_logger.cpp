#include "kv_logger.h"

#include <QByteArray>
#include <QDateTime>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Writes all of bytes, going on after a short write or an interrupted call.
void writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

} // namespace

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
    if (logFile.isEmpty()) {
        writeAll(STDERR_FILENO, record);
        return;
    }
    // One write call per record on a file opened for appending, so that records of several
    // processes do not interleave: each write goes to the end of the file as a whole.
    const int fd = ::open(logFile.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    writeAll(fd, record);
    ::close(fd);
}
