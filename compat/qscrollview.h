// Qt 2's QScrollView on Qt 6: a scroll area that shows a contents area through its viewport and
// delivers pen events in contents coordinates. Built on QAbstractScrollArea.
//
// Beyond Qt 2 it shows the contents at a scale num/den (one contents pixel is num/den viewport
// pixels): a pen position is mapped to the contents pixel under it exactly (the floor of the
// position over the scale, so anywhere inside an enlarged pixel hits that pixel). The scroll
// bars count viewport pixels. The wheel scrolls (with Shift, sideways), a middle-button drag or,
// in pan mode, a left-button drag moves the view, and a drag that leaves the viewport scrolls it
// along.
#ifndef KV_COMPAT_QSCROLLVIEW_H
#define KV_COMPAT_QSCROLLVIEW_H

#include <QAbstractScrollArea>
#include <QCursor>
#include <QEvent>
#include <QTimer>

class QMouseEvent;
class QPointingDevice;
class QPainter;
class QWheelEvent;

class QScrollView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum ScrollBarMode { Auto, AlwaysOff, AlwaysOn };

    // Qt 2 passed a name and widget flags; the name becomes the object name.
    explicit QScrollView(QWidget* parent = nullptr, const char* name = nullptr,
                         Qt::WindowFlags flags = {});
    ~QScrollView() override;

    void setVScrollBarMode(ScrollBarMode mode);
    ScrollBarMode vScrollBarMode() const { return vMode; }
    void setHScrollBarMode(ScrollBarMode mode);
    ScrollBarMode hScrollBarMode() const { return hMode; }

    // The size of the contents area, in contents pixels; scroll ranges follow it.
    void resizeContents(int w, int h);
    int contentsWidth() const { return contentsW; }
    int contentsHeight() const { return contentsH; }

    // The scale: one contents pixel is shown as num/den viewport pixels. The contents point
    // under `anchor` (viewport coordinates) stays where it is.
    void setScale(int num, int den, const QPoint& anchor);
    void setScale(int num, int den);
    int scaleNum() const { return numerator; }
    int scaleDen() const { return denominator; }

    // Contents coordinates of the viewport's top left corner.
    int contentsX() const;
    int contentsY() const;
    void setContentsPos(int x, int y);
    // The scroll position in viewport pixels (the scroll bars' values).
    QPoint scrollPosition() const;
    void setScrollPosition(const QPoint& p);
    // What part of the viewport shows the contents, in viewport pixels.
    int visibleWidth() const;
    int visibleHeight() const;

    // The contents pixel under a viewport position, and the viewport position of a contents
    // pixel's top left corner.
    QPoint viewportToContents(const QPoint& vp) const;
    QPointF viewportToContents(const QPointF& vp) const;
    QPoint contentsToViewport(const QPoint& cp) const;
    // The viewport pixels that show the contents rectangle r.
    QRect contentsToViewport(const QRect& r) const;

    // Repaints the given contents rectangle (in contents coordinates).
    void updateContents(int x, int y, int w, int h);
    void updateContents();

    // In pan mode a left-button drag moves the view instead of reaching the contents.
    void setPanMode(bool on);
    bool panMode() const { return panModeOn; }
    bool isPanning() const { return panning; }

    // The largest size the view asks for: its size hint is the contents' size (plus the
    // frame), up to this size when it is valid. Unset (invalid) by default.
    void setViewSizeLimit(const QSize& size);
    QSize viewSizeLimit() const { return sizeLimit; }
    QSize sizeHint() const override;

protected:
    // Pen events on the viewport, with positions in contents coordinates. The defaults ignore
    // the event.
    virtual void contentsMousePressEvent(QMouseEvent* e);
    virtual void contentsMouseReleaseEvent(QMouseEvent* e);
    virtual void contentsMouseDoubleClickEvent(QMouseEvent* e);
    virtual void contentsMouseMoveEvent(QMouseEvent* e);
    // The wheel with Control held turned by `delta` (in eighths of a degree, 120 a notch) over
    // a viewport position. The default does nothing.
    virtual void wheelZoom(int delta, const QPoint& viewportPos);

    // Paints the viewport; the default clips to the event region and calls drawViewport for
    // each of its rectangles.
    virtual void viewportPaintEvent(QPaintEvent* e);
    // Draws the viewport rectangle r; the default calls drawContents with a painter whose
    // coordinates are contents coordinates (scaled when the scale is not 1:1).
    virtual void drawViewport(QPainter* p, const QRect& r);
    // Draws the contents rectangle (cx, cy, cw, ch); the default draws nothing.
    virtual void drawContents(QPainter* p, int cx, int cy, int cw, int ch);

    bool viewportEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void updateScrollBars();
    // The size of the contents in viewport pixels.
    QSize scaledContentsSize() const;
    bool panEvent(QMouseEvent* e);
    void deliver(QEvent::Type type, QMouseEvent* me);
    // A drag past the viewport's edge: scrolls towards the pen by at most `limit` pixels.
    bool scrollTowards(const QPoint& viewportPos, int limit);
    void autoScrollStep();

    ScrollBarMode vMode = Auto;
    ScrollBarMode hMode = Auto;
    int contentsW = 0;
    int contentsH = 0;
    int numerator = 1;
    int denominator = 1;
    QSize sizeLimit;
    bool panModeOn = false;
    bool panning = false;
    Qt::MouseButton panButton = Qt::NoButton;
    QPoint panLast;
    // The pointer a drag that moves the view gives back when it ends out of the pan mode.
    QCursor cursorBeforePan;
    // A drag that reaches the contents: where the pen last was, for the auto-scroll.
    bool dragging = false;
    QPointF dragPos;
    QPointF dragGlobal;
    Qt::MouseButtons dragButtons;
    Qt::KeyboardModifiers dragModifiers;
    const QPointingDevice* dragDevice = nullptr;
    QTimer autoScroll;
};

#endif
