// The shape model, driven with the pen.
#include "canvas_fixture.h"

namespace {

// The outline of the rectangle (x, y, w, h) is black and nothing outside it is.
void expectRectOutline(const QImage& im, QRect r) {
    EXPECT_EQ(CanvasTest::nonWhiteBoxOf(im), r);
    for (int x = r.left(); x <= r.right(); ++x) {
        EXPECT_EQ(im.pixel(x, r.top()), Black) << x;
        EXPECT_EQ(im.pixel(x, r.bottom()), Black) << x;
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        EXPECT_EQ(im.pixel(r.left(), y), Black) << y;
        EXPECT_EQ(im.pixel(r.right(), y), Black) << y;
    }
}

} // namespace

class Shapes : public CanvasTest {};

TEST_F(Shapes, RectangleCoversExactlyItsPixels) {
    useTool(ToolShape);
    drag({10, 10}, {50, 30});
    const QImage im = picture();
    expectRectOutline(im, QRect(10, 10, 40, 20));
    EXPECT_EQ(countNonWhite(im), 2 * 40 + 2 * 18);
    EXPECT_EQ(im.pixel(30, 20), White); // white fill colour: outline only
}

TEST_F(Shapes, ControlMakesSquares) {
    useTool(ToolShape);
    held = Qt::ControlModifier;
    drag({10, 10}, {50, 30});
    expectRectOutline(picture(), QRect(10, 10, 20, 20));
    doc->newImage();
    useTool(ToolShape);
    drag({10, 10}, {50, 5});
    expectRectOutline(picture(), QRect(10, 5, 5, 5));
    // Up and to the left of the start: the square lies up and left of the start corner.
    doc->newImage();
    useTool(ToolShape);
    drag({60, 60}, {40, 50});
    expectRectOutline(picture(), QRect(50, 50, 10, 10));
    EXPECT_EQ(tools()->shapeModel()->boundingRect({40, 50}), QRect(50, 50, 10, 10));
}

TEST_F(Shapes, BlackFillColourFillsTheShape) {
    useTool(ToolShape);
    doc->setToolColor(ColorFill, Qt::black);
    drag({10, 10}, {50, 30});
    const QImage im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(10, 10, 40, 20));
    EXPECT_EQ(countNonWhite(im), 40 * 20);
}

TEST_F(Shapes, ShapeOutlineIsSolidWhateverTheLineStyle) {
    doc->setToolAttribute(AttrLineStyle, StyleDotted);
    useTool(ToolShape);
    drag({10, 10}, {50, 30});
    expectRectOutline(picture(), QRect(10, 10, 40, 20));
}

TEST_F(Shapes, ThickRectangleOutline) {
    doc->setToolAttribute(AttrLineThickness, ThicknessMedium);
    useTool(ToolShape);
    drag({10, 10}, {50, 30});
    const QImage im = picture();
    EXPECT_TRUE(onlyBlackAndWhite(im));
    // The 3-pixel outline is centred on the one-pixel one, with square (miter) corners.
    EXPECT_EQ(nonWhiteBox(im), QRect(9, 9, 42, 22));
    EXPECT_EQ(im.pixel(9, 9), Black);
    EXPECT_EQ(im.pixel(12, 12), White);
}

TEST_F(Shapes, ClickFixesTheStartAndTheNextPressPreviews) {
    useTool(ToolShape);
    click({10, 10});
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_EQ(tools()->shapeModel()->shapeState(), 2);
    press({50, 30});
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_EQ(shown().pixel(10, 10), Black); // preview from the first click's position
    EXPECT_EQ(shown().pixel(49, 29), Black);
    release({50, 30});
    expectRectOutline(picture(), QRect(10, 10, 40, 20));
    EXPECT_EQ(tools()->shapeModel()->shapeState(), 1);
}

TEST_F(Shapes, ReleaseOnTheStartCornerAfterADragDrawsNothing) {
    useTool(ToolShape);
    press({10, 10});
    move({40, 40});
    move({10, 10});
    release({10, 10});
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_EQ(tools()->shapeModel()->shapeState(), 1);
    EXPECT_EQ(countNonWhite(shown()), 0); // the preview is gone from the view too
}

TEST_F(Shapes, EllipseAndCircleStayInsideTheirBox) {
    useTool(ToolShape);
    doc->setToolAttribute(AttrShapeTool, ShapeCircle);
    drag({10, 10}, {50, 30});
    QImage im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(10, 10, 40, 20));
    EXPECT_EQ(im.pixel(10, 10), White);
    EXPECT_EQ(im.pixel(30, 10), Black);
    EXPECT_TRUE(onlyBlackAndWhite(im));
    doc->newImage();
    held = Qt::ControlModifier;
    drag({100, 100}, {130, 150});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(100, 100, 30, 30));
}

// The pen events say whether Control is held: the state the keys last left is overruled, so a
// release of Control that another window received does not make squares.
TEST_F(Shapes, ControlStateComesWithThePenEvents) {
    useTool(ToolShape);
    doc->setControlKey(true, Qt::Key_Control); // pressed, its release never seen
    drag({10, 10}, {130, 40});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(10, 10, 120, 30));
    EXPECT_FALSE(tools()->controlKey);
}

TEST_F(Shapes, RoundedRectangleUsesRoundness25) {
    useTool(ToolShape);
    doc->setToolAttribute(AttrShapeTool, ShapeRoundedSquare);
    drag({10, 10}, {90, 50});
    const QImage im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(10, 10, 80, 40));
    EXPECT_EQ(im.pixel(10, 10), White); // rounded corner
    EXPECT_EQ(im.pixel(50, 10), Black); // straight edge
    EXPECT_EQ(im.pixel(10, 30), Black);
    // Corner radii: 25% of half the width (10) and of half the height (5).
    EXPECT_EQ(im.pixel(14, 10), White);
    EXPECT_EQ(im.pixel(21, 10), Black);
    // Same as Qt 6's drawRoundedRect with relative size 25 on (10, 10, 79, 39).
    QImage ref(480, 320, QImage::Format_RGB32);
    ref.fill(Qt::white);
    {
        QPainter p(&ref);
        QPen pen(Qt::black);
        pen.setWidth(1);
        p.setPen(pen);
        p.drawRoundedRect(QRectF(10, 10, 79, 39), 25, 25, Qt::RelativeSize);
    }
    EXPECT_EQ(im, ref);
}

TEST_F(Shapes, UnknownShapeCodeDrawsNothing) {
    useTool(ToolShape);
    doc->setToolAttribute(AttrShapeTool, 9);
    drag({10, 10}, {50, 30});
    EXPECT_EQ(countNonWhite(picture()), 0);
}

TEST_F(Shapes, ShapeByDirectCalls) {
    useTool(ToolShape);
    KV_ShapeModel* s = tools()->shapeModel();
    QMouseEvent p = event(QEvent::MouseButtonPress, {10, 10});
    QMouseEvent m = event(QEvent::MouseMove, {50, 30});
    QMouseEvent r = event(QEvent::MouseButtonRelease, {50, 30});
    s->mousePress(&p);
    s->drawShape(&m);
    s->mouseRelease(&r);
    expectRectOutline(picture(), QRect(10, 10, 40, 20));
    // The document painter keeps the shape's pen and brush.
    EXPECT_EQ(doc->painter()->brush().style(), Qt::NoBrush);
}
