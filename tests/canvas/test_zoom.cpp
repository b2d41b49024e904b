// The view's zoom: pen positions mapped to picture pixels exactly, drawing at any zoom giving the
// pixels of 1:1, how the picture looks enlarged and reduced, and moving the view with the wheel,
// a drag in pan mode, the middle button and a stroke past its edge.
#include "canvas_fixture.h"

#include <QWheelEvent>

#include <functional>

namespace {

constexpr int Half = 2;  // the level of 1/2
constexpr int Three = 5; // the level of 3:1
constexpr int Eight = 8; // the level of 8:1

} // namespace

class Zoom : public CanvasTest {
public:
    void SetUp() override {
        CanvasTest::SetUp();
        // Large enough to show the whole picture at 3:1, so that no stroke leaves the view.
        doc->resize(1480, 1000);
        QApplication::processEvents();
    }

    // Pen events at viewport positions, which may fall between pixels.
    void send(QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, at, at, vp()->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, {},
                      QPointingDevice::primaryPointingDevice());
        QApplication::sendEvent(vp(), &e);
    }
    void wheel(QPoint at, QPoint angle, Qt::KeyboardModifiers modifiers) {
        QWheelEvent e(QPointF(at), vp()->mapToGlobal(QPointF(at)), QPoint(), angle, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(vp(), &e);
    }

    // The same strokes in picture coordinates, through `at`, which gives the viewport position
    // for a picture pixel.
    void drawAll(const std::function<QPointF(QPoint)>& at) {
        const auto stroke = [&](std::initializer_list<QPoint> path) {
            auto p = path.begin();
            send(QEvent::MouseButtonPress, at(*p));
            for (++p; p != path.end(); ++p)
                send(QEvent::MouseMove, at(*p));
            send(QEvent::MouseButtonRelease, at(*(path.end() - 1)));
        };
        usePencil(PencilFreeForm);
        doc->setToolAttribute(AttrLineThickness, ThicknessMedium);
        doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
        stroke({{20, 20}, {60, 30}, {110, 90}, {150, 96}});
        usePencil(PencilLine);
        doc->setToolAttribute(AttrLineEnding, EndingNoneArrow);
        stroke({{200, 40}, {300, 60}, {380, 120}}); // lays the line
        stroke({{400, 126}});                       // places the head
        useTool(ToolShape);
        doc->setToolAttribute(AttrShapeTool, ShapeRoundedSquare);
        stroke({{40, 150}, {100, 200}, {160, 280}});
        usePencil(PencilConnected);
        doc->setToolAttribute(AttrLineEnding, EndingNone);
        stroke({{250, 180}, {300, 200}, {350, 180}});
        stroke({{350, 260}});
        stroke({{250, 260}});
        stroke({{250, 260}}); // ends the chain
        useTool(ToolFill);
        stroke({{300, 220}});
    }
};

TEST_F(Zoom, DrawingEnlargedOrReducedGivesThePixelsOfOneToOne) {
    drawAll([](QPoint p) { return QPointF(p); });
    const QImage reference = picture();
    ASSERT_GT(countNonWhite(reference), 1000);

    // 3:1, every position in the far corner of its pixel's square.
    doc->newImage();
    doc->setZoomLevel(Three, QPoint(0, 0));
    ASSERT_EQ(doc->contentsX(), 0);
    drawAll([](QPoint p) { return QPointF(p * 3 + QPoint(2, 2)); });
    EXPECT_EQ(picture(), reference);

    // 1:2, at the middle of each viewport pixel's half: positions between viewport pixels.
    doc->newImage();
    doc->setZoomLevel(Half, QPoint(0, 0));
    drawAll([](QPoint p) { return QPointF(p.x() / 2.0 + 0.25, p.y() / 2.0 + 0.25); });
    EXPECT_EQ(picture(), reference);
}

TEST_F(Zoom, ATapAnywhereInAnEnlargedPixelHitsThatPixel) {
    doc->setZoomLevel(Eight, QPoint(0, 0));
    doc->setContentsPos(100, 50);
    ASSERT_EQ(doc->contentsX(), 100);
    ASSERT_EQ(doc->viewportToContents(QPoint(0, 0)), QPoint(100, 50));
    usePencil(PencilFreeForm);
    // The far corner of pixel (120, 60), then the near corner of (130, 70), then the last
    // viewport pixel before (140, 80).
    for (QPoint vp :
         {QPoint(20 * 8 + 7, 10 * 8 + 7), QPoint(30 * 8, 20 * 8), QPoint(40 * 8 - 1, 30 * 8 - 1)}) {
        send(QEvent::MouseButtonPress, vp);
        send(QEvent::MouseButtonRelease, vp);
    }
    const QImage im = picture();
    EXPECT_EQ(im.pixel(120, 60), Black);
    EXPECT_EQ(im.pixel(130, 70), Black);
    EXPECT_EQ(im.pixel(139, 79), Black);
    EXPECT_EQ(countNonWhite(im), 3);
}

TEST_F(Zoom, EnlargedPixelsAreSharpSquaresWithAGridFromEightReducedOnesAreAveraged) {
    // A checkerboard of single black and white pixels in the top left corner.
    QImage board(480, 320, QImage::Format_RGB32);
    board.fill(White);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            board.setPixel(x, y, (x + y) % 2 ? Black : White);
    ASSERT_TRUE(doc->restoreImage(board, QString(), nullptr));
    const QImage before = picture();

    doc->setZoomLevel(Three, QPoint(0, 0));
    QImage shown = vp()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(shown.pixel(x, y), board.pixel(x / 3, y / 3)) << x << "," << y;

    doc->setZoomLevel(Eight, QPoint(0, 0));
    shown = vp()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb pixel = board.pixel(x / 8, y / 8);
            const bool onGrid = x % 8 == 0 || y % 8 == 0;
            ASSERT_EQ(shown.pixel(x, y), onGrid ? KV_ScaledPicture::gridColour(pixel) : pixel)
                << x << "," << y;
        }
    EXPECT_NE(KV_ScaledPicture::gridColour(White), White);
    EXPECT_NE(KV_ScaledPicture::gridColour(Black), Black);

    doc->setZoomLevel(Half, QPoint(0, 0));
    shown = vp()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(qGray(shown.pixel(3, 3)), 127); // half black, half white
    EXPECT_EQ(shown.pixel(100, 100), White);
    // Beside the reduced picture lies the background, not the picture.
    EXPECT_EQ(shown.pixel(241, 10), doc->palette().dark().color().rgb());

    // A change drawn while reduced shows at once.
    useTool(ToolFill);
    send(QEvent::MouseButtonPress, QPointF(100, 100));
    send(QEvent::MouseButtonRelease, QPointF(100, 100));
    shown = vp()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(100, 100), Black);
    ASSERT_TRUE(doc->undo());
    shown = vp()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(100, 100), White);

    doc->setZoomLevel(KV_ZoomLevels::oneToOne());
    EXPECT_EQ(picture(), before); // zooming never touched the picture
}

TEST_F(Zoom, LevelsStepFromAnEighthToThirtyTwoAndKeepThePointUnderTheAnchor) {
    EXPECT_EQ(doc->zoomLevel(), KV_ZoomLevels::oneToOne());
    for (int i = 0; i < 20; ++i)
        doc->zoomOut();
    EXPECT_EQ(KV_ZoomLevels::text(doc->zoomLevel()), "12.5%");
    for (int i = 0; i < 20; ++i)
        doc->zoomIn();
    EXPECT_EQ(KV_ZoomLevels::text(doc->zoomLevel()), "3200%");
    EXPECT_EQ(KV_ZoomLevels::nearest(13), 0);
    EXPECT_EQ(KV_ZoomLevels::nearest(300), Three);
    EXPECT_EQ(KV_ZoomLevels::nearest(100), KV_ZoomLevels::oneToOne());
    EXPECT_EQ(KV_ZoomLevels::nearest(-5), 0);
    EXPECT_EQ(KV_ZoomLevels::nearest(100000), KV_ZoomLevels::count() - 1);

    doc->setZoomLevel(KV_ZoomLevels::oneToOne());
    doc->resize(300, 200);
    QApplication::processEvents();
    const QPoint anchor(150, 90);
    const QPoint under = doc->viewportToContents(anchor);
    // (Reduced, the whole picture fits in the view: nothing scrolls then.)
    for (int level : {Three, Eight, KV_ZoomLevels::count() - 1, KV_ZoomLevels::oneToOne()}) {
        doc->setZoomLevel(level, anchor);
        const QPoint now = doc->viewportToContents(anchor);
        EXPECT_LE((now - under).manhattanLength(), 2) << KV_ZoomLevels::text(level).toStdString();
    }
}

TEST_F(Zoom, TheWheelScrollsShiftTurnsItSidewaysControlZoomsAboutThePointer) {
    doc->resize(300, 200);
    doc->setZoomLevel(Three, QPoint(0, 0));
    QApplication::processEvents();
    wheel({100, 100}, {0, -120}, {});
    EXPECT_GT(doc->contentsY(), 0);
    EXPECT_EQ(doc->contentsX(), 0);
    wheel({100, 100}, {0, -120}, Qt::ShiftModifier);
    EXPECT_GT(doc->contentsX(), 0);

    const QPoint under = doc->viewportToContents(QPoint(100, 100));
    wheel({100, 100}, {0, 120}, Qt::ControlModifier);
    EXPECT_EQ(doc->zoomLevel(), Three + 1);
    EXPECT_LE((doc->viewportToContents(QPoint(100, 100)) - under).manhattanLength(), 1);
    // Half notches add up.
    wheel({100, 100}, {0, -60}, Qt::ControlModifier);
    EXPECT_EQ(doc->zoomLevel(), Three + 1);
    wheel({100, 100}, {0, -60}, Qt::ControlModifier);
    EXPECT_EQ(doc->zoomLevel(), Three);
}

TEST_F(Zoom, PanModeAndTheMiddleButtonMoveTheViewWithoutDrawing) {
    doc->resize(300, 200);
    doc->setZoomLevel(Three, QPoint(0, 0));
    QApplication::processEvents();
    usePencil(PencilFreeForm);

    send(QEvent::MouseButtonPress, QPointF(200, 150), Qt::MiddleButton);
    send(QEvent::MouseMove, QPointF(150, 100), Qt::MiddleButton);
    send(QEvent::MouseMove, QPointF(100, 60), Qt::MiddleButton);
    send(QEvent::MouseButtonRelease, QPointF(100, 60), Qt::MiddleButton);
    EXPECT_EQ(doc->scrollPosition(), QPoint(100, 90));

    doc->setPanMode(true);
    send(QEvent::MouseButtonPress, QPointF(100, 100));
    send(QEvent::MouseMove, QPointF(80, 60));
    send(QEvent::MouseButtonRelease, QPointF(80, 60));
    EXPECT_EQ(doc->scrollPosition(), QPoint(120, 130));
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_FALSE(doc->undoHistory()->canUndo());

    // Out of pan mode the same drag draws again.
    doc->setPanMode(false);
    send(QEvent::MouseButtonPress, QPointF(100, 100));
    send(QEvent::MouseMove, QPointF(80, 60));
    send(QEvent::MouseButtonRelease, QPointF(80, 60));
    EXPECT_EQ(doc->scrollPosition(), QPoint(120, 130));
    EXPECT_GT(countNonWhite(picture()), 0);
}

TEST_F(Zoom, AStrokePastTheEdgeScrollsTheViewAlong) {
    doc->resize(300, 200);
    QApplication::processEvents();
    ASSERT_EQ(doc->scrollPosition(), QPoint(0, 0));
    const int bottom = vp()->height();
    usePencil(PencilFreeForm);
    send(QEvent::MouseButtonPress, QPointF(100, 100));
    send(QEvent::MouseMove, QPointF(100, 150));
    send(QEvent::MouseMove, QPointF(100, bottom + 60)); // 60 pixels below the view
    EXPECT_GE(doc->contentsY(), 60);
    // The point the pen reached, out of sight when it got there, is drawn and now in view.
    EXPECT_EQ(px(100, bottom + 59), Black);
    const QPoint shown = doc->contentsToViewport(QPoint(100, bottom + 59));
    EXPECT_TRUE(vp()->rect().contains(shown));
    // While the pen stays out, the view goes on scrolling and the line follows.
    const int before = doc->contentsY();
    QTest::qWait(200);
    EXPECT_GT(doc->contentsY(), before);
    EXPECT_EQ(px(100, bottom + 60 + (doc->contentsY() - before) - 1), Black);
    send(QEvent::MouseButtonRelease, QPointF(100, bottom + 60));
    const int after = doc->contentsY();
    QTest::qWait(100);
    EXPECT_EQ(doc->contentsY(), after); // the release stops it
}
