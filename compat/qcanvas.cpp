#include "qcanvas.h"

#include <QPainter>

QCanvas::QCanvas(int w, int h) : size_(std::max(w, 0), std::max(h, 0)) {}

QCanvas::QCanvas(QObject* parent, const char* name) : QObject(parent) {
    if (name)
        setObjectName(QString::fromLatin1(name));
}

QCanvas::~QCanvas() {
    const auto views = viewList;
    for (QCanvasView* v : views)
        v->setCanvas(nullptr);
}

void QCanvas::resize(int w, int h) {
    const QSize s(std::max(w, 0), std::max(h, 0));
    if (s == size_)
        return;
    size_ = s;
    for (QCanvasView* v : std::as_const(viewList))
        v->canvasResized();
    setAllChanged();
    emit resized();
}

void QCanvas::setBackgroundPixmap(const QPixmap& pm) {
    livePixmap = nullptr;
    bgPixmap = pm;
    setAllChanged();
}

void QCanvas::setBackgroundPixmapRef(const QPixmap* pm) {
    if (!pm) {
        setBackgroundPixmap(QPixmap());
        return;
    }
    livePixmap = pm;
    bgPixmap = QPixmap();
    setAllChanged();
}

void QCanvas::releaseBackgroundPixmap(const QPixmap* pm) {
    if (pm && livePixmap == pm) {
        livePixmap = nullptr;
        bgPixmap = *pm;
    }
}

QPixmap QCanvas::backgroundPixmap() const {
    return livePixmap ? *livePixmap : bgPixmap;
}

const QPixmap& QCanvas::shownPixmap() const {
    return livePixmap ? *livePixmap : bgPixmap;
}

void QCanvas::setBackgroundColor(const QColor& c) {
    bgColor = c;
    setAllChanged();
}

void QCanvas::setAllChanged() {
    update();
}

void QCanvas::update() {
    for (QCanvasView* v : std::as_const(viewList))
        v->canvasChangedAll();
}

void QCanvas::setChanged(const QRect& r) {
    for (QCanvasView* v : std::as_const(viewList))
        v->canvasChanged(r);
}

void QCanvas::drawArea(const QRect& area, QPainter* p) {
    const QRect r = area & rect();
    if (r.isEmpty())
        return;
    p->save();
    p->setClipRect(r, Qt::IntersectClip);
    drawBackground(*p, r);
    p->restore();
}

void QCanvas::drawBackground(QPainter& p, const QRect& area) {
    const QPixmap& pm = shownPixmap();
    if (pm.isNull()) {
        p.fillRect(area, bgColor);
        return;
    }
    if (pm.width() >= size_.width() && pm.height() >= size_.height()) {
        p.drawPixmap(area.topLeft(), pm, area);
        return;
    }
    // Smaller than the canvas: tiled from the origin, as Qt 2 did.
    p.drawTiledPixmap(area, pm, QPoint(area.x() % pm.width(), area.y() % pm.height()));
}

void QCanvas::addView(QCanvasView* v) {
    if (!viewList.contains(v))
        viewList.append(v);
}

void QCanvas::removeView(QCanvasView* v) {
    viewList.removeAll(v);
}

QCanvasView::QCanvasView(QCanvas* canvas, QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QScrollView(parent, name, flags) {
    setCanvas(canvas);
}

// Only leaves the canvas's list of views: a view being destroyed lays nothing out, since the
// style that sizes its scroll bars may already be gone (a view that outlives the application).
QCanvasView::~QCanvasView() {
    if (viewing)
        viewing->removeView(this);
}

void QCanvasView::setCanvas(QCanvas* canvas) {
    if (viewing)
        viewing->removeView(this);
    viewing = canvas;
    if (viewing) {
        viewing->addView(this);
        resizeContents(viewing->width(), viewing->height());
    } else {
        resizeContents(0, 0);
    }
    viewport()->update();
}

void QCanvasView::canvasResized() {
    if (viewing)
        resizeContents(viewing->width(), viewing->height());
}

void QCanvasView::canvasChanged(const QRect& r) {
    scaled.changed(r);
    updateContents(r.x(), r.y(), r.width(), r.height());
}

void QCanvasView::canvasChangedAll() {
    scaled.changedAll();
    viewport()->update();
}

void QCanvasView::drawViewport(QPainter* p, const QRect& r) {
    if (scaleNum() == scaleDen()) {
        QScrollView::drawViewport(p, r);
        return;
    }
    const QRect canvasRect = viewing ? contentsToViewport(viewing->rect()) : QRect();
    const QRegion outside = QRegion(r) - QRegion(canvasRect);
    for (const QRect& o : outside)
        p->fillRect(o, palette().dark());
    if (!viewing || (r & canvasRect).isEmpty())
        return;
    const QPixmap& pm = viewing->shownPixmap();
    if (pm.isNull()) {
        p->fillRect(r & canvasRect, viewing->backgroundColor());
        return;
    }
    scaled.draw(p, pm, r & canvasRect, scrollPosition(), scaleNum(), scaleDen());
}

void QCanvasView::drawContents(QPainter* p, int cx, int cy, int cw, int ch) {
    const QRect area(cx, cy, cw, ch);
    // Beside the canvas: the view's dark background, as in Qt 2.
    const QRect canvasRect = viewing ? viewing->rect() : QRect();
    const QRegion outside = QRegion(area) - QRegion(canvasRect);
    if (!outside.isEmpty()) {
        for (const QRect& r : outside)
            p->fillRect(r, palette().dark());
    }
    if (viewing)
        viewing->drawArea(area & canvasRect, p);
}
