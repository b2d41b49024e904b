// ferry: turns a query string "application&function&argument..." into one QCop message on the
// channel "KV/App/<application>"; "ferry -" sends one such message for each line of standard
// input.
#include "kv_ferrybatch.h"
#include "kv_ferryquery.h"
#include "kv_ferrysender.h"
#include "qcopenvelope.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Opens /dev/null on each of the standard descriptors that is closed, so that no file or
// socket opened later takes its number: input would be read from it and output written into
// it. Returns whether standard input was closed.
bool occupyClosedStandardDescriptors() {
    bool inputClosed = false;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) >= 0)
            continue;
        inputClosed = inputClosed || fd == STDIN_FILENO;
        // open() takes the lowest free number, which is fd.
        if (open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) != fd)
            break;
    }
    return inputClosed;
}

} // namespace

int main(int argc, char** argv) {
    const bool inputClosed = occupyClosedStandardDescriptors();
    QCoreApplication app(argc, argv);
    if (argc <= 1) {
        std::fputs("Usage: ferry query_string\n", stdout);
        return -1;
    }
    // ferry reports a failure itself, in one line.
    QCopEnvelope::setWarnOnFailure(false);

    // "-" has a single field, so it is no query and can name standard input. Each message of
    // the batch is confirmed by the bus before the next goes, so no event loop is needed.
    if (qstrcmp(argv[1], "-") == 0) {
        if (inputClosed) {
            std::fputs("ferry: standard input is closed\n", stderr);
            return KV_FerryBatch::NotAllSent;
        }
        return KV_FerryBatch(stdin, stderr).run();
    }

    const QString text = QString::fromUtf8(argv[1]);
    const KV_FerryQuery query(text);
    if (!query.isValid()) {
        const QByteArray undecoded = text.toLatin1();
        std::fputs("ferry: invalid query string ", stdout);
        std::fwrite(undecoded.constData(), 1, size_t(undecoded.size()), stdout);
        std::fputs("\n", stdout);
        return -1;
    }

    QString error;
    if (!KV_FerrySender::send(query, nullptr, &error)) {
        std::fprintf(stderr, "ferry: %s\n",
                     qPrintable(QString(error).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        return 1;
    }

    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
