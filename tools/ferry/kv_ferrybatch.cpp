#include "kv_ferrybatch.h"

#include "kv_ferrylinereader.h"
#include "kv_ferryquery.h"
#include "kv_ferrysender.h"
#include "kv_qcopconnection.h"

#include <QString>

namespace {

QByteArray oneLine(const QString& text) {
    return QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).toLocal8Bit();
}

QByteArray lineLabel(qint64 number) {
    return "line " + QByteArray::number(number) + ": ";
}

} // namespace

void KV_FerryBatch::report(const QByteArray& text) {
    const QByteArray out = "ferry: " + text + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), err);
    std::fflush(err);
}

KV_FerryBatch::Status KV_FerryBatch::run() {
    KV_QCopConnection connection;
    QString error;
    if (!connection.open(&error)) {
        report(oneLine(error));
        return NoBus;
    }
    KV_FerryLineReader reader(in, maxLineLength);
    Status status = AllSent;
    QByteArray line;
    for (;;) {
        const KV_FerryLineReader::Result result = reader.next(&line);
        if (result == KV_FerryLineReader::End)
            return status;
        const QByteArray label = lineLabel(reader.lineNumber());
        if (result == KV_FerryLineReader::Error) {
            report("cannot read standard input after line " +
                   QByteArray::number(reader.lineNumber()) + ": " + oneLine(reader.errorText()));
            return NotAllSent;
        }
        if (result == KV_FerryLineReader::TooLong) {
            report(label + "longer than " + QByteArray::number(maxLineLength) + " bytes, not sent");
            status = SomeBad;
            continue;
        }
        if (line.isEmpty())
            continue;
        // A command-line word cannot hold a zero byte, so no single query has one.
        if (line.contains('\0')) {
            report(label + "contains a zero byte, not sent");
            status = SomeBad;
            continue;
        }
        const KV_FerryQuery query(QString::fromUtf8(line));
        if (!query.isValid()) {
            report(label + "invalid query string " + line);
            status = SomeBad;
            continue;
        }
        if (!KV_FerrySender::send(query, &connection, &error)) {
            report(label + "not sent, nor anything after it: " + oneLine(error));
            return NotAllSent;
        }
    }
}
