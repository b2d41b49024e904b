// The fill model; the scan-line fill against a literal breadth-first fill.
#include "canvas_fixture.h"

#include <QRandomGenerator>

#include <deque>
#include <vector>

namespace {

// The reference fill: breadth-first from (x, y), neighbours right, left, below, above,
// QImage::pixel compared exactly, QImage::setPixel with the new value.
void referenceFill(QImage* image, unsigned value, int x, int y) {
    const int w = image->width();
    const int h = image->height();
    std::vector<char> visited(std::size_t(w) * h, 0);
    std::deque<QPoint> queue;
    queue.push_back({x, y});
    visited[std::size_t(x) * h + y] = 1;
    const QRgb target = image->pixel(x, y);
    while (!queue.empty()) {
        const QPoint q = queue.front();
        if (!image->valid(q)) {
            queue.pop_front();
            continue;
        }
        image->setPixel(q, value);
        for (const QPoint n :
             {q + QPoint(1, 0), q + QPoint(-1, 0), q + QPoint(0, 1), q + QPoint(0, -1)}) {
            if (image->valid(n) && !visited[std::size_t(n.x()) * h + n.y()] &&
                image->pixel(n) == target) {
                visited[std::size_t(n.x()) * h + n.y()] = 1;
                queue.push_back(n);
            }
        }
        queue.pop_front();
    }
}

QImage noise(QSize size, QImage::Format format, int colours, quint32 seed) {
    QRandomGenerator rng(seed);
    const QRgb palette[] = {0xffffffff, 0xff000000, 0xffff0000, 0x80ff0000, 0x00000000, 0xff00ff00};
    QImage im(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            im.setPixel(x, y, palette[rng.bounded(colours)]);
    return im.convertToFormat(format);
}

} // namespace

class Fill : public CanvasTest {};

TEST_F(Fill, PressOnNewPictureFillsItAllBlack) {
    useTool(ToolFill);
    click({200, 100});
    const QImage im = picture();
    EXPECT_EQ(im.size(), QSize(480, 320));
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 480; ++x)
            ASSERT_EQ(im.pixel(x, y), Black) << x << "," << y;
    EXPECT_FALSE(doc->saved());
    EXPECT_TRUE(doc->painter()->isActive());
    EXPECT_EQ(shown(), im);
}

TEST_F(Fill, FillOnAPictureWithAlphaPaintsOpaqueBlack) {
    // A picture with an alpha channel (a 32-bit BMP with a mask, say): half transparent red.
    QImage translucent(40, 30, QImage::Format_ARGB32);
    translucent.fill(QColor(255, 0, 0, 128));
    doc->setPmScaled(QPixmap::fromImage(translucent));
    doc->showPicture();
    ASSERT_TRUE(picture().hasAlphaChannel());
    useTool(ToolFill);
    click({5, 5});
    QImage im = picture();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(im.pixel(x, y), Black) << x << "," << y;
    EXPECT_EQ(shown().pixel(20, 15), Black);
}

TEST_F(Fill, PressOnBlackChangesNothing) {
    doc->painter()->setPen(QPen(Qt::black));
    doc->painter()->drawLine(0, 100, 479, 100);
    useTool(ToolFill);
    const QImage before = picture();
    ASSERT_TRUE(doc->saved());
    click({30, 100});
    EXPECT_EQ(picture(), before);
    EXPECT_TRUE(doc->saved());
    // Outside the picture: nothing either.
    QMouseEvent e = event(QEvent::MouseButtonPress, {500, 10});
    tools()->fillModel()->mousePress(&e);
    EXPECT_EQ(picture(), before);
    EXPECT_TRUE(doc->saved());
}

TEST_F(Fill, FillStopsAtAnOutlineAndLeaksThroughAGap) {
    QPainter* p = doc->painter();
    p->setPen(QPen(Qt::black));
    p->setBrush(Qt::NoBrush);
    p->drawRect(100, 100, 50, 40); // Qt 6: covers (100..150, 100..140)
    useTool(ToolFill);
    click({120, 120});
    QImage im = picture();
    EXPECT_EQ(im.pixel(101, 101), Black);
    EXPECT_EQ(im.pixel(149, 139), Black);
    EXPECT_EQ(im.pixel(99, 120), White);
    EXPECT_EQ(im.pixel(151, 120), White);
    EXPECT_EQ(countNonWhite(im), 51 * 41);

    // A gap of one pixel lets the fill leak out.
    doc->newImage();
    p->setPen(QPen(Qt::black));
    p->drawRect(100, 100, 50, 40);
    p->setPen(QPen(Qt::white));
    p->drawPoint(100, 120);
    click({120, 120});
    im = picture();
    EXPECT_EQ(countNonWhite(im), 480 * 320);
}

TEST_F(Fill, DiagonalStepStopsTheFill) {
    QPainter* p = doc->painter();
    p->setPen(QPen(Qt::black));
    // A diamond of one-pixel diagonal lines: every step of the outline is diagonal.
    p->drawLine(200, 100, 250, 150);
    p->drawLine(250, 150, 200, 200);
    p->drawLine(200, 200, 150, 150);
    p->drawLine(150, 150, 200, 100);
    const int outline = countNonWhite(picture());
    useTool(ToolFill);
    click({200, 150});
    const QImage im = picture();
    EXPECT_EQ(im.pixel(0, 0), White);
    EXPECT_EQ(im.pixel(200, 101), Black);
    EXPECT_EQ(im.pixel(199, 100), White);
    // The inside is the 49 + 47 + ... rows of the diamond: 2 * (1 + 3 + ... + 97) + 99.
    int inside = 0;
    for (int k = 1; k <= 97; k += 2)
        inside += 2 * k;
    inside += 99;
    EXPECT_EQ(countNonWhite(im), outline + inside);
}

TEST_F(Fill, DashedBoundaryLeaks) {
    QPainter* p = doc->painter();
    QPen dashed(Qt::black);
    dashed.setStyle(Qt::DashLine);
    p->setPen(dashed);
    p->drawRect(100, 100, 50, 40);
    useTool(ToolFill);
    click({120, 120});
    EXPECT_TRUE(black(0, 0));
    EXPECT_TRUE(black(479, 319));
}

TEST_F(Fill, FillTurnsExactlyTheConnectedRedPixelsBlack) {
    QPainter* p = doc->painter();
    p->setPen(QPen(Qt::red));
    p->setBrush(QBrush(Qt::red));
    p->drawEllipse(100, 100, 80, 60);
    p->drawEllipse(300, 100, 40, 40); // red, but not connected
    const QImage before = picture();
    useTool(ToolFill);
    click({140, 130});
    const QImage after = picture();
    int changed = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 480; ++x) {
            const QRgb b = before.pixel(x, y);
            const QRgb a = after.pixel(x, y);
            if (x < 250 && b == qRgb(255, 0, 0)) {
                ASSERT_EQ(a, Black);
                ++changed;
            } else {
                ASSERT_EQ(a, b);
            }
        }
    EXPECT_GT(changed, 3000);
}

TEST_F(Fill, FillByDirectCallMatchesTheBreadthFirstFill) {
    KV_FillModel* f = tools()->fillModel();
    const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                      QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB16,
                                      QImage::Format_Indexed8};
    quint32 seed = 1;
    for (QImage::Format format : formats) {
        for (int colours : {2, 3, 6}) {
            for (QSize size :
                 {QSize(1, 1), QSize(67, 1), QSize(1, 45), QSize(97, 61), QSize(130, 70)}) {
                const QImage start = noise(size, format, colours, seed++);
                QRandomGenerator rng(seed);
                for (int n = 0; n < 4; ++n) {
                    const int x = rng.bounded(size.width());
                    const int y = rng.bounded(size.height());
                    unsigned value = n == 3 ? start.pixel(x, y) : (n == 0 ? 0u : 0xff00ff00u);
                    if (format == QImage::Format_Indexed8) // setPixel takes a colour index
                        value = unsigned(n % 2);
                    QImage ours = start.copy();
                    QImage ref = start.copy();
                    f->fillRegion(&ours, value, x, y);
                    referenceFill(&ref, value, x, y);
                    if (ours != ref) {
                        for (int yy = 0; yy < size.height(); ++yy)
                            for (int xx = 0; xx < size.width(); ++xx)
                                if (ours.pixel(xx, yy) != ref.pixel(xx, yy) ||
                                    ours.pixelColor(xx, yy) != ref.pixelColor(xx, yy)) {
                                    ADD_FAILURE()
                                        << xx << "," << yy << " ours " << std::hex
                                        << ours.pixel(xx, yy) << " ref " << ref.pixel(xx, yy)
                                        << " start " << start.pixel(xx, yy) << " target "
                                        << start.pixel(x, y) << " value " << value;
                                    yy = size.height();
                                    break;
                                }
                    }
                    ASSERT_EQ(ours, ref)
                        << "format " << format << " colours " << colours << " size " << size.width()
                        << "x" << size.height() << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(Fill, FillOfLongSerpentineNeedsNoStack) {
    // Vertical one-pixel corridors joined alternately at the top and the bottom: the region
    // runs up and down the picture 500 times.
    const int w = 1000;
    const int h = 1000;
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(Qt::white);
    for (int x = 1; x < w; x += 2) {
        const bool openAtTop = (x / 2) % 2 == 1;
        for (int y = 0; y < h; ++y)
            if (!(openAtTop ? y == 0 : y == h - 1))
                im.setPixel(x, y, Black);
    }
    QImage ref = im.copy();
    tools()->fillModel()->fillRegion(&im, 0xff0000ffu, 0, 500);
    referenceFill(&ref, 0xff0000ffu, 0, 500);
    EXPECT_EQ(im, ref);
    EXPECT_EQ(im.pixel(w - 2, 0), 0xff0000ffu);
}

TEST_F(Fill, FillRegionIgnoresPositionsOutsideTheImage) {
    QImage im(10, 10, QImage::Format_RGB32);
    im.fill(Qt::white);
    const QImage before = im.copy();
    KV_FillModel* f = tools()->fillModel();
    f->fillRegion(&im, 0, -1, 0);
    f->fillRegion(&im, 0, 0, 10);
    f->fillRegion(nullptr, 0, 0, 0);
    QImage empty;
    f->fillRegion(&empty, 0, 0, 0);
    EXPECT_EQ(im, before);
}

TEST_F(Fill, FillRunsThroughTheGapsOfAGrid) {
    // One-pixel lines every 16 pixels with 3-pixel gaps: the fill must wind through the gaps in
    // both directions, up the picture as well as down.
    const int w = 480;
    const int h = 320;
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(Qt::white);
    for (int y = 8; y < h; y += 16)
        for (int x = 0; x < w; ++x)
            if (x % 64 >= 3)
                im.setPixel(x, y, Black);
    for (int x = 8; x < w; x += 16)
        for (int y = 0; y < h; ++y)
            if (y % 64 >= 35 || y % 64 < 32)
                im.setPixel(x, y, Black);
    for (const QPoint seed : {QPoint(1, 1), QPoint(w - 1, h - 1), QPoint(300, 170)}) {
        for (const unsigned value : {0xff0000ffu, unsigned(Black)}) {
            QImage ours = im.copy();
            QImage ref = im.copy();
            tools()->fillModel()->fillRegion(&ours, value, seed.x(), seed.y());
            referenceFill(&ref, value, seed.x(), seed.y());
            EXPECT_EQ(ours, ref) << seed.x() << "," << seed.y() << " value " << std::hex << value;
        }
    }
}
