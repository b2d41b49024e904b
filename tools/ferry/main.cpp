// ferry: turns a query string "application&function&argument..." into one QCop message on the
// channel "KV/App/<application>".
#include "kv_ferryquery.h"
#include "kv_logger.h"
#include "qcopenvelope.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc <= 1) {
        std::fputs("Usage: ferry query_string\n", stdout);
        return -1;
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

    static char sourceFile[] = "ferry";
    KV_Logger::log(16, nullptr, QString(), sourceFile, 55,
                   QStringLiteral("function is %1").arg(query.function()));

    // ferry reports a failure itself, in one line.
    QCopEnvelope::setWarnOnFailure(false);
    {
        QCopEnvelope envelope(query.channel(), query.message());
        for (const QString& argument : query.arguments())
            envelope << argument;
    }
    const QString error = QCopEnvelope::lastError();
    if (!error.isEmpty()) {
        std::fprintf(stderr, "ferry: %s\n",
                     qPrintable(QString(error).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        return 1;
    }

    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
