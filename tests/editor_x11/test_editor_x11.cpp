// The editor on a real X server, used as a person uses it: orbhost starts it with a picture,
// xdotool moves the pen and types, and the picture saved on disk is checked.
#include "kv_privatebus.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr QRgb White = 0xffffffffu;
constexpr QRgb Black = 0xff000000u;

// Runs xdotool and returns what it printed.
QString xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(10000))
        ADD_FAILURE() << "xdotool " << qPrintable(args.join(' ')) << " did not finish";
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

class EditorOnX : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run under xvfb-run";
        ASSERT_TRUE(dir.isValid());
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

    // Starts the editor as the launcher does (in the icon folder) and waits for its window,
    // whose title is the picture's name.
    void start(const QProcessEnvironment& base = QProcessEnvironment::systemEnvironment()) {
        QProcessEnvironment env = base;
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("KV_BACKPACK_DIR"), dir.path());
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(QStringLiteral(KV_PX_ICON_DIR));
        editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        editor.start(QStringLiteral(KV_ORBHOST), {QStringLiteral("KVQ_imageEditor"), picture});
        ASSERT_TRUE(editor.waitForStarted(5000));
        for (int i = 0; i < 100 && window.isEmpty(); ++i) {
            window = xdotool({"search", "--onlyvisible", "--name", "^street$"}).section('\n', 0, 0);
            if (window.isEmpty())
                QThread::msleep(100);
        }
        ASSERT_FALSE(window.isEmpty()) << "the editor window did not appear";
        xdotool({"windowmove", "--sync", window, "0", "0"});
        xdotool({"windowfocus", "--sync", window});
        QThread::msleep(300);
    }
    // Pen actions at window coordinates.
    void click(int x, int y) {
        xdotool({"mousemove", "--sync", "--window", window, QString::number(x), QString::number(y),
                 "click", "1"});
        QThread::msleep(200);
    }
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

    // The picture lies below the 20-pixel band, inside the view's one-pixel frame.
    static QPoint onPicture(int x, int y) { return QPoint(x + 1, y + 21); }

    QTemporaryDir dir;
    QString picture;
    QProcess editor;
    QString window;
};

TEST_F(EditorOnX, PenDrawsAClosedLineAndFillsInside) {
    start();
    // The pencil is the tool at start: a free-hand square, closed by going on past its corner
    // (a stroke begins at its first move).
    drag({onPicture(100, 100), onPicture(200, 100), onPicture(200, 200), onPicture(100, 200),
          onPicture(100, 100), onPicture(150, 100)});
    // The fill mode switch is the second of the six buttons at the right of the title band.
    click(380, 10);
    click(onPicture(150, 150).x(), onPicture(150, 150).y());
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(150, 100), Black); // the line
    EXPECT_EQ(saved.pixel(150, 150), Black); // filled inside
    EXPECT_EQ(saved.pixel(101, 199), Black);
    EXPECT_EQ(saved.pixel(50, 50), White); // outside
    EXPECT_EQ(saved.pixel(250, 150), White);
}

TEST_F(EditorOnX, KeysChooseTheToolAndSaveAndQuit) {
    start();
    keys(QStringLiteral("Tab")); // the mode highlight moves to the fill tool
    click(onPicture(240, 160).x(), onPicture(240, 160).y());
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(0, 0), Black);
    EXPECT_EQ(saved.pixel(479, 319), Black);
}

// ferry drives the running editor: a bad message changes nothing, a good one switches the tool.
TEST_F(EditorOnX, FerrySwitchesTheRunningEditorsTool) {
    KV_PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    start(bus.environment());
    const auto ferry = [&bus](const QString& query) {
        QProcess p;
        p.setProcessEnvironment(bus.environment());
        p.start(QStringLiteral(KV_FERRY), {query});
        EXPECT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0) << qPrintable(query);
        QThread::msleep(300);
    };
    ferry(QStringLiteral("px&fViewPickerToolTwo(bool)&maybe"));
    ferry(QStringLiteral("px&fViewPickerToolTwo(bool)"));
    ferry(QStringLiteral("px&noSuchSlot()"));
    click(onPicture(50, 50).x(), onPicture(50, 50).y()); // still the pencil: one dot at most
    ferry(QStringLiteral("px&fViewPickerToolTwo(bool)&true"));
    click(onPicture(240, 160).x(), onPicture(240, 160).y()); // now the fill
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(400, 300), Black);
    EXPECT_EQ(saved.pixel(0, 0), Black);
}

} // namespace
