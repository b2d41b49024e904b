// "ferry -": queries from standard input, one per line, against a private bus.
#include "kv_ferrytest.h"
#include "qcopchannel.h"

#include <QFile>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

class FerryBatch : public KV_FerryTest {};

constexpr qsizetype maxLine = 1024 * 1024;

// Whether the process comes to wait in a read of its standard input within 10 s, as /proc shows
// its system call: then it has finished with the lines before.
bool waitsForInput(qint64 pid) {
    const QByteArray reading = QByteArray::number(SYS_read) + " 0x0 ";
    for (int i = 0; i < 1000; ++i) {
        QFile f(QStringLiteral("/proc/%1/syscall").arg(pid));
        if (f.open(QIODevice::ReadOnly) && f.readAll().startsWith(reading))
            return true;
        QThread::msleep(10);
    }
    return false;
}

// Every line as its own ferry run, and all of them through one "ferry -": the same messages in
// the same order, and the same log records.
TEST_F(FerryBatch, SendsWhatSingleRunsSend) {
    const QStringList queries = {
        "calc&show()",
        "&&calc&&add(QString,QString)&&x&y&",
        "ca%6Cc&set%28QString%29&x%26y&a%20b",
        QString::fromUtf8("calc&setText(QString)&\xe2\x82\xac 5&caf\xc3\xa9"),
        QString::fromUtf8("caf\xc3\xa9&show()"),
        "calc&show%00()&  spaced  ",
        "calc&hide()",
    };
    QCopChannel calc("KV/App/calc");
    QCopChannel cafe(QByteArray("KV/App/caf\xe9"));
    QSignalSpy calcSpy(&calc, &QCopChannel::received);
    QSignalSpy cafeSpy(&cafe, &QCopChannel::received);

    for (const QString& q : queries)
        ASSERT_EQ(ferry({q}).status, 0) << qPrintable(q);
    const QList<FerryMessage> singleCalc = drain(calc, calcSpy);
    const QList<FerryMessage> singleCafe = drain(cafe, cafeSpy);
    const QList<QByteArray> singleLog = takeLogRecords();
    ASSERT_EQ(singleCalc.size(), 6);
    ASSERT_EQ(singleCafe.size(), 1);
    ASSERT_EQ(singleLog.size(), 7);

    const FerryRun r = ferry({"-"}, queries.join('\n').toUtf8() + '\n');
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    EXPECT_EQ(drain(calc, calcSpy), singleCalc);
    EXPECT_EQ(drain(cafe, cafeSpy), singleCafe);
    EXPECT_EQ(takeLogRecords(), singleLog);
}

// Bad lines are reported by number, and the lines around them still go. A line of exactly the
// limit goes, its CR LF ending not counted; one beyond it is dropped whole.
TEST_F(FerryBatch, BadLinesAreReportedByNumberAndTheOthersGo) {
    QCopChannel calc("KV/App/calc");
    QSignalSpy spy(&calc, &QCopChannel::received);
    const QByteArray prefix = "calc&big(QString)&";
    const QByteArray atLimit = prefix + QByteArray(maxLine - prefix.size(), 'x');
    const QByteArray input = "calc&one()\n"
                             "calc\n"
                             "\n"
                             "calc&two()\n" +
                             QByteArray("calc&three()&a\0b\n", 17) + prefix +
                             QByteArray(2 * maxLine, 'y') + "\n" + atLimit + "\r\n" + prefix +
                             QByteArray(maxLine - prefix.size() + 1, 'z') + "\n" +
                             "&&&\n"
                             "calc&four()";
    const FerryRun r = ferry({"-"}, input);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
    EXPECT_EQ(r.err, "ferry: line 2: invalid query string calc\n"
                     "ferry: line 5: contains a zero byte, not sent\n"
                     "ferry: line 6: longer than 1048576 bytes, not sent\n"
                     "ferry: line 8: longer than 1048576 bytes, not sent\n"
                     "ferry: line 9: invalid query string &&&\n");
    const QList<FerryMessage> got = drain(calc, spy);
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0], (FerryMessage{"one()", {}}));
    EXPECT_EQ(got[1], (FerryMessage{"two()", {}}));
    EXPECT_EQ(got[2].name, "big(QString)");
    ASSERT_EQ(got[2].arguments.size(), 1);
    EXPECT_EQ(got[2].arguments[0], QString(maxLine - prefix.size(), QLatin1Char('x')));
    EXPECT_EQ(got[3], (FerryMessage{"four()", {}}));
    // A record for each message, none for a bad line.
    const QList<QByteArray> records = takeLogRecords();
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0], "16 - ferry:55 function is one()");
    EXPECT_EQ(records[3], "16 - ferry:55 function is four()");
}

TEST_F(FerryBatch, LineEndsAndTheEndOfInput) {
    QCopChannel calc("KV/App/calc");
    QSignalSpy spy(&calc, &QCopChannel::received);
    // CR LF ends, empty lines, a CR inside a line, and a last line without a line end.
    FerryRun r = ferry({"-"}, "calc&one()\r\n\r\n\ncalc&two(QString)&a\rb\ncalc&three(QString)&c");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    EXPECT_EQ(drain(calc, spy),
              QList<FerryMessage>(
                  {{"one()", {}}, {"two(QString)", {"a\rb"}}, {"three(QString)", {"c"}}}));
    // A last line that is only a CR, and no input at all.
    r = ferry({"-"}, "calc&four()\n\r");
    EXPECT_EQ(r.status, 0);
    r = ferry({"-"}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    EXPECT_EQ(drain(calc, spy), QList<FerryMessage>({{"four()", {}}}));
    EXPECT_EQ(takeLogRecords().size(), 4);
}

// Each line goes as soon as it is read, not when the input ends.
TEST_F(FerryBatch, LinesGoAsTheyArrive) {
    QCopChannel calc("KV/App/calc");
    QSignalSpy spy(&calc, &QCopChannel::received);
    const std::unique_ptr<QProcess> p = start({"-"});
    p->write("calc&first()\n");
    for (int i = 0; i < 100 && spy.isEmpty(); ++i)
        spy.wait(100);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toByteArray(), "first()");
    EXPECT_EQ(p->state(), QProcess::Running);
    p->write("calc&second()\n");
    EXPECT_EQ(finish(*p).status, 0);
    EXPECT_EQ(drain(calc, spy), QList<FerryMessage>({{"second()", {}}}));
}

TEST_F(FerryBatch, WithoutABusOneLineAndStatusOne) {
    for (const char* address : {"disabled:", "unix:path=/nonexistent/bus", ""}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        const FerryRun r = ferry({"-"}, "calc&one()\ncalc\ncalc&two()\n", env);
        EXPECT_EQ(r.status, 1) << address;
        EXPECT_TRUE(r.out.isEmpty()) << address;
        EXPECT_TRUE(r.err.startsWith("ferry: ")) << address << ": " << r.err.constData();
        EXPECT_EQ(r.err.count('\n'), 1) << address << ": " << r.err.constData();
    }
    EXPECT_TRUE(log().isEmpty());
}

// With standard input closed, the next descriptor ferry opened would take its place and be read
// as input.
TEST_F(FerryBatch, ClosedInputIsOneLineAndStatusThree) {
    QCopChannel calc("KV/App/calc");
    QSignalSpy spy(&calc, &QCopChannel::received);
    QProcess p;
    QProcessEnvironment env = bus.environment();
    env.insert("KV_LOG_FILE", logDir.filePath("log"));
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([] { ::close(STDIN_FILENO); });
    p.start(QStringLiteral(KV_FERRY), {"-"});
    ASSERT_TRUE(p.waitForStarted(10000));
    const FerryRun r = finish(p);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "ferry: standard input is closed\n");
    EXPECT_TRUE(drain(calc, spy).isEmpty());
}

// When the bus goes away part way, the line being sent is reported and nothing after it goes.
TEST_F(FerryBatch, ABusLostPartWayStopsTheBatch) {
    std::optional<KV_PrivateBus> lost(std::in_place);
    ASSERT_TRUE(lost->isRunning());
    const std::unique_ptr<QProcess> p = start({"-"}, lost->environment());
    {
        lost->useInThisProcess();
        QCopChannel calc("KV/App/calc");
        QSignalSpy spy(&calc, &QCopChannel::received);
        p->write("calc&first()\n");
        for (int i = 0; i < 100 && spy.isEmpty(); ++i)
            spy.wait(100);
        ASSERT_EQ(spy.size(), 1);
        // The message reaches the listener before ferry has the bus's answer to it.
        ASSERT_TRUE(waitsForInput(p->processId()));
    }
    lost.reset();
    p->write("calc&second()\ncalc&third()\n");
    const FerryRun r = finish(*p);
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.startsWith("ferry: line 2: not sent, nor anything after it: "))
        << r.err.constData();
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
}

} // namespace
