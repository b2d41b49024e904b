#include "kv_ferrytest.h"

#include "kv_qcopsender.h"
#include "qcopchannel.h"

#include <QDataStream>
#include <QFile>
#include <QSignalSpy>

namespace {

QStringList decodeArguments(const QByteArray& data) {
    QStringList args;
    QDataStream in(data);
    while (!in.atEnd()) {
        QString s;
        in >> s;
        if (in.status() != QDataStream::Ok)
            break;
        args << s;
    }
    return args;
}

} // namespace

void PrintTo(const FerryMessage& m, std::ostream* os) {
    *os << m.name.constData() << " [" << qPrintable(m.arguments.join("|")) << "]";
}

void KV_FerryTest::SetUp() {
    ASSERT_TRUE(bus.isRunning()) << "dbus-daemon did not start";
    bus.useInThisProcess();
    ASSERT_TRUE(logDir.isValid());
}

std::unique_ptr<QProcess> KV_FerryTest::start(const QStringList& args, QProcessEnvironment env) {
    if (env.isEmpty())
        env = bus.environment();
    env.insert("KV_LOG_FILE", logDir.filePath("log"));
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(KV_FERRY), args);
    if (!p->waitForStarted(10000))
        ADD_FAILURE() << "ferry did not start: " << qPrintable(p->errorString());
    return p;
}

FerryRun KV_FerryTest::finish(QProcess& p) {
    FerryRun r;
    p.closeWriteChannel();
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "ferry did not finish";
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -200;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

FerryRun KV_FerryTest::ferry(const QStringList& args, const QByteArray& input,
                             QProcessEnvironment env) {
    const std::unique_ptr<QProcess> p = start(args, env);
    if (p->state() == QProcess::NotRunning && p->error() == QProcess::FailedToStart)
        return FerryRun();
    p->write(input);
    return finish(*p);
}

QList<FerryMessage> KV_FerryTest::drain(QCopChannel& channel, QSignalSpy& spy) {
    QString error;
    EXPECT_TRUE(KV_QCopSender::send(channel.channel(), "marker()", QByteArray(), &error))
        << qPrintable(error);
    QList<FerryMessage> got;
    for (int waited = 0; waited < 50; ++waited) {
        while (!spy.isEmpty()) {
            const QList<QVariant> signal = spy.takeFirst();
            const QByteArray name = signal.at(0).toByteArray();
            if (name == "marker()")
                return got;
            got << FerryMessage{name, decodeArguments(signal.at(1).toByteArray())};
        }
        spy.wait(100);
    }
    ADD_FAILURE() << "marker message never arrived";
    return got;
}

QByteArray KV_FerryTest::log() {
    QFile f(logDir.filePath("log"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QByteArray> KV_FerryTest::takeLogRecords() {
    QList<QByteArray> records;
    for (const QByteArray& line : log().split('\n'))
        if (!line.isEmpty())
            records << line.mid(line.indexOf(' ') + 1);
    QFile::remove(logDir.filePath("log"));
    return records;
}
