// orbhost as a user runs it: usage, listing, unknown classes and hosting a widget component,
// with the broker's status as its own.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    HostRun orbhost(const QStringList& args, bool withDisplay = true) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KV_COMPONENT_PATH", dir.path());
        if (withDisplay) {
            env.insert("QT_QPA_PLATFORM", "offscreen");
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
    for (const QStringList& args : {QStringList(), QStringList({""}), QStringList({"--bogus"}),
                                    QStringList({"-x"}), QStringList({"--list", "extra"})}) {
        const HostRun r = orbhost(args);
        EXPECT_EQ(r.status, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(r.err.contains("Usage: orbhost CLASS [ARG...]")) << r.err.constData();
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

TEST_F(Orbhost, HostsAWidgetUntilItsWindowCloses) {
    const HostRun closed = orbhost({"KV_TestWidget", "close", "two words"});
    EXPECT_EQ(closed.status, 0) << closed.err.constData();
    EXPECT_EQ(closed.out, "shown: close two words\n");
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

} // namespace
