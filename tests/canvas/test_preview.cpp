// Previews that follow each other on one buffer: after any path of the pen the preview must be
// what a fresh copy of the picture with the last preview drawn on it shows, and a move must
// repaint only what changed in the view.
#include "canvas_fixture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>
#include <vector>

namespace {

// The paint events a widget receives.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
    QRegion painted;
};

// A spiral about c out to `radius`, then a few far jumps: moves near and across earlier lines.
std::vector<QPoint> spiral(QPoint c, int radius) {
    std::vector<QPoint> path;
    for (int i = 1; i <= 40; ++i) {
        const double a = 0.7 * i;
        const double r = radius * i / 40.0;
        path.push_back(c + QPoint(int(r * std::cos(a)), int(r * std::sin(a))));
    }
    for (QPoint far : {QPoint(0, 0), QPoint(479, 319), QPoint(470, 5), c + QPoint(3, 2)})
        path.push_back(far);
    return path;
}

class Preview : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        // Coloured stripes, so that a pixel not put back, or put back from the wrong place,
        // differs from the picture.
        QPainter* p = doc->painter();
        for (int x = -320; x < 480; x += 5) {
            p->setPen(QColor::fromHsv((x + 320) % 360, 200, 230));
            p->drawLine(x, 0, x + 320, 320);
        }
        doc->updateImage();
    }

    // Moves the pen along `path`, then draws the last preview again on a fresh copy of the
    // picture and compares the two.
    void expectAsFreshAfter(const std::vector<QPoint>& path) {
        const QImage before = picture();
        for (const QPoint p : path)
            move(p);
        const QImage followed = shown();
        doc->showPicture(); // lets the buffer go: the next preview starts from a whole copy
        move(path.back());
        const QImage fresh = shown();
        EXPECT_NE(fresh, before) << "the last move shows no preview";
        ASSERT_EQ(followed.size(), fresh.size());
        int stale = 0;
        QPoint first(-1, -1);
        for (int y = 0; y < fresh.height(); ++y)
            for (int x = 0; x < fresh.width(); ++x)
                if (followed.pixel(x, y) != fresh.pixel(x, y) && stale++ == 0)
                    first = QPoint(x, y);
        EXPECT_EQ(stale, 0) << "first differing pixel at " << first.x() << "," << first.y();
        EXPECT_EQ(picture(), before);
    }
};

} // namespace

TEST_F(Preview, WideArrowLineAndItsHeadsLeaveNothingBehind) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineThickness, ThicknessThick);
    doc->setToolAttribute(AttrLineEnding, EndingArrowArrow);
    press({240, 160});
    expectAsFreshAfter(spiral({240, 160}, 200));
    const QPoint end(300, 200);
    move(end);
    release(end); // lays the line: the heads follow the pen now
    press({320, 180});
    expectAsFreshAfter(spiral(end, 40));
}

TEST_F(Preview, DashedThickLineWithDotsLeavesNothingBehind) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineThickness, ThicknessThick);
    doc->setToolAttribute(AttrLineStyle, StyleDashed);
    doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
    press({100, 100});
    expectAsFreshAfter(spiral({100, 100}, 250));
}

TEST_F(Preview, LineFromACornerToTheOppositeEdgesLeavesNothingBehind) {
    // Each line's bounding box is the whole picture; what is put back follows the line.
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineThickness, ThicknessMedium);
    press({0, 0});
    std::vector<QPoint> path;
    for (int y = 0; y < 320; y += 23)
        path.push_back({479, y});
    for (int x = 479; x >= 0; x -= 31)
        path.push_back({x, 319});
    expectAsFreshAfter(path);
}

TEST_F(Preview, ConnectedLineAndMarkerLeaveNothingBehind) {
    usePencil(PencilConnected);
    doc->setToolAttribute(AttrLineThickness, ThicknessThick);
    click({50, 50});
    press({150, 80});
    expectAsFreshAfter(spiral({150, 80}, 120));
}

TEST_F(Preview, FilledThickShapesLeaveNothingBehind) {
    useTool(ToolShape);
    doc->setToolAttribute(AttrLineThickness, ThicknessThick);
    doc->setToolColor(ColorFill, Qt::black);
    for (int shape : {ShapeSquare, ShapeCircle, ShapeRoundedSquare}) {
        doc->setToolAttribute(AttrShapeTool, shape);
        press({200, 150});
        expectAsFreshAfter(spiral({200, 150}, 180));
        release({200, 150}); // on the start corner: draws nothing
    }
}

TEST_F(Preview, MoveRepaintsOnlyWhatChanged) {
    usePencil(PencilLine);
    press({100, 100});
    move({120, 110}); // the first preview copies the picture and repaints the whole view
    QApplication::processEvents();
    PaintSpy spy(vp());
    move({130, 115});
    QApplication::processEvents();
    ASSERT_FALSE(spy.painted.isEmpty());
    // Both lines with room for their endings, well inside the 480x260 view.
    EXPECT_TRUE(QRect(QPoint(60, 60), QPoint(170, 160)).contains(spy.painted.boundingRect()))
        << spy.painted.boundingRect().x() << "," << spy.painted.boundingRect().y() << " "
        << spy.painted.boundingRect().width() << "x" << spy.painted.boundingRect().height();
    release({130, 115});
}
