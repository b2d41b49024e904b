#include "qscrollview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

Qt::ScrollBarPolicy policyOf(QScrollView::ScrollBarMode mode) {
    switch (mode) {
    case QScrollView::AlwaysOff:
        return Qt::ScrollBarAlwaysOff;
    case QScrollView::AlwaysOn:
        return Qt::ScrollBarAlwaysOn;
    case QScrollView::Auto:
        break;
    }
    return Qt::ScrollBarAsNeeded;
}

// a / b rounded down and up, for b > 0.
qint64 floorDiv(qint64 a, qint64 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
qint64 ceilDiv(qint64 a, qint64 b) {
    return -floorDiv(-a, b);
}

// How often the view scrolls on while a drag stays beyond its edge.
constexpr int AutoScrollMs = 40;
// Wheel scrolling: viewport pixels per notch (120 eighths of a degree).
constexpr int WheelPixelsPerNotch = 60;

} // namespace

QScrollView::QScrollView(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QAbstractScrollArea(parent) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    if (flags)
        setWindowFlags(flags);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The viewport paints every pixel itself (contents plus the area beside them).
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    autoScroll.setInterval(AutoScrollMs);
    connect(&autoScroll, &QTimer::timeout, this, &QScrollView::autoScrollStep);
    updateScrollBars();
}

QScrollView::~QScrollView() = default;

void QScrollView::setVScrollBarMode(ScrollBarMode mode) {
    vMode = mode;
    setVerticalScrollBarPolicy(policyOf(mode));
    updateScrollBars();
}

void QScrollView::setHScrollBarMode(ScrollBarMode mode) {
    hMode = mode;
    setHorizontalScrollBarPolicy(policyOf(mode));
    updateScrollBars();
}

void QScrollView::resizeContents(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == contentsW && h == contentsH)
        return;
    contentsW = w;
    contentsH = h;
    updateScrollBars();
    viewport()->update();
}

QSize QScrollView::scaledContentsSize() const {
    return QSize(int(ceilDiv(qint64(contentsW) * numerator, denominator)),
                 int(ceilDiv(qint64(contentsH) * numerator, denominator)));
}

void QScrollView::setScale(int num, int den) {
    setScale(num, den, viewport()->rect().center());
}

void QScrollView::setScale(int num, int den, const QPoint& anchor) {
    if (num <= 0 || den <= 0 || (num == numerator && den == denominator))
        return;
    // The contents point under the anchor, with its fraction, stays under the anchor.
    const QPointF s = scrollPosition();
    const double cx = (anchor.x() + s.x()) * denominator / numerator;
    const double cy = (anchor.y() + s.y()) * denominator / numerator;
    numerator = num;
    denominator = den;
    updateScrollBars();
    setScrollPosition(QPoint(int(std::lround(cx * num / den - anchor.x())),
                             int(std::lround(cy * num / den - anchor.y()))));
    viewport()->update();
}

QPoint QScrollView::scrollPosition() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void QScrollView::setScrollPosition(const QPoint& p) {
    horizontalScrollBar()->setValue(p.x());
    verticalScrollBar()->setValue(p.y());
}

int QScrollView::contentsX() const {
    return int(floorDiv(qint64(horizontalScrollBar()->value()) * denominator, numerator));
}
int QScrollView::contentsY() const {
    return int(floorDiv(qint64(verticalScrollBar()->value()) * denominator, numerator));
}

void QScrollView::setContentsPos(int x, int y) {
    setScrollPosition(QPoint(int(floorDiv(qint64(x) * numerator, denominator)),
                             int(floorDiv(qint64(y) * numerator, denominator))));
}

int QScrollView::visibleWidth() const {
    return viewport()->width();
}
int QScrollView::visibleHeight() const {
    return viewport()->height();
}

QPoint QScrollView::viewportToContents(const QPoint& vp) const {
    const QPoint s = scrollPosition();
    return QPoint(int(floorDiv((qint64(vp.x()) + s.x()) * denominator, numerator)),
                  int(floorDiv((qint64(vp.y()) + s.y()) * denominator, numerator)));
}

QPointF QScrollView::viewportToContents(const QPointF& vp) const {
    // Whole contents pixels: anywhere inside an enlarged pixel is that pixel.
    const QPoint s = scrollPosition();
    return QPointF(std::floor((vp.x() + s.x()) * denominator / numerator),
                   std::floor((vp.y() + s.y()) * denominator / numerator));
}

QPoint QScrollView::contentsToViewport(const QPoint& cp) const {
    return QPoint(int(floorDiv(qint64(cp.x()) * numerator, denominator)),
                  int(floorDiv(qint64(cp.y()) * numerator, denominator))) -
           scrollPosition();
}

QRect QScrollView::contentsToViewport(const QRect& r) const {
    const QPoint s = scrollPosition();
    const qint64 left = floorDiv(qint64(r.x()) * numerator, denominator);
    const qint64 top = floorDiv(qint64(r.y()) * numerator, denominator);
    const qint64 right = ceilDiv((qint64(r.x()) + r.width()) * numerator, denominator);
    const qint64 bottom = ceilDiv((qint64(r.y()) + r.height()) * numerator, denominator);
    return QRect(int(left - s.x()), int(top - s.y()), int(right - left), int(bottom - top));
}

void QScrollView::updateContents(int x, int y, int w, int h) {
    viewport()->update(contentsToViewport(QRect(x, y, w, h)));
}

void QScrollView::updateContents() {
    viewport()->update();
}

void QScrollView::setPanMode(bool on) {
    panModeOn = on;
    if (!panning)
        viewport()->setCursor(on ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void QScrollView::setViewSizeLimit(const QSize& size) {
    sizeLimit = size;
    updateGeometry();
}

QSize QScrollView::sizeHint() const {
    const int f = 2 * frameWidth();
    QSize hint = scaledContentsSize();
    if (sizeLimit.isValid())
        hint = hint.boundedTo(sizeLimit);
    return hint + QSize(f, f);
}

void QScrollView::contentsMousePressEvent(QMouseEvent* e) {
    e->ignore();
}
void QScrollView::contentsMouseReleaseEvent(QMouseEvent* e) {
    e->ignore();
}
void QScrollView::contentsMouseDoubleClickEvent(QMouseEvent* e) {
    e->ignore();
}
void QScrollView::contentsMouseMoveEvent(QMouseEvent* e) {
    e->ignore();
}

void QScrollView::wheelZoom(int, const QPoint&) {}

void QScrollView::viewportPaintEvent(QPaintEvent* e) {
    QPainter p(viewport());
    p.setClipRegion(e->region());
    for (const QRect& r : e->region())
        drawViewport(&p, r);
}

void QScrollView::drawViewport(QPainter* p, const QRect& r) {
    p->save();
    p->translate(-scrollPosition());
    const QRect shown = r.translated(scrollPosition());
    if (numerator == denominator) {
        drawContents(p, shown.x(), shown.y(), shown.width(), shown.height());
    } else {
        p->scale(double(numerator) / denominator, double(numerator) / denominator);
        const int x0 = int(floorDiv(qint64(shown.left()) * denominator, numerator));
        const int y0 = int(floorDiv(qint64(shown.top()) * denominator, numerator));
        const int x1 = int(ceilDiv((qint64(shown.right()) + 1) * denominator, numerator));
        const int y1 = int(ceilDiv((qint64(shown.bottom()) + 1) * denominator, numerator));
        drawContents(p, x0, y0, x1 - x0, y1 - y0);
    }
    p->restore();
}

void QScrollView::drawContents(QPainter*, int, int, int, int) {}

bool QScrollView::panEvent(QMouseEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (panning)
            return true; // other buttons wait for the pan to end
        if (e->button() != Qt::MiddleButton && !(panModeOn && e->button() == Qt::LeftButton))
            return false;
        panning = true;
        panButton = e->button();
        panLast = e->globalPosition().toPoint();
        // Out of the pan mode, the arrow follows; a middle-button drag gives back what it found.
        cursorBeforePan = panModeOn ? QCursor(Qt::ArrowCursor) : viewport()->cursor();
        viewport()->setCursor(Qt::ClosedHandCursor);
        return true;
    case QEvent::MouseMove:
        if (!panning)
            return false;
        {
            const QPoint now = e->globalPosition().toPoint();
            setScrollPosition(scrollPosition() - (now - panLast));
            panLast = now;
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (!panning)
            return false;
        if (e->button() == panButton) {
            panning = false;
            if (panModeOn)
                viewport()->setCursor(Qt::OpenHandCursor);
            else
                viewport()->setCursor(cursorBeforePan);
        }
        return true;
    default:
        return false;
    }
}

void QScrollView::deliver(QEvent::Type type, QMouseEvent* me) {
    const QPointF cp = viewportToContents(me->position());
    QMouseEvent ce(type, cp, me->scenePosition(), me->globalPosition(), me->button(), me->buttons(),
                   me->modifiers(), me->pointingDevice());
    ce.setTimestamp(me->timestamp());
    ce.accept();
    switch (type) {
    case QEvent::MouseButtonPress:
        contentsMousePressEvent(&ce);
        break;
    case QEvent::MouseButtonRelease:
        contentsMouseReleaseEvent(&ce);
        break;
    case QEvent::MouseButtonDblClick:
        contentsMouseDoubleClickEvent(&ce);
        break;
    default:
        contentsMouseMoveEvent(&ce);
        break;
    }
    me->setAccepted(ce.isAccepted());
    // A drag the contents took follows the pen beyond the viewport's edge.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        dragging = ce.isAccepted();
    } else if (type == QEvent::MouseButtonRelease && me->buttons() == Qt::NoButton) {
        dragging = false;
        autoScroll.stop();
    }
    if (type == QEvent::MouseMove && dragging) {
        dragPos = me->position();
        dragGlobal = me->globalPosition();
        dragButtons = me->buttons();
        dragModifiers = me->modifiers();
        dragDevice = me->pointingDevice();
    }
}

bool QScrollView::scrollTowards(const QPoint& pos, int limit) {
    const QRect inside = viewport()->rect();
    int dx = pos.x() < inside.left() ? pos.x() - inside.left()
                                     : (pos.x() > inside.right() ? pos.x() - inside.right() : 0);
    int dy = pos.y() < inside.top() ? pos.y() - inside.top()
                                    : (pos.y() > inside.bottom() ? pos.y() - inside.bottom() : 0);
    dx = std::clamp(dx, -limit, limit);
    dy = std::clamp(dy, -limit, limit);
    const QPoint before = scrollPosition();
    setScrollPosition(before + QPoint(dx, dy));
    return scrollPosition() != before;
}

void QScrollView::autoScrollStep() {
    const QPoint pos = dragPos.toPoint();
    const QRect inside = viewport()->rect();
    if (!dragging || dragButtons == Qt::NoButton || inside.contains(pos)) {
        autoScroll.stop();
        return;
    }
    // Faster the farther the pen is out.
    const int out = std::max({inside.left() - pos.x(), pos.x() - inside.right(),
                              inside.top() - pos.y(), pos.y() - inside.bottom()});
    if (!scrollTowards(pos, std::clamp(out / 2, 4, 64)))
        return;
    // The pen lies over other contents now: the contents get it as a move.
    QMouseEvent move(QEvent::MouseMove, dragPos, dragPos, dragGlobal, Qt::NoButton, dragButtons,
                     dragModifiers,
                     dragDevice ? dragDevice : QPointingDevice::primaryPointingDevice());
    deliver(QEvent::MouseMove, &move);
}

bool QScrollView::viewportEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::Paint:
        viewportPaintEvent(static_cast<QPaintEvent*>(e));
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (panEvent(me)) {
            me->accept();
            return true;
        }
        deliver(e->type(), me);
        // A pen that leaves the viewport while drawing: the view follows it at once, and on
        // while it stays out.
        if (e->type() == QEvent::MouseMove && dragging) {
            if (viewport()->rect().contains(me->position().toPoint())) {
                autoScroll.stop();
            } else {
                scrollTowards(me->position().toPoint(), std::numeric_limits<int>::max() / 4);
                autoScroll.start();
            }
        }
        return true;
    }
    default:
        return QAbstractScrollArea::viewportEvent(e);
    }
}

void QScrollView::wheelEvent(QWheelEvent* e) {
    if (e->modifiers().testFlag(Qt::ControlModifier)) {
        wheelZoom(e->angleDelta().y(), e->position().toPoint());
        e->accept();
        return;
    }
    QPoint d =
        e->pixelDelta().isNull() ? e->angleDelta() * WheelPixelsPerNotch / 120 : e->pixelDelta();
    // Shift turns the wheel sideways where the platform has not done so itself.
    if (e->modifiers().testFlag(Qt::ShiftModifier) && d.x() == 0)
        d = QPoint(d.y(), 0);
    setScrollPosition(scrollPosition() - d);
    e->accept();
}

void QScrollView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void QScrollView::scrollContentsBy(int dx, int dy) {
    // What stays in view moves; only what comes into view is painted.
    viewport()->scroll(dx, dy);
}

void QScrollView::updateScrollBars() {
    // Scroll bar sizes come from the application's style: without an application (a view kept
    // past its end) there is nothing to lay out.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    // The ranges follow the largest viewport the area can have, not the viewport's current
    // size: a subclass may shrink the viewport below that (Qt 2's QScrollView did the same).
    const QSize max = maximumViewportSize();
    const QSize shown = scaledContentsSize();
    const int sbw = verticalScrollBar()->sizeHint().width();
    const int sbh = horizontalScrollBar()->sizeHint().height();
    bool needH = hMode == AlwaysOn || (hMode == Auto && shown.width() > max.width());
    bool needV = vMode == AlwaysOn || (vMode == Auto && shown.height() > max.height());
    if (hMode == Auto && !needH && needV && shown.width() > max.width() - sbw)
        needH = true;
    if (vMode == Auto && !needV && needH && shown.height() > max.height() - sbh)
        needV = true;
    const int visW = std::max(0, max.width() - (needV && vMode != AlwaysOff ? sbw : 0));
    const int visH = std::max(0, max.height() - (needH && hMode != AlwaysOff ? sbh : 0));
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - visW));
    horizontalScrollBar()->setPageStep(std::max(1, visW));
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - visH));
    verticalScrollBar()->setPageStep(std::max(1, visH));
    verticalScrollBar()->setSingleStep(20);
}
