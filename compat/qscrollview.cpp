#include "qscrollview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

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

int QScrollView::contentsX() const {
    return horizontalScrollBar()->value();
}
int QScrollView::contentsY() const {
    return verticalScrollBar()->value();
}

void QScrollView::setContentsPos(int x, int y) {
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
}

int QScrollView::visibleWidth() const {
    return viewport()->width();
}
int QScrollView::visibleHeight() const {
    return viewport()->height();
}

QPoint QScrollView::viewportToContents(const QPoint& vp) const {
    return vp + QPoint(contentsX(), contentsY());
}

QPoint QScrollView::contentsToViewport(const QPoint& cp) const {
    return cp - QPoint(contentsX(), contentsY());
}

void QScrollView::updateContents(int x, int y, int w, int h) {
    viewport()->update(QRect(contentsToViewport(QPoint(x, y)), QSize(w, h)));
}

void QScrollView::updateContents() {
    viewport()->update();
}

void QScrollView::setViewSizeLimit(const QSize& size) {
    sizeLimit = size;
    updateGeometry();
}

QSize QScrollView::sizeHint() const {
    const int f = 2 * frameWidth();
    QSize hint(contentsW, contentsH);
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

void QScrollView::viewportPaintEvent(QPaintEvent* e) {
    QPainter p(viewport());
    p.setClipRegion(e->region());
    const QRect r = e->rect().translated(contentsX(), contentsY());
    p.translate(-contentsX(), -contentsY());
    drawContents(&p, r.x(), r.y(), r.width(), r.height());
}

void QScrollView::drawContents(QPainter*, int, int, int, int) {}

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
        const QPointF cp = me->position() + QPointF(contentsX(), contentsY());
        QMouseEvent ce(me->type(), cp, me->scenePosition(), me->globalPosition(), me->button(),
                       me->buttons(), me->modifiers(), me->pointingDevice());
        ce.setTimestamp(me->timestamp());
        ce.accept();
        switch (e->type()) {
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
        e->setAccepted(ce.isAccepted());
        return true;
    }
    default:
        return QAbstractScrollArea::viewportEvent(e);
    }
}

void QScrollView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void QScrollView::scrollContentsBy(int, int) {
    viewport()->update();
}

void QScrollView::updateScrollBars() {
    // Scroll bar sizes come from the application's style: without an application (a view kept
    // past its end) there is nothing to lay out.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    // The ranges follow the largest viewport the area can have, not the viewport's current
    // size: a subclass may shrink the viewport below that (Qt 2's QScrollView did the same).
    const QSize max = maximumViewportSize();
    const int sbw = verticalScrollBar()->sizeHint().width();
    const int sbh = horizontalScrollBar()->sizeHint().height();
    bool needH = hMode == AlwaysOn || (hMode == Auto && contentsW > max.width());
    bool needV = vMode == AlwaysOn || (vMode == Auto && contentsH > max.height());
    if (hMode == Auto && !needH && needV && contentsW > max.width() - sbw)
        needH = true;
    if (vMode == Auto && !needV && needH && contentsH > max.height() - sbh)
        needV = true;
    const int visW = std::max(0, max.width() - (needV && vMode != AlwaysOff ? sbw : 0));
    const int visH = std::max(0, max.height() - (needH && hMode != AlwaysOff ? sbh : 0));
    horizontalScrollBar()->setRange(0, std::max(0, contentsW - visW));
    horizontalScrollBar()->setPageStep(std::max(1, visW));
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, contentsH - visH));
    verticalScrollBar()->setPageStep(std::max(1, visH));
    verticalScrollBar()->setSingleStep(20);
}
