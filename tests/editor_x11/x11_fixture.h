// The editor on a real X server (Xvfb, without a window manager), used as a person uses it:
// orbhost starts it in the icon folder with a picture, xdotool moves the pen and types, and
// what the editor wrote to disk is checked.
#ifndef X11_FIXTURE_H
#define X11_FIXTURE_H

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

constexpr QRgb White = 0xffffffffu;
constexpr QRgb Black = 0xff000000u;

// Runs xdotool and returns what it printed.
inline QString xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(10000))
        ADD_FAILURE() << "xdotool " << qPrintable(args.join(' ')) << " did not finish";
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Sends one query with ferry on the bus of `env`, and gives the editor time to carry it out.
inline void ferry(const QProcessEnvironment& env, const QString& query) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KV_FERRY), {query});
    EXPECT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0) << qPrintable(query);
    QThread::msleep(300);
}

// The first visible window whose name matches the pattern, waiting up to timeoutMs.
inline QString findWindow(const QString& pattern, int timeoutMs = 30000) {
    for (int waited = 0; waited <= timeoutMs; waited += 100) {
        const QString found =
            xdotool({"search", "--onlyvisible", "--name", pattern}).section('\n', 0, 0);
        if (!found.isEmpty())
            return found;
        QThread::msleep(100);
    }
    return QString();
}

class EditorOnX : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run under xvfb-run";
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(state.isValid());
        picture = dir.filePath(QStringLiteral("street.bmp"));
        QImage white(480, 320, QImage::Format_RGB32);
        white.fill(White);
        ASSERT_TRUE(white.save(picture, "BMP"));
    }
    void TearDown() override {
        if (editor.state() != QProcess::NotRunning) {
            editor.kill();
            editor.waitForFinished(5000);
        }
    }

    // The environment the editor runs in: its own backpack and recovery folder.
    QProcessEnvironment editorEnvironment(
        const QProcessEnvironment& base = QProcessEnvironment::systemEnvironment()) const {
        QProcessEnvironment env = base;
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("KV_BACKPACK_DIR"), dir.path());
        env.insert(QStringLiteral("XDG_STATE_HOME"), state.path());
        return env;
    }
    // Starts the editor as the launcher does and waits for its window, whose title names the
    // picture. With focus, the test gives the window the keyboard; otherwise the editor must
    // take it itself.
    void start(const QProcessEnvironment& env, bool focus = true) {
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(QStringLiteral(KV_PX_ICON_DIR));
        editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        editor.start(QStringLiteral(KV_ORBHOST), {QStringLiteral("KVQ_imageEditor"), picture});
        ASSERT_TRUE(editor.waitForStarted(5000));
        window = findWindow(QStringLiteral("^street - Image Editor$"));
        ASSERT_FALSE(window.isEmpty()) << "the editor window did not appear";
        xdotool({"windowmove", "--sync", window, "0", "0"});
        if (focus)
            xdotool({"windowfocus", "--sync", window});
        QThread::msleep(300);
    }
    void start() { start(editorEnvironment()); }

    // Pen actions at window coordinates.
    void click(int x, int y) {
        xdotool({"mousemove", "--sync", "--window", window, QString::number(x), QString::number(y),
                 "click", "1"});
        QThread::msleep(200);
    }
    void click(QPoint p) { click(p.x(), p.y()); }
    // A stroke through the points, in steps of a few pixels.
    void drag(const QList<QPoint>& path) {
        const auto at = [](QPoint p) {
            return QStringList{QString::number(p.x()), QString::number(p.y())};
        };
        xdotool(QStringList{"mousemove", "--sync", "--window", window} + at(path.first()) +
                QStringList{"mousedown", "1"});
        for (int i = 1; i < path.size(); ++i)
            for (int step = 1; step <= 5; ++step)
                xdotool(QStringList{"mousemove", "--sync", "--window", window} +
                        at(path[i - 1] + (path[i] - path[i - 1]) * step / 5));
        xdotool({"mouseup", "1"});
        QThread::msleep(200);
    }
    void keys(const QString& chord) {
        xdotool({"key", "--clearmodifiers", chord});
        QThread::msleep(300);
    }
    // Saves with Control+S and quits with Control+Q; the editor must exit with status 0.
    QImage saveAndQuit() {
        keys(QStringLiteral("ctrl+s"));
        keys(QStringLiteral("ctrl+q"));
        EXPECT_TRUE(editor.waitForFinished(10000)) << "the editor did not quit";
        EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(editor.exitCode(), 0);
        return QImage(picture).convertToFormat(QImage::Format_RGB32);
    }
    bool running() const { return editor.state() == QProcess::Running; }

    // The picture lies below the 20-pixel band, inside the view's one-pixel frame.
    static QPoint onPicture(int x, int y) { return QPoint(x + 1, y + 21); }
    // The mode switches are the six buttons at the right of the title band.
    static QPoint modeSwitch(int index) { return QPoint(360 + 20 * index, 10); }

    QTemporaryDir dir;
    QTemporaryDir state;
    QString picture;
    QProcess editor;
    QString window;
};

#endif
