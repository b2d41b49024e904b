// Qt 2's QScrollView on Qt 6: a scroll area that shows a contents area 1:1 through its viewport
// and delivers pen events in contents coordinates. Built on QAbstractScrollArea.
#ifndef KV_COMPAT_QSCROLLVIEW_H
#define KV_COMPAT_QSCROLLVIEW_H

#include <QAbstractScrollArea>

class QMouseEvent;
class QPainter;

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

    // The size of the contents area; scroll ranges follow it.
    void resizeContents(int w, int h);
    int contentsWidth() const { return contentsW; }
    int contentsHeight() const { return contentsH; }

    // Contents coordinates of the viewport's top left corner.
    int contentsX() const;
    int contentsY() const;
    void setContentsPos(int x, int y);
    // What part of the contents the viewport shows.
    int visibleWidth() const;
    int visibleHeight() const;

    QPoint viewportToContents(const QPoint& vp) const;
    QPoint contentsToViewport(const QPoint& cp) const;

    // Repaints the given contents rectangle (in contents coordinates).
    void updateContents(int x, int y, int w, int h);
    void updateContents();

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

    // Paints the viewport; the default clips to the event region and calls drawContents with a
    // painter whose coordinates are contents coordinates.
    virtual void viewportPaintEvent(QPaintEvent* e);
    // Draws the contents rectangle (cx, cy, cw, ch); the default draws nothing.
    virtual void drawContents(QPainter* p, int cx, int cy, int cw, int ch);

    bool viewportEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();

    ScrollBarMode vMode = Auto;
    ScrollBarMode hMode = Auto;
    int contentsW = 0;
    int contentsH = 0;
    QSize sizeLimit;
};

#endif
