// The editor beside other programs on one X display without a window manager: the keyboard
// stays with the window it is typed into, the editor takes it when it starts and when its
// boxes close, the question about unsaved changes answers Escape and Return, and a Control
// let go inside a box does not make squares afterwards.
#include "x11_fixture.h"

namespace {

class DesktopOnX : public EditorOnX {
protected:
    void TearDown() override {
        if (probe.state() != QProcess::NotRunning) {
            probe.kill();
            probe.waitForFinished(5000);
        }
        EditorOnX::TearDown();
    }
    // Starts the other program and gives it the keyboard.
    void startProbe() {
        probe.setProcessEnvironment(editorEnvironment()); // on X, whatever the caller's platform
        probe.start(QStringLiteral(KV_TYPINGPROBE), {QStringLiteral("typing probe")},
                    QIODevice::ReadOnly);
        ASSERT_TRUE(probe.waitForStarted(5000));
        probeWindow = findWindow(QStringLiteral("^typing probe$"));
        ASSERT_FALSE(probeWindow.isEmpty()) << "the other program's window did not appear";
        xdotool({"windowfocus", "--sync", probeWindow});
        QThread::msleep(300);
    }
    // The last text the other program's line edit held.
    QString probeText() {
        probe.waitForReadyRead(500);
        received += QString::fromUtf8(probe.readAllStandardOutput());
        return received.trimmed().section('\n', -1);
    }
    // Whether a window of that caption is shown, or goes, within a few seconds.
    static bool shownNow(const QString& caption) {
        return !xdotool({"search", "--onlyvisible", "--name", "^" + caption + "$"}).isEmpty();
    }
    static bool boxShown(const QString& caption) {
        return !findWindow("^" + caption + "$", 10000).isEmpty();
    }
    static bool boxGone(const QString& caption) {
        for (int waited = 0; waited < 10000; waited += 100) {
            if (!shownNow(caption))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    QProcess probe;
    QString probeWindow;
    QString received;
};

TEST_F(DesktopOnX, OtherProgramsKeepTheirKeysAfterThePopupsAndBoxes) {
    start();
    // A line-ending popup, opened and answered with the keys, and a box of the editor's.
    keys(QStringLiteral("ctrl+Tab"));
    keys(QStringLiteral("Return"));
    keys(QStringLiteral("Down"));
    keys(QStringLiteral("Return"));
    keys(QStringLiteral("ctrl+h"));
    ASSERT_TRUE(boxShown(QStringLiteral("Help")));
    keys(QStringLiteral("Return"));
    EXPECT_TRUE(boxGone(QStringLiteral("Help")));

    startProbe();
    xdotool({"type", "--delay", "50", "hello"});
    keys(QStringLiteral("ctrl+h"));
    EXPECT_EQ(probeText(), "hello");
    QThread::msleep(1000); // time enough for a box to appear
    EXPECT_FALSE(shownNow(QStringLiteral("Help"))) << "the editor took another program's key";
    EXPECT_TRUE(running());
}

TEST_F(DesktopOnX, TheEditorTakesTheKeyboardWhenItStartsAndWhenItsBoxesClose) {
    start(editorEnvironment(), false); // nobody gives it the focus
    keys(QStringLiteral("ctrl+h"));
    ASSERT_TRUE(boxShown(QStringLiteral("Help")));
    keys(QStringLiteral("Escape"));
    EXPECT_TRUE(boxGone(QStringLiteral("Help")));
    keys(QStringLiteral("Tab")); // the fill tool, by the keys alone
    click(onPicture(240, 160));
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(0, 0), Black);
}

TEST_F(DesktopOnX, TheQuestionAboutChangesAnswersEscapeAndReturn) {
    start();
    drag({onPicture(50, 50), onPicture(150, 50)});
    keys(QStringLiteral("ctrl+n"));
    ASSERT_TRUE(boxShown(QStringLiteral("Save")));
    keys(QStringLiteral("Escape")); // cancels: the drawing stays
    EXPECT_TRUE(boxGone(QStringLiteral("Save")));
    EXPECT_TRUE(running());
    keys(QStringLiteral("ctrl+n"));
    ASSERT_TRUE(boxShown(QStringLiteral("Save")));
    keys(QStringLiteral("Return")); // "Ok": saved, then a new picture
    EXPECT_TRUE(boxGone(QStringLiteral("Save")));
    EXPECT_EQ(QImage(picture).pixel(100, 50), Black);
    keys(QStringLiteral("ctrl+q")); // nothing changed since: no question
    EXPECT_TRUE(editor.waitForFinished(10000));
    EXPECT_EQ(editor.exitCode(), 0);
}

TEST_F(DesktopOnX, ControlLetGoInsideABoxMakesNoSquares) {
    start();
    click(modeSwitch(3)); // shapes
    keys(QStringLiteral("ctrl+h"));
    ASSERT_TRUE(boxShown(QStringLiteral("Help")));
    // Closed with the pen: the box's only button, in its lower half.
    const QString box = findWindow(QStringLiteral("^Help$"));
    const QStringList geometry =
        xdotool({"getwindowgeometry", "--shell", box}).split('\n', Qt::SkipEmptyParts);
    int width = 0;
    int height = 0;
    for (const QString& line : geometry) {
        if (line.startsWith("WIDTH="))
            width = line.mid(6).toInt();
        if (line.startsWith("HEIGHT="))
            height = line.mid(7).toInt();
    }
    ASSERT_GT(width, 0);
    // Pen taps up from the bottom, across the button row, until the box is gone.
    for (int y = height - 8; y > height / 2 && shownNow(QStringLiteral("Help")); y -= 6)
        for (int x : {width - 45, width / 2, 45})
            if (shownNow(QStringLiteral("Help")))
                xdotool({"mousemove", "--sync", "--window", box, QString::number(x),
                         QString::number(y), "click", "1"});
    ASSERT_TRUE(boxGone(QStringLiteral("Help")));
    drag({onPicture(100, 100), onPicture(220, 130)});
    const QImage saved = saveAndQuit();
    QRect drawn;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x)
            if (saved.pixel(x, y) != White)
                drawn |= QRect(x, y, 1, 1);
    EXPECT_EQ(drawn, QRect(100, 100, 120, 30));
}

} // namespace
