// Qt 2's QCanvas and QCanvasView on Qt 6, reduced to what a picture view needs: a canvas with a
// size, a background colour and a background pixmap (tiled from the top left corner), and a
// scroll view that shows it, so that contents coordinates are canvas pixels. Beyond Qt 2 the view
// shows the canvas at its scroll view's scale, enlarged pixel by pixel or reduced smoothly.
#ifndef KV_COMPAT_QCANVAS_H
#define KV_COMPAT_QCANVAS_H

#include "kv_scaledpicture.h"
#include "qscrollview.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QSize>

class QCanvasView;
class QPainter;

class QCanvas : public QObject {
    Q_OBJECT
public:
    QCanvas(int w = 0, int h = 0);
    QCanvas(QObject* parent, const char* name = nullptr);
    ~QCanvas() override;

    void resize(int w, int h);
    int width() const { return size_.width(); }
    int height() const { return size_.height(); }
    QSize size() const { return size_; }
    QRect rect() const { return QRect(QPoint(0, 0), size_); }
    bool onCanvas(int x, int y) const { return rect().contains(x, y); }

    // The background pixmap, kept as a copy (Qt's implicit sharing makes that cheap, except that
    // Qt 6 copies every pixel of a pixmap that is being painted on at the time).
    void setBackgroundPixmap(const QPixmap& pm);
    // The background pixmap shown by reference, without any copy, also while it is being painted
    // on (Qt 2 shared such a pixmap; Qt 6 would copy it whole on every call). The caller keeps
    // the pixmap alive until it sets another background or calls releaseBackgroundPixmap.
    void setBackgroundPixmapRef(const QPixmap* pm);
    // If `pm` is the pixmap shown by reference, the canvas takes a copy of it instead.
    void releaseBackgroundPixmap(const QPixmap* pm);
    QPixmap backgroundPixmap() const;
    // The pixmap shown, without copying it (null pixmap when there is none).
    const QPixmap& shownPixmap() const;

    void setBackgroundColor(const QColor& c);
    QColor backgroundColor() const { return bgColor; }

    // Schedules a repaint of every view.
    void setAllChanged();
    void update();
    void setChanged(const QRect& r);

    // Draws the canvas area `area` (canvas coordinates) on the painter.
    virtual void drawArea(const QRect& area, QPainter* p);
    virtual void drawBackground(QPainter& p, const QRect& area);

    QList<QCanvasView*> views() const { return viewList; }

signals:
    void resized();

private:
    friend class QCanvasView;
    void addView(QCanvasView* v);
    void removeView(QCanvasView* v);

    QSize size_;
    QColor bgColor = Qt::white;
    QPixmap bgPixmap;                    // owned (shared) copy
    const QPixmap* livePixmap = nullptr; // shown by reference (setBackgroundPixmapRef)
    QList<QCanvasView*> viewList;
};

class QCanvasView : public QScrollView {
    Q_OBJECT
public:
    explicit QCanvasView(QCanvas* canvas = nullptr, QWidget* parent = nullptr,
                         const char* name = nullptr, Qt::WindowFlags flags = {});
    ~QCanvasView() override;

    QCanvas* canvas() const { return viewing; }
    void setCanvas(QCanvas* canvas);

protected:
    void drawContents(QPainter* p, int cx, int cy, int cw, int ch) override;
    // At any scale but 1:1 the canvas's pixmap is drawn scaled, the area beside it dark.
    void drawViewport(QPainter* p, const QRect& r) override;

private:
    friend class QCanvas;
    void canvasResized();
    void canvasChanged(const QRect& r);
    void canvasChangedAll();

    QCanvas* viewing = nullptr;
    KV_ScaledPicture scaled;
};

#endif
