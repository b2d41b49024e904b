// An installed tree works from any prefix: installed into a temporary folder and moved, its
// programs find their libraries, components and pictures relative to themselves.
#include "kv_privatebus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int status = -100;
    QByteArray out;
    QByteArray err;
};

// The environment of this process without anything that points at the build tree.
QProcessEnvironment plainEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LD_LIBRARY_PATH", "KV_COMPONENT_PATH", "KV_PICS_PATH"})
        env.remove(name);
    return env;
}

ProgramRun run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
               const QByteArray& input = QByteArray()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProgramRun r;
    if (!p.waitForStarted(10000)) {
        ADD_FAILURE() << qPrintable(program) << " did not start: " << qPrintable(p.errorString());
        return r;
    }
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << qPrintable(program) << " did not finish";
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -200;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

bool loadFailure(const QByteArray& err) {
    return err.contains("cannot open shared object") || err.contains("undefined symbol") ||
           err.contains("cannot load component") || err.contains("no component serves");
}

class Installed : public ::testing::Test {
protected:
    // One installation for every test: installed into a folder, then moved to another.
    static void SetUpTestSuite() {
        root = new QTemporaryDir;
        ASSERT_TRUE(root->isValid());
        const ProgramRun install = run(
            QStringLiteral(KV_CMAKE),
            {"--install", KV_BUILD_DIR, "--prefix", root->filePath("first")}, plainEnvironment());
        ASSERT_EQ(install.status, 0) << install.out.constData() << install.err.constData();
        ASSERT_TRUE(QDir(root->path()).rename("first", "moved"));
    }
    static void TearDownTestSuite() {
        delete root;
        root = nullptr;
    }
    static QString installed(const QString& path) { return root->filePath("moved/" + path); }
    static QString program(const char* name) {
        return installed(QStringLiteral(KV_BINDIR "/") + QLatin1String(name));
    }

    static QTemporaryDir* root;
};

QTemporaryDir* Installed::root = nullptr;

TEST_F(Installed, BrokerListsTheInstalledComponents) {
    const ProgramRun r = run(program("orbhost"), {"--list"}, plainEnvironment());
    EXPECT_EQ(r.status, 0) << r.err.constData();
    const QList<QByteArray> classes = r.out.split('\n');
    EXPECT_TRUE(classes.contains("KVQ_MathServer")) << r.out.constData() << r.err.constData();
    EXPECT_TRUE(classes.contains("KVQ_SymWatchHub")) << r.out.constData();
#if defined(KV_HAVE_PX)
    EXPECT_TRUE(classes.contains("KVQ_imageEditor")) << r.out.constData();
#endif
}

TEST_F(Installed, MathConsoleReachesTheMathServer) {
    const ProgramRun r =
        run(program("mathconsole"), {}, plainEnvironment(), "1\n1\n1+2\nQUIT\n0\n");
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains(" INPUT = 1+2\n   ANS = 3\n")) << r.out.constData();
    EXPECT_FALSE(loadFailure(r.err)) << r.err.constData();
}

TEST_F(Installed, DesktopEntryRunsTheLauncher) {
    QFile entry(installed(QStringLiteral(KV_DATADIR "/applications/px.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = entry.readAll().split('\n');
    EXPECT_TRUE(lines.contains("Exec=px %f"));
    EXPECT_TRUE(lines.contains("Name=Image Editor"));
    // File managers offer the editor for the pictures it opens.
    EXPECT_TRUE(lines.contains("MimeType=image/bmp;image/jpeg;image/png;"));
    EXPECT_TRUE(QFileInfo(program("px")).isExecutable());
}

#if defined(KV_HAVE_PX)
// The launcher opens the editor on a picture named relative to the caller's folder; the editor,
// driven over a private bus, takes its own slots and refuses Qt's, loading nothing from the
// build. Remote control cannot close it, so the test ends it. Started through a symbolic link in
// another folder, it finds its tree all the same.
TEST_F(Installed, LauncherStartsTheEditorThatFerryDrives) {
    KV_PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(work.filePath("green.bmp"), "BMP"));
    ASSERT_TRUE(QDir(work.path()).mkdir("links"));
    ASSERT_TRUE(QFile::link(program("px"), work.filePath("links/px")));

    QProcessEnvironment env = plainEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromLocal8Bit(bus.address()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KV_LOG_FILE", work.filePath("px.log"));
    const auto logLines = [&work] {
        QFile log(work.filePath("px.log"));
        return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
    };
    QProcessEnvironment ferryEnv = env;
    ferryEnv.insert("KV_LOG_FILE", work.filePath("ferry.log"));
    const auto ferry = [&](const char* query) {
        EXPECT_EQ(run(program("ferry"), {query}, ferryEnv).status, 0) << query;
    };
    for (const QString& launcher : {program("px"), work.filePath("links/px")}) {
        SCOPED_TRACE(launcher.toStdString());
        QFile::remove(work.filePath("px.log"));
        QProcess px;
        px.setProcessEnvironment(env);
        px.setWorkingDirectory(work.path());
        px.start(launcher, {"green.bmp"});
        ASSERT_TRUE(px.waitForStarted(10000));

        // The editor listens once its window is up; until it answers, ask again. close() is
        // Qt's: refused with one line.
        QElapsedTimer clock;
        clock.start();
        while (logLines() == 0 && px.state() == QProcess::Running && clock.elapsed() < 30000) {
            ferry("px&close()");
            px.waitForFinished(250);
        }
        ASSERT_GE(logLines(), 1) << px.readAllStandardError().constData();
        const int refused = logLines();
        // Messages are taken in order: once nosuch() is refused, fileNew() has run, unrefused.
        ferry("px&fileNew()");
        ferry("px&nosuch()");
        while (logLines() == refused && px.state() == QProcess::Running &&
               clock.elapsed() < 30000)
            px.waitForFinished(100);
        EXPECT_EQ(logLines(), refused + 1);
        EXPECT_EQ(px.state(), QProcess::Running);
        px.terminate();
        if (!px.waitForFinished(10000)) {
            px.kill();
            px.waitForFinished();
        }
        const QByteArray err = px.readAllStandardError();
        EXPECT_FALSE(loadFailure(err)) << err.constData();
        EXPECT_FALSE(err.contains("no icon folder")) << err.constData();
    }
}
#endif

} // namespace
