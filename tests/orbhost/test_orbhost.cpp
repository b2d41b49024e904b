// orbhost as a user runs it: usage, listing, unknown classes and hosting a widget component,
// with the broker's status as its own; a hosted widget driven with ferry over a private bus.
#include "kv_cutlibrary.h"
#include "kv_privatebus.h"
#include "kv_qcopsender.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct HostRun {
    int status = -100;
    QByteArray out;
    QByteArray err;
};

class Orbhost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* lib : {"libkvtestcomponent.so", "libkvtestwidget.so"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KV_TEST_COMPONENT_DIR "/") + lib,
                                    dir.filePath(QString::fromLatin1(lib))));
        QFile index(dir.filePath("test.index"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write("KV_TestObject libkvtestcomponent.so\nKV_TestWidget libkvtestwidget.so\n");
    }

    HostRun orbhost(const QStringList& args, bool withDisplay = true,
                    const QString& platform = QStringLiteral("offscreen"),
                    const QString& display = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KV_COMPONENT_PATH", dir.path());
        if (withDisplay) {
            env.insert("QT_QPA_PLATFORM", platform);
            if (!display.isNull())
                env.insert("DISPLAY", display);
        } else {
            env.remove("QT_QPA_PLATFORM");
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
        }
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KV_ORBHOST), args);
        HostRun r;
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "orbhost did not finish";
            return r;
        }
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -200;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    QTemporaryDir dir;
};

TEST_F(Orbhost, BadUseShowsUsage) {
    for (const QStringList& args :
         {QStringList(), QStringList({""}), QStringList({"--bogus"}), QStringList({"-x"}),
          QStringList({"--list", "extra"}), QStringList({"--app"}), QStringList({"--app", ""}),
          QStringList({"--app", "name"}), QStringList({"--app", "name", "--app"})}) {
        const HostRun r = orbhost(args);
        EXPECT_EQ(r.status, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(r.err.contains("Usage: orbhost [--app NAME] CLASS [ARG...]"))
            << r.err.constData();
    }
    const HostRun help = orbhost({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: orbhost"));
}

TEST_F(Orbhost, ListsTheClassesOfTheComponents) {
    const HostRun r = orbhost({"--list"}, false); // listing needs no display
    EXPECT_EQ(r.status, 0);
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "KV_TestObject");
    EXPECT_EQ(lines[1], "KV_TestWidget");
}

TEST_F(Orbhost, UnknownClassFailsWithTheBrokersStatus) {
    const HostRun r = orbhost({"KV_NoSuchClass"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("cannot create an object of class \"KV_NoSuchClass\""))
        << r.err.constData();
}

// A library cut short, a named pipe and an entry point that is data: one line and status 1,
// instead of SIGBUS, a hang or a crash.
TEST_F(Orbhost, BrokenComponentsFailWithStatusOne) {
    const QByteArray cut =
        kv_cutLibrary(QStringLiteral(KV_TEST_COMPONENT_DIR "/libkvtestcomponent.so"));
    QFile half(dir.filePath("libhalf.so"));
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    ASSERT_GT(half.write(cut), 4096);
    half.close();
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("libfifo.so")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::copy(QStringLiteral(KV_TEST_COMPONENT_DIR "/libkvtestdataentry.so"),
                            dir.filePath("libdataentry.so")));
    QFile index(dir.filePath("broken.index"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("KV_Half libhalf.so\nKV_Fifo libfifo.so\nKV_DataEntry libdataentry.so\n");
    index.close();
    for (const char* className : {"KV_Half", "KV_Fifo", "KV_DataEntry"}) {
        const HostRun r = orbhost({className});
        EXPECT_EQ(r.status, 1) << className;
        EXPECT_EQ(r.err.count("cannot load component library"), 1)
            << className << ": " << r.err.constData();
        EXPECT_TRUE(r.err.contains("cannot create an object of class")) << r.err.constData();
    }
}

// A library of another machine, word size or byte order: the loader would call it missing.
TEST_F(Orbhost, LibraryOfAnotherArchitectureIsSaidToBeOne) {
    QFile own(QStringLiteral(KV_TEST_COMPONENT_DIR "/libkvtestcomponent.so"));
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    const QByteArray library = own.readAll();
    const struct {
        const char* className;
        int at;
        QByteArray bytes;
        const char* said;
    } foreign[] = {{"KV_Arm", 18, QByteArray("\xb7\x00", 2), "built for aarch64, 64-bit"},
                   {"KV_Patched", 18, QByteArray("\xef\xbe", 2), "built for machine 48879"},
                   {"KV_Narrow", 4, QByteArray("\x01", 1), "32-bit"},
                   {"KV_BigEndian", 5, QByteArray("\x02", 1), "big-endian"}};
    QFile index(dir.filePath("foreign.index"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    for (const auto& f : foreign) {
        QFile patched(dir.filePath(QStringLiteral("lib%1.so").arg(f.className)));
        ASSERT_TRUE(patched.open(QIODevice::WriteOnly));
        ASSERT_EQ(patched.write(QByteArray(library).replace(f.at, f.bytes.size(), f.bytes)),
                  library.size());
        index.write(QByteArray(f.className) + " lib" + f.className + ".so\n");
    }
    index.close();
    for (const auto& f : foreign) {
        const HostRun r = orbhost({f.className});
        EXPECT_EQ(r.status, 1) << f.className;
        EXPECT_EQ(r.err.count("cannot load component library"), 1) << r.err.constData();
        EXPECT_TRUE(r.err.contains("wrong architecture")) << r.err.constData();
        EXPECT_TRUE(r.err.contains(f.said)) << r.err.constData();
        EXPECT_TRUE(r.err.contains("this process is")) << r.err.constData();
        EXPECT_FALSE(r.err.contains("No such file")) << r.err.constData();
    }
}

// exit() or quick_exit() in a component's entry point or constructor is a failure to create.
TEST_F(Orbhost, ComponentEndingTheProcessWhileCreatedFails) {
    for (const char* lib : {"libkvtestexitentry.so", "libkvtestexitcreate.so"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(KV_TEST_COMPONENT_DIR "/") + lib,
                                dir.filePath(QString::fromLatin1(lib))));
    QFile index(dir.filePath("exit.index"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("KV_ExitEntry libkvtestexitentry.so\nKV_ExitCreate libkvtestexitcreate.so\n");
    index.close();
    for (const QStringList& args : {QStringList{"KV_ExitEntry"}, QStringList{"KV_ExitCreate"},
                                    QStringList{"KV_ExitCreate", "quick"}}) {
        const HostRun r = orbhost(args);
        EXPECT_EQ(r.status, 1) << qPrintable(args.join(' '));
        EXPECT_EQ(r.err.count(QByteArray("the component serving class \"") + args[0].toLatin1() +
                              "\" ended the process while its object was being created\n"),
                  1)
            << r.err.constData();
    }
}

// A platform that exists but cannot start (no display reachable, no screen) is one line
// naming it and the reason, and status 1, instead of Qt's abort.
TEST_F(Orbhost, PlatformThatCannotStartIsOneLine) {
    const struct {
        const char* platform;
        const char* display;
        const char* said;
    } cases[] = {{"xcb", ":9999",
                  "the platform \"xcb\" could not start: could not connect to "
                  "display :9999"},
                 {"xcb", "no display here", "could not connect to display no display here"},
                 {"linuxfb:fb=/nonexistent/fb0", nullptr,
                  "the platform \"linuxfb\" could not start: no screen"},
                 {";;;", nullptr, "\";;;\" names no Qt platform"}};
    for (const auto& c : cases) {
        const HostRun r = orbhost({"KV_TestWidget", "close"}, true, c.platform,
                                  c.display ? QString::fromLatin1(c.display) : QString());
        EXPECT_EQ(r.status, 1) << c.platform;
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
        EXPECT_TRUE(r.err.startsWith("orbhost: ")) << r.err.constData();
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.constData();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
    }
}

TEST_F(Orbhost, HostsAWidgetUntilItsWindowCloses) {
    const HostRun closed = orbhost({"KV_TestWidget", "close", "two words"});
    EXPECT_EQ(closed.status, 0) << closed.err.constData();
    EXPECT_EQ(closed.out, "shown: close two words\n");
    // Without a session bus the remote control stays deaf and says so at most once.
    EXPECT_LE(closed.err.count("KV/App/kvtestwidget"), 1) << closed.err.constData();
    // The status of the event loop is orbhost's status.
    const HostRun exited = orbhost({"KV_TestWidget", "exit=3"});
    EXPECT_EQ(exited.status, 3);
    EXPECT_EQ(exited.out, "shown: exit=3\n");
    // Qt's own options are taken out before the component sees its arguments.
    const HostRun qtOption = orbhost({"-platform", "offscreen", "KV_TestWidget", "close"});
    EXPECT_EQ(qtOption.status, 0);
    EXPECT_EQ(qtOption.out, "shown: close\n");
}

TEST_F(Orbhost, ObjectWithoutWindowEndsAtOnce) {
    const HostRun r = orbhost({"KV_TestObject", "x"});
    EXPECT_EQ(r.status, 0) << r.err.constData();
}

TEST_F(Orbhost, NoDisplayIsAClearError) {
    const HostRun r = orbhost({"KV_TestWidget", "close"}, false);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("no display")) << r.err.constData();
}

// A platform Qt has no plugin for: one line naming the platforms that exist, and status 1
// instead of Qt's abort.
TEST_F(Orbhost, UnknownPlatformIsAClearError) {
    const HostRun option = orbhost({"-platform", "nosuch", "KV_TestWidget", "close"});
    EXPECT_EQ(option.status, 1);
    EXPECT_TRUE(option.err.contains("no Qt platform plugin for \"nosuch\""))
        << option.err.constData();
    EXPECT_TRUE(option.err.contains("offscreen")) << option.err.constData();
    EXPECT_EQ(option.err.count('\n'), 1) << option.err.constData();
    EXPECT_TRUE(option.out.isEmpty());

    const HostRun variable = orbhost({"KV_TestWidget", "close"}, true, "nosuch:option=1");
    EXPECT_EQ(variable.status, 1);
    EXPECT_TRUE(variable.err.contains("no Qt platform plugin for \"nosuch\""))
        << variable.err.constData();

    // A list falls back to a platform that exists, as Qt does.
    const HostRun fallback = orbhost({"-platform", "nosuch;offscreen", "KV_TestWidget", "close"});
    EXPECT_EQ(fallback.status, 0) << fallback.err.constData();
    EXPECT_EQ(fallback.out, "shown: close\n");
}

// orbhost hosting the test widget on a private bus, with ferry sending it messages.
class RemoteOrbhost : public Orbhost {
protected:
    void SetUp() override {
        Orbhost::SetUp();
        ASSERT_TRUE(bus.isRunning()) << "dbus-daemon did not start";
    }
    void TearDown() override {
        if (host.state() != QProcess::NotRunning) {
            host.kill();
            host.waitForFinished();
        }
    }

    // Starts orbhost and waits until the widget is shown, when its channel is listening.
    void start(const QStringList& args) {
        QProcessEnvironment env = bus.environment();
        env.insert("KV_COMPONENT_PATH", dir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KV_LOG_FILE", dir.filePath("host.log"));
        host.setProcessEnvironment(env);
        host.start(QStringLiteral(KV_ORBHOST), args);
        QElapsedTimer clock;
        clock.start();
        while (!out.contains("shown:") && clock.elapsed() < 20000 &&
               host.state() != QProcess::NotRunning) {
            host.waitForReadyRead(100);
            out += host.readAllStandardOutput();
        }
        ASSERT_TRUE(out.contains("shown:")) << host.readAllStandardError().constData();
    }

    void ferry(const QString& query) {
        QProcessEnvironment env = bus.environment();
        env.insert("KV_LOG_FILE", dir.filePath("ferry.log"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KV_FERRY), {query});
        ASSERT_TRUE(p.waitForFinished(10000)) << qPrintable(query);
        EXPECT_EQ(p.exitCode(), 0) << qPrintable(query) << p.readAllStandardError().constData();
    }

    // Closes the window through its own public slot and returns what orbhost did.
    HostRun closeAndFinish(const QString& app) {
        ferry(app + "&finish()");
        HostRun r;
        if (!host.waitForFinished(20000)) {
            ADD_FAILURE() << "orbhost did not end after close()";
            return r;
        }
        r.status = host.exitStatus() == QProcess::NormalExit ? host.exitCode() : -200;
        r.out = out + host.readAllStandardOutput();
        r.err = host.readAllStandardError();
        return r;
    }

    QList<QByteArray> hostLog() {
        QFile f(dir.filePath("host.log"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    KV_PrivateBus bus;
    QProcess host;
    QByteArray out;
};

TEST_F(RemoteOrbhost, FerryCallsPublicSlotsWithConvertedArguments) {
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.filePath("red.png")));
    start({"KV_TestWidget", "stay"});
    ferry("kvtestwidget&report(bool,int,QString)&true&42&two words");
    ferry("kvtestwidget&report( bool, int , QString )&0&-7&a%20b");
    // The component resolves Resource from orbhost.
    ferry("kvtestwidget&showPicture(QString)&" + dir.filePath("red.png"));
    const HostRun r = closeAndFinish("kvtestwidget");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.toStdString(), "shown: stay\n"
                                   "report: true 42 two words\n"
                                   "report: false -7 a%20b\n"
                                   "picture: 4x3\n");
    EXPECT_TRUE(hostLog().isEmpty()) << hostLog().join('\n').constData();
}

TEST_F(RemoteOrbhost, BadMessagesChangeNothingAndLogOneLineEach) {
    start({"KV_TestWidget", "stay"});
    const QStringList bad = {
        "kvtestwidget&nosuch()",
        "kvtestwidget&report(bool,int,QString)&true&1",
        "kvtestwidget&report(bool,int,QString)&maybe&1&x",
        "kvtestwidget&report(bool,int,QString)&true&1x&x",
        "kvtestwidget&hidden()",
        "kvtestwidget&reported()",
        // Qt's slots, which every widget has.
        "kvtestwidget&deleteLater()",
        "kvtestwidget&hide()",
        "kvtestwidget&close()",
        "kvtestwidget&setWindowTitle(QString)&title",
        "kvtestwidget&setStyleSheet(QString)&QLabel { color: red }",
    };
    for (const QString& query : bad)
        ferry(query);
    // The window is still there to answer.
    ferry("kvtestwidget&report(bool,int,QString)&true&1&alive");
    const HostRun r = closeAndFinish("kvtestwidget");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.toStdString(), "shown: stay\nreport: true 1 alive\n");
    const QList<QByteArray> log = hostLog();
    ASSERT_EQ(log.size(), bad.size());
    for (int i = 0; i < log.size(); ++i) {
        const QByteArray message = bad[i].section('&', 1, 1).toLatin1();
        EXPECT_TRUE(log[i].contains(" KV/App/kvtestwidget ")) << log[i].constData();
        EXPECT_TRUE(log[i].contains(message)) << log[i].constData();
    }
}

// A message over the size limit is refused with one record, and the channel goes on listening:
// the bus connection is not left stalled behind it.
TEST_F(RemoteOrbhost, HugeMessageIsRefusedAndTheNextOneArrives) {
    start({"KV_TestWidget", "stay"});
    QByteArray data;
    {
        QDataStream s(&data, QIODevice::WriteOnly);
        s << QString(32 * 1024 * 1024 - 8, QLatin1Char('x')); // 64 MB of UTF-16
    }
    ASSERT_GE(data.size(), 64 * 1000 * 1000);
    QString error;
    bus.useInThisProcess();
    ASSERT_TRUE(
        KV_QCopSender::send("KV/App/kvtestwidget", "showPicture(QString)", data, &error, 30000))
        << qPrintable(error);
    data.clear();
    ferry("kvtestwidget&report(bool,int,QString)&true&2&after");
    QElapsedTimer clock;
    clock.start();
    while (!out.contains("report:") && clock.elapsed() < 30000 &&
           host.state() == QProcess::Running) {
        host.waitForReadyRead(100);
        out += host.readAllStandardOutput();
    }
    const HostRun r = closeAndFinish("kvtestwidget");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.toStdString(), "shown: stay\nreport: true 2 after\n");
    const QList<QByteArray> log = hostLog();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].contains("showPicture(QString): a message of")) << log[0].constData();
}

TEST_F(RemoteOrbhost, AppOptionNamesTheChannel) {
    start({"--app", "other", "KV_TestWidget", "stay"});
    ferry("kvtestwidget&report(bool,int,QString)&true&1&lost");
    ferry("other&report(bool,int,QString)&true&2&heard");
    const HostRun r = closeAndFinish("other");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.toStdString(), "shown: stay\nreport: true 2 heard\n");
}

} // namespace
