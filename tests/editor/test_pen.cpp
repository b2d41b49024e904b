// Pen use end to end: choose tools and attributes on the tool bars, draw on the picture, read
// its pixels.
#include "editor_fixture.h"
#include "kvq_popupmenu.h"

#include <QMenu>

namespace {

ModalScript::Step choose(int id) {
    return ModalScript::entry(
        [id](QMenu* m) { return static_cast<KVQ_PopupMenu*>(m)->findItem(id); });
}

} // namespace

using Pen = EditorTest;

TEST_F(Pen, FillsTheRegionInsideARectangle) {
    tap(editor->modeActions[3]); // shapes: a rectangle outline
    stroke(QPoint(100, 100), QPoint(200, 160));
    tap(editor->modeActions[1]); // fill
    press(QPoint(150, 130));
    release(QPoint(150, 130));
    QApplication::processEvents();
    const QImage im = picture();
    EXPECT_EQ(im.pixel(150, 130), Black);
    EXPECT_EQ(im.pixel(102, 102), Black);
    EXPECT_EQ(im.pixel(90, 90), White);
    EXPECT_EQ(im.pixel(300, 200), White);
    EXPECT_FALSE(doc()->saved());
}

TEST_F(Pen, DottedThickArrowLine) {
    {
        ModalScript script({choose(EndingNoneArrow)});
        tap(editor->lineActions[0]);
    }
    {
        ModalScript script({choose(PencilLine)});
        tap(editor->lineActions[1]);
    }
    {
        ModalScript script({choose(ThicknessThick)});
        tap(editor->lineActions[3]);
    }
    {
        ModalScript script({choose(StyleDotted)});
        tap(editor->lineActions[4]);
    }
    ASSERT_EQ(tools()->activePencilTool(), PencilArrowLine);
    stroke(QPoint(40, 150), QPoint(300, 150)); // lays the line
    press(QPoint(320, 150));                   // places the head, pointing on along the line
    release(QPoint(320, 150));
    QApplication::processEvents();
    const QImage im = picture();

    // Dots with gaps along the line, five pixels thick.
    int dark = 0;
    int gaps = 0;
    for (int x = 50; x < 250; ++x) {
        const bool on = im.pixel(x, 150) == Black;
        dark += on;
        gaps += !on;
    }
    EXPECT_GT(dark, 40);
    EXPECT_GT(gaps, 40);
    int thickness = 0;
    for (int y = 140; y <= 160; ++y) {
        bool any = false;
        for (int x = 50; x < 250; ++x)
            any = any || im.pixel(x, y) == Black;
        thickness += any;
    }
    EXPECT_EQ(thickness, 5);
    // The arrow head at the right end is wider than the line; the left end has none.
    int headRows = 0;
    for (int y = 130; y <= 170; ++y) {
        bool any = false;
        for (int x = 270; x <= 305; ++x)
            any = any || im.pixel(x, y) == Black;
        headRows += any;
    }
    EXPECT_GT(headRows, 8);
    for (int y = 130; y <= 170; ++y) {
        if (y < 148 || y > 152) {
            EXPECT_EQ(im.pixel(42, y), White) << y;
        }
    }
}

TEST_F(Pen, FilledCircle) {
    tap(editor->modeActions[3]);
    {
        ModalScript script({choose(ShapeCircle)});
        tap(editor->shapeActions[0]);
    }
    tap(editor->shapeActions[6]); // fill black
    stroke(QPoint(100, 100), QPoint(160, 160));
    const QImage im = picture();
    EXPECT_EQ(im.pixel(130, 130), Black);
    EXPECT_EQ(im.pixel(112, 130), Black);
    EXPECT_EQ(im.pixel(102, 102), White); // outside the circle, inside its box
    EXPECT_EQ(im.pixel(157, 157), White);
    EXPECT_EQ(im.pixel(130, 100), Black); // the outline touches the box's edge midpoints
    EXPECT_EQ(im.pixel(130, 170), White);
}
