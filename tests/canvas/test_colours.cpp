// The flood fill in a chosen colour (exact, undone, on pictures read at 1 and 8 bits), the
// controller's colour codes (a white shape fill against no fill), and the eraser: its square
// tip along the pen's path at 1:1 and enlarged, one undo step per stroke.
#include "canvas_fixture.h"
#include "kv_erasermodel.h"

#include <QSet>

namespace {

constexpr QRgb Red = 0xffff0000u;
constexpr QRgb Green = 0xff00ff00u;

// White, with a black one-pixel outline around (100, 60)-(299, 199) and a green block inside
// it at (150, 100)-(169, 119).
QImage boxedPicture() {
    QImage im(480, 320, QImage::Format_RGB32);
    im.fill(White);
    for (int x = 100; x < 300; ++x)
        im.setPixel(x, 60, Black), im.setPixel(x, 199, Black);
    for (int y = 60; y < 200; ++y)
        im.setPixel(100, y, Black), im.setPixel(299, y, Black);
    for (int y = 100; y < 120; ++y)
        for (int x = 150; x < 170; ++x)
            im.setPixel(x, y, Green);
    return im;
}

QImage solid(QRgb colour) {
    QImage im(480, 320, QImage::Format_RGB32);
    im.fill(colour);
    return im;
}

QSet<QRgb> coloursOf(const QImage& im) {
    QSet<QRgb> out;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            out.insert(im.pixel(x, y));
    return out;
}

// The pixels of a that differ from b, and the box around them.
QRect changedBox(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class ColourFill : public CanvasTest {};

TEST_F(ColourFill, FillsExactlyTheRegionInTheChosenColourAndUndoes) {
    const QImage before = boxedPicture();
    ASSERT_TRUE(doc->restoreImage(before, QString(), nullptr));
    useTool(ToolFill);
    doc->setToolColor(ColorFlood, QColor(Qt::red));
    click({120, 80});
    const QImage after = picture().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 480; ++x) {
            const bool inside = x > 100 && x < 299 && y > 60 && y < 199;
            const bool green = x >= 150 && x < 170 && y >= 100 && y < 120;
            const QRgb want = inside && !green ? Red : before.pixel(x, y);
            ASSERT_EQ(after.pixel(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(coloursOf(after), (QSet<QRgb>{White, Black, Green, Red}));
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);

    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture().convertToFormat(QImage::Format_RGB32), before);
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(picture().convertToFormat(QImage::Format_RGB32), after);

    // A press on a region of the fill colour changes nothing and makes no step.
    click({120, 80});
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);
    // Filling the red region green, then undoing, gives the red back (not black).
    doc->setToolColor(ColorFlood, QColor(Qt::green));
    click({120, 80});
    EXPECT_EQ(px(120, 80), Green);
    EXPECT_EQ(px(160, 110), Green);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture().convertToFormat(QImage::Format_RGB32), after);
}

TEST_F(ColourFill, WhiteFillsAndTheColourIsMadeOpaque) {
    ASSERT_TRUE(doc->restoreImage(solid(Black), QString(), nullptr));
    useTool(ToolFill);
    doc->setToolColor(ColorFlood, QColor(Qt::white));
    click({10, 10});
    EXPECT_EQ(coloursOf(picture()), QSet<QRgb>{White});

    doc->setToolColor(ColorFlood, QColor(0, 0, 255, 60));
    EXPECT_EQ(tools()->activeFloodColor(), QColor(0, 0, 255));
    doc->setToolColor(ColorFlood, QColor()); // refused
    EXPECT_EQ(tools()->activeFloodColor(), QColor(0, 0, 255));
    click({10, 10});
    EXPECT_EQ(coloursOf(picture()), QSet<QRgb>{0xff0000ffu});
}

// A picture read at 1 or 8 bits is painted on in 32 bits: the fill gets exactly the chosen
// colour. Saved, the picture keeps its depth while every pixel is one of its colours and is
// written in 32 bits otherwise, so the colour is never lost.
TEST_F(ColourFill, PicturesReadAtOneAndEightBitsGetTheExactColour) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage mono(64, 48, QImage::Format_Mono);
    mono.setColorTable({0xffffffffu, 0xff000000u});
    mono.fill(0);
    for (int x = 0; x < 64; ++x)
        mono.setPixel(x, 20, 1); // a black line across
    QImage indexed(64, 48, QImage::Format_Indexed8);
    indexed.setColorTable({0xffffffffu, 0xff000000u, Red});
    indexed.fill(0);
    for (int x = 0; x < 64; ++x)
        indexed.setPixel(x, 20, 1);

    struct Case {
        QImage image;
        QColor colour;
        int savedDepth;
    };
    const Case cases[] = {{mono, QColor(Qt::red), 32},
                          {indexed, QColor(Qt::red), 8},
                          {indexed, QColor(Qt::blue), 32}};
    int n = 0;
    for (const Case& c : cases) {
        const QString in = dir.filePath(QStringLiteral("in%1.bmp").arg(n));
        const QString out = dir.filePath(QStringLiteral("out%1.bmp").arg(n++));
        ASSERT_TRUE(c.image.save(in, "BMP"));
        ASSERT_TRUE(doc->loadImage(in, "BMP"));
        useTool(ToolFill);
        doc->setToolColor(ColorFlood, c.colour);
        click({5, 5});
        EXPECT_EQ(px(5, 5), c.colour.rgb());
        EXPECT_EQ(px(63, 19), c.colour.rgb());
        EXPECT_EQ(px(5, 20), Black);
        EXPECT_EQ(px(5, 30), White); // below the line: another region
        ASSERT_TRUE(doc->saveImageAs(out, "BMP"));
        const QImage saved(out);
        EXPECT_EQ(saved.depth(), c.savedDepth) << n;
        EXPECT_EQ(saved.pixel(5, 5), c.colour.rgb()) << n;
        EXPECT_EQ(saved.pixel(5, 30), White) << n;
    }
}

class ShapeFill : public CanvasTest {};

TEST_F(ShapeFill, WhiteIsAFillColourAndNoFillStaysExplicit) {
    KV_ToolsController* c = tools();
    c->setToolColor(ColorShapeFill, Qt::white);
    EXPECT_TRUE(c->shapesFilled());
    EXPECT_EQ(c->currentBrush().style(), Qt::SolidPattern);
    EXPECT_EQ(c->currentBrush().color(), QColor(Qt::white));
    c->setToolColor(ColorFill, Qt::white); // white through ColorFill: no fill
    EXPECT_FALSE(c->shapesFilled());
    EXPECT_EQ(c->currentBrush().style(), Qt::NoBrush);
    c->setToolColor(ColorFill, Qt::red);
    EXPECT_EQ(c->currentBrush().color(), QColor(Qt::red));

    // On a black picture a white-filled rectangle is white inside; an unfilled one leaves the
    // inside black.
    ASSERT_TRUE(doc->restoreImage(solid(Black), QString(), nullptr));
    useTool(ToolShape);
    c->setToolColor(ColorLine, Qt::red);
    c->setToolColor(ColorShapeFill, Qt::white);
    drag({40, 40}, {120, 100});
    EXPECT_EQ(px(80, 70), White);
    EXPECT_EQ(px(40, 40), Red);
    c->setToolColor(ColorFill, Qt::white);
    drag({200, 40}, {280, 100});
    EXPECT_EQ(px(240, 70), Black);
    EXPECT_EQ(px(200, 40), Red);
    EXPECT_EQ(coloursOf(picture()), (QSet<QRgb>{Black, White, Red}));

    // The reset fills black again; the flood colour goes back to black too.
    c->setToolColor(ColorFlood, Qt::red);
    c->setToolAttribute(-1, 0);
    EXPECT_TRUE(c->shapesFilled());
    EXPECT_EQ(c->currentBrush().color(), QColor(Qt::black));
    EXPECT_EQ(c->activeFloodColor(), QColor(Qt::black));
}

class Eraser : public CanvasTest {
public:
    void SetUp() override {
        CanvasTest::SetUp();
        doc->resize(1480, 1000); // the whole picture in view at 3:1
        QApplication::processEvents();
        ASSERT_TRUE(doc->restoreImage(solid(Black), QString(), nullptr));
        useTool(ToolEraser);
    }
    // Pen events at viewport positions.
    void send(QEvent::Type type, QPointF at) {
        QMouseEvent e(type, at, at, vp()->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {},
                      QPointingDevice::primaryPointingDevice());
        QApplication::sendEvent(vp(), &e);
    }
    // A stroke through picture points, each given to the view at `scale` (viewport positions in
    // the far corner of each enlarged pixel).
    void stroke(std::initializer_list<QPoint> path, int scale = 1) {
        const auto at = [scale](QPoint p) {
            return QPointF(p * scale + QPoint(scale - 1, scale - 1));
        };
        auto p = path.begin();
        send(QEvent::MouseButtonPress, at(*p));
        for (++p; p != path.end(); ++p)
            send(QEvent::MouseMove, at(*p));
        send(QEvent::MouseButtonRelease, at(*(path.end() - 1)));
    }
};

TEST_F(Eraser, StraightStrokesClearExactlyTheSquareTipsPath) {
    tools()->setEraserSize(8);
    stroke({{100, 100}, {150, 100}, {200, 100}});
    // The tip covers [p - 4, p + 4) about each point.
    const QImage im = picture();
    EXPECT_EQ(changedBox(im, solid(Black)), QRect(96, 96, 108, 8));
    for (int y = 96; y < 104; ++y)
        for (int x = 96; x < 204; ++x)
            ASSERT_EQ(im.pixel(x, y), White) << x << "," << y;
    EXPECT_EQ(coloursOf(im), (QSet<QRgb>{Black, White}));
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);

    tools()->setEraserSize(32);
    stroke({{300, 40}, {300, 250}});
    const QImage two = picture();
    EXPECT_EQ(changedBox(two, im), QRect(284, 24, 32, 242));
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 2);

    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), im);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture().convertToFormat(QImage::Format_RGB32), solid(Black));
}

TEST_F(Eraser, AFastDiagonalMoveLeavesNoGapAndStaysInItsBand) {
    tools()->setEraserSize(4);
    stroke({{20, 20}, {220, 120}}); // one move of 200 pixels
    const QImage im = picture();
    // Every pixel of the line between the two points is cleared, with the tip around it...
    for (int x = 20; x <= 220; ++x) {
        const int y = 20 + (x - 20) / 2;
        ASSERT_EQ(im.pixel(x, y), White) << x;
        ASSERT_EQ(im.pixel(x, y - 1), White) << x;
        ASSERT_EQ(im.pixel(x, y + 1), White) << x;
    }
    // ...and nothing further from the line than the tip reaches.
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 480; ++x) {
            if (im.pixel(x, y) != White)
                continue;
            const double off = y - (20 + (x - 20) / 2.0);
            ASSERT_TRUE(x >= 18 && x <= 222 && off >= -4 && off <= 3) << x << "," << y;
        }
}

TEST_F(Eraser, EnlargedTheStrokeClearsThePixelsOfOneToOne) {
    tools()->setEraserSize(16);
    stroke({{60, 60}, {120, 90}, {140, 200}});
    const QImage reference = picture();
    ASSERT_TRUE(doc->restoreImage(solid(Black), QString(), nullptr));
    doc->setZoomLevel(5, QPoint(0, 0)); // 3:1
    ASSERT_EQ(doc->contentsX(), 0);
    stroke({{60, 60}, {120, 90}, {140, 200}}, 3);
    EXPECT_EQ(picture(), reference);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture().convertToFormat(QImage::Format_RGB32), solid(Black));
}

TEST_F(Eraser, SizesOutOfRangeAndTheEdgeOfThePicture) {
    tools()->setEraserSize(0);
    tools()->setEraserSize(65);
    EXPECT_EQ(tools()->activeEraserSize(), EraserSizeDefault);
    tools()->setEraserSize(16);
    stroke({{0, 0}});
    EXPECT_EQ(changedBox(picture(), solid(Black)), QRect(0, 0, 8, 8));
    // A stroke that goes on past the picture's edge clears up to the edge.
    stroke({{470, 300}, {600, 300}});
    EXPECT_EQ(changedBox(picture(), solid(Black)), QRect(0, 0, 480, 308));
    EXPECT_EQ(px(479, 307), White);
    EXPECT_EQ(px(479, 308), Black);
    EXPECT_EQ(px(461, 300), Black);
    EXPECT_EQ(px(462, 300), White);
}
