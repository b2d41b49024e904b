// compat/: the Qt 2 pieces that Qt 6 lacks.
#include <qcanvas.h>
#include <qimageio.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

QString writeImage(const QTemporaryDir& dir, const QString& name, const char* format) {
    QImage im(8, 8, QImage::Format_RGB32);
    im.fill(Qt::blue);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(im.save(path, format));
    return path;
}

struct Seen {
    QEvent::Type type;
    QPoint pos;
};

class RecordingView : public QCanvasView {
public:
    using QCanvasView::QCanvasView;
    std::vector<Seen> seen;
    int paints = 0;

protected:
    void contentsMousePressEvent(QMouseEvent* e) override { record(e); }
    void contentsMouseReleaseEvent(QMouseEvent* e) override { record(e); }
    void contentsMouseDoubleClickEvent(QMouseEvent* e) override { record(e); }
    void contentsMouseMoveEvent(QMouseEvent* e) override { record(e); }
    void viewportPaintEvent(QPaintEvent* e) override {
        ++paints;
        QCanvasView::viewportPaintEvent(e);
    }

private:
    void record(QMouseEvent* e) { seen.push_back({e->type(), e->position().toPoint()}); }
};

} // namespace

TEST(QImageIO, NamesFormatsTheQt2Way) {
    QTemporaryDir dir;
    EXPECT_STREQ(QImageIO::imageFormat(writeImage(dir, "a.bmp", "BMP")), "BMP");
    EXPECT_STREQ(QImageIO::imageFormat(writeImage(dir, "a.jpg", "JPEG")), "JPEG");
    // By contents, not by name.
    EXPECT_STREQ(QImageIO::imageFormat(writeImage(dir, "really-bmp.jpeg", "BMP")), "BMP");
    EXPECT_STREQ(QImageIO::imageFormat(writeImage(dir, "p.png", "PNG")), "PNG");
    EXPECT_EQ(QImageIO::imageFormat(dir.filePath("missing.bmp")), nullptr);
    QFile junk(dir.filePath("junk.bmp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    EXPECT_EQ(QImageIO::imageFormat(junk.fileName()), nullptr);
    // Names are static storage: the same pointer every time.
    EXPECT_EQ(QImageIO::formatName("jpeg"), QImageIO::formatName("jpg"));
    EXPECT_EQ(QImageIO::formatName("png"), QImageIO::formatName("PNG"));
    EXPECT_EQ(QImageIO::formatName(QByteArray()), nullptr);
    QFile bmp(dir.filePath("a.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_STREQ(QImageIO::imageFormat(&bmp), "BMP");
}

TEST(QCanvas, SizeColourAndBackground) {
    QCanvas canvas(30, 20);
    EXPECT_EQ(canvas.size(), QSize(30, 20));
    EXPECT_TRUE(canvas.onCanvas(29, 19));
    EXPECT_FALSE(canvas.onCanvas(30, 19));
    int resized = 0;
    QObject::connect(&canvas, &QCanvas::resized, [&] { ++resized; });
    canvas.resize(40, 25);
    canvas.resize(40, 25);
    EXPECT_EQ(resized, 1);
    canvas.setBackgroundColor(Qt::red);
    EXPECT_EQ(canvas.backgroundColor(), QColor(Qt::red));

    QImage out(40, 25, QImage::Format_RGB32);
    {
        QPainter p(&out);
        canvas.drawArea(canvas.rect(), &p);
    }
    EXPECT_EQ(out.pixel(10, 10), qRgb(255, 0, 0));

    // A pixmap being painted on is shown live by reference.
    QPixmap pm(40, 25);
    pm.fill(Qt::white);
    QPainter live(&pm);
    canvas.setBackgroundPixmapRef(&pm);
    live.fillRect(0, 0, 5, 5, Qt::black);
    {
        QPainter p(&out);
        canvas.drawArea(canvas.rect(), &p);
    }
    EXPECT_EQ(out.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(20, 20), qRgb(255, 255, 255));
    live.end();
    canvas.releaseBackgroundPixmap(&pm);
    pm.fill(Qt::green); // the canvas now has its own copy
    EXPECT_EQ(canvas.backgroundPixmap().toImage().pixel(20, 20), qRgb(255, 255, 255));

    // A smaller pixmap is tiled.
    QPixmap tile(10, 10);
    tile.fill(Qt::blue);
    canvas.setBackgroundPixmap(tile);
    {
        QPainter p(&out);
        canvas.drawArea(canvas.rect(), &p);
    }
    EXPECT_EQ(out.pixel(35, 22), qRgb(0, 0, 255));
}

TEST(QCanvasView, ShowsTheCanvas1To1AndDeliversContentsCoordinates) {
    QCanvas canvas(600, 500);
    QPixmap pm(600, 500);
    pm.fill(Qt::white);
    {
        QPainter p(&pm);
        p.fillRect(300, 200, 10, 10, Qt::black);
    }
    canvas.setBackgroundPixmap(pm);
    RecordingView view(&canvas, nullptr, "view");
    EXPECT_EQ(view.objectName(), "view");
    view.resize(300, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.contentsWidth(), 600);
    EXPECT_EQ(view.contentsHeight(), 500);
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);

    view.setContentsPos(290, 195);
    EXPECT_EQ(view.contentsX(), 290);
    EXPECT_EQ(view.contentsY(), 195);
    QApplication::processEvents();
    const QImage shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(10, 5), qRgb(0, 0, 0)); // contents (300, 200)
    EXPECT_EQ(shot.pixel(9, 5), qRgb(255, 255, 255));
    EXPECT_GT(view.paints, 0);

    QWidget* vp = view.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(11, 21));
    QTest::mouseDClick(vp, Qt::LeftButton, {}, QPoint(12, 22));
    QMouseEvent move(QEvent::MouseMove, QPointF(13, 23), QPointF(13, 23), QPointF(13, 23),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    ASSERT_EQ(view.seen.size(), 4u);
    EXPECT_EQ(view.seen[0].type, QEvent::MouseButtonPress);
    EXPECT_EQ(view.seen[0].pos, QPoint(300, 215));
    EXPECT_EQ(view.seen[1].type, QEvent::MouseButtonRelease);
    EXPECT_EQ(view.seen[1].pos, QPoint(301, 216));
    EXPECT_EQ(view.seen[2].type, QEvent::MouseButtonDblClick);
    EXPECT_EQ(view.seen[3].type, QEvent::MouseMove);
    EXPECT_EQ(view.seen[3].pos, QPoint(303, 218));
    EXPECT_EQ(view.viewportToContents(QPoint(1, 1)), QPoint(291, 196));
    EXPECT_EQ(view.contentsToViewport(QPoint(291, 196)), QPoint(1, 1));
}

TEST(QCanvasView, ScrollBarModes) {
    QCanvas canvas(100, 100);
    QCanvasView view(&canvas);
    view.resize(300, 200);
    view.setHScrollBarMode(QScrollView::AlwaysOn);
    view.setVScrollBarMode(QScrollView::AlwaysOff);
    EXPECT_EQ(view.hScrollBarMode(), QScrollView::AlwaysOn);
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    view.setVScrollBarMode(QScrollView::Auto);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0); // small contents: nothing to scroll
    canvas.resize(100, 1000);
    EXPECT_EQ(view.contentsHeight(), 1000);
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
}

TEST(QCanvasView, CanvasGoneLeavesAnEmptyView) {
    auto* canvas = new QCanvas(50, 50);
    QCanvasView view(canvas);
    EXPECT_EQ(view.canvas(), canvas);
    delete canvas;
    EXPECT_EQ(view.canvas(), nullptr);
    EXPECT_EQ(view.contentsWidth(), 0);
}

TEST(QCanvasView, ViewGoneLeavesTheCanvasAlone) {
    QCanvas canvas(50, 50);
    {
        QCanvasView first(&canvas);
        QCanvasView second(&canvas);
        first.show();
        EXPECT_EQ(canvas.views().size(), 2);
    }
    // The canvas no longer reaches the views: resizing and repainting touch no freed widget.
    EXPECT_TRUE(canvas.views().isEmpty());
    canvas.resize(60, 40);
    canvas.setChanged(QRect(0, 0, 10, 10));
    canvas.update();
    QCanvasView later(&canvas);
    EXPECT_EQ(later.contentsWidth(), 60);
}
