// Shared fixture of the canvas tests: a shown document on its canvas, helpers that drive it with
// the pen (QTest mouse events on its viewport) and read the picture pixel by pixel.
#ifndef CANVAS_FIXTURE_H
#define CANVAS_FIXTURE_H

#include "kv_fillmodel.h"
#include "kv_pencilmodel.h"
#include "kv_shapesmodel.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointingDevice>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

constexpr QRgb White = 0xffffffffu;
constexpr QRgb Black = 0xff000000u;

// The image as a file of the format would hold it ("jpeg", "png", ...).
inline QByteArray encodedPicture(const QImage& image, const char* format,
                                 bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

class CanvasTest : public ::testing::Test {
public:
    void SetUp() override {
        canvas = std::make_unique<QCanvas>();
        doc = std::make_unique<KVQ_ImageDocument>(canvas.get(), nullptr, "document");
        doc->resize(480, 260);
        doc->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(doc.get()));
        QApplication::processEvents();
    }
    void TearDown() override {
        doc.reset();
        canvas.reset();
    }

    KV_ToolsController* tools() { return doc->toolsController(); }
    QWidget* vp() { return doc->viewport(); }
    QImage picture() { return doc->pmScaled()->toImage(); }
    QRgb px(int x, int y) { return picture().pixel(x, y); }
    bool black(int x, int y) { return px(x, y) == Black; }
    bool white(int x, int y) { return px(x, y) == White; }

    // The picture shown by the canvas (the picture itself or a preview).
    QImage shown() { return canvas->backgroundPixmap().toImage(); }

    // Pixels that are not white, and the box around them.
    static int countNonWhite(const QImage& im) {
        int n = 0;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                n += im.pixel(x, y) != White;
        return n;
    }
    static QRect nonWhiteBoxOf(const QImage& im) { return nonWhiteBox(im); }
    static QRect nonWhiteBox(const QImage& im) {
        QRect box;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                if (im.pixel(x, y) != White)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    // Every pixel pure white or pure black: nothing anti-aliased.
    static bool onlyBlackAndWhite(const QImage& im) {
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x) {
                const QRgb p = im.pixel(x, y);
                if (p != White && p != Black)
                    return false;
            }
        return true;
    }

    // Pen events through the document's viewport, as a user gives them, with the keyboard's
    // modifiers held.
    void press(QPoint p) { QTest::mousePress(vp(), Qt::LeftButton, held, p); }
    void release(QPoint p) { QTest::mouseRelease(vp(), Qt::LeftButton, held, p); }
    void move(QPoint p) {
        // A move with the button held (QTest::mouseMove would carry no button state for a
        // widget that does not track the mouse).
        QMouseEvent e(QEvent::MouseMove, QPointF(p), vp()->mapTo(vp()->window(), QPointF(p)),
                      vp()->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton, held,
                      QPointingDevice::primaryPointingDevice());
        QApplication::sendEvent(vp(), &e);
    }
    void drag(QPoint from, QPoint to, int steps = 4) {
        press(from);
        for (int i = 1; i <= steps; ++i)
            move(from + (to - from) * i / steps);
        release(to);
    }
    void click(QPoint p) {
        press(p);
        release(p);
    }

    // Direct calls with a synthetic event, bypassing the widget.
    static QMouseEvent event(QEvent::Type type, QPoint p) {
        return QMouseEvent(type, QPointF(p), QPointF(p), QPointF(p), Qt::LeftButton,
                           type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                           Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    }

    void useTool(int tool) { doc->setToolAttribute(AttrTool, tool); }
    void usePencil(int pencilTool) {
        doc->setToolAttribute(AttrTool, ToolPencil);
        doc->setToolAttribute(AttrPencilTool, pencilTool);
    }

    std::unique_ptr<QCanvas> canvas;
    std::unique_ptr<KVQ_ImageDocument> doc;
    Qt::KeyboardModifiers held; // what the pen events carry
};

#endif
