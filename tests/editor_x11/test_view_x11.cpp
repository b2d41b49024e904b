// Undo, zoom and a larger window on a real X server, as a person uses them: strokes with the
// pen, Control+Z and Control+Y, the zoom-in button, the window made larger; the picture saved on
// disk is checked.
#include "x11_fixture.h"

namespace {

// The black pixels of row y between x0 and x1 (excluded).
int blackIn(const QImage& im, int y, int x0, int x1) {
    int n = 0;
    for (int x = x0; x < x1; ++x)
        n += im.pixel(x, y) == Black;
    return n;
}

class ViewOnX : public EditorOnX {
protected:
    // The buttons of the application bar, the upper of the two bars at the bottom of the
    // 480x360 window: pan, zoom out, zoom in, undo, redo.
    static QPoint appButton(int index) { return QPoint(20 + 33 * index, 301); }
    QImage saved() { return QImage(picture).convertToFormat(QImage::Format_RGB32); }
    // A free-hand line: the stroke begins at the pen's first move, one pixel after `from`.
    void line(QPoint from, QPoint to) { drag({from, from + QPoint(5, 0), to}); }
};

TEST_F(ViewOnX, ControlZTakesTheLastStrokeBackAndControlYBringsItAgain) {
    start();
    line(onPicture(50, 50), onPicture(250, 50));
    line(onPicture(50, 150), onPicture(250, 150));
    keys(QStringLiteral("ctrl+z"));
    keys(QStringLiteral("ctrl+s"));
    QImage im = saved();
    ASSERT_EQ(im.size(), QSize(480, 320));
    EXPECT_GT(blackIn(im, 50, 50, 250), 190) << "the first stroke stays";
    EXPECT_EQ(blackIn(im, 150, 0, 480), 0) << "the second stroke was taken back";

    keys(QStringLiteral("ctrl+y"));
    keys(QStringLiteral("ctrl+s"));
    im = saved();
    EXPECT_GT(blackIn(im, 150, 50, 250), 190) << "the second stroke is back";

    // The undo button takes it back too; the redo button brings it again.
    click(appButton(3));
    keys(QStringLiteral("ctrl+s"));
    EXPECT_EQ(blackIn(saved(), 150, 0, 480), 0);
    click(appButton(4));
    const QImage last = saveAndQuit();
    EXPECT_GT(blackIn(last, 150, 50, 250), 190);
}

TEST_F(ViewOnX, DrawingAfterZoomingInWithTheButtonDrawsHalfAsLong) {
    start();
    click(appButton(2)); // zoom in: 2:1
    // 200 pixels of pen along a row of the view are 100 pixels of picture.
    line(QPoint(100, 100), QPoint(300, 100));
    const QImage im = saveAndQuit();
    ASSERT_EQ(im.size(), QSize(480, 320));
    int row = -1;
    for (int y = 0; y < im.height() && row < 0; ++y)
        if (blackIn(im, y, 0, 480) > 0)
            row = y;
    ASSERT_GE(row, 0) << "nothing was drawn";
    EXPECT_NEAR(blackIn(im, row, 0, 480), 100, 2);
    EXPECT_EQ(blackIn(im, row + 1, 0, 480), 0) << "one picture pixel high";
}

TEST_F(ViewOnX, AWindowMadeLargerShowsMoreOfThePicture) {
    start();
    xdotool({"windowsize", "--sync", window, "800", "600"});
    QThread::msleep(500);
    const QString geometry = xdotool({"getwindowgeometry", window});
    EXPECT_TRUE(geometry.contains(QStringLiteral("800x600"))) << qPrintable(geometry);
    // At 480x360 this row of the window was the application bar; now it is picture.
    line(onPicture(250, 290), onPicture(350, 290));
    const QImage im = saveAndQuit();
    ASSERT_EQ(im.size(), QSize(480, 320));
    EXPECT_GT(blackIn(im, 290, 250, 350), 95);
}

} // namespace
