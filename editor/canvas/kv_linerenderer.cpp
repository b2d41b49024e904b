#include "kv_linerenderer.h"

#include "kv_qt2paint.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QPainter>

#include <cmath>

namespace {

int truncate(double v) {
    return static_cast<int>(v);
} // towards zero

QPoint midpoint(QPoint a, QPoint b) {
    return QPoint((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
}

} // namespace

KV_LineRenderer::KV_LineRenderer(KV_ToolsController* c) : controller(c) {}

KVQ_ImageDocument* KV_LineRenderer::document() const {
    return controller ? controller->document() : nullptr;
}

double KV_LineRenderer::slope(QPoint a, QPoint b) {
    if (a.x() == b.x())
        return -SlopeLimit;
    double m = double(b.y() - a.y()) / double(b.x() - a.x());
    if (m > SlopeLimit)
        m = SlopeLimit;
    if (m < -SlopeLimit)
        m = -SlopeLimit;
    return -m;
}

double KV_LineRenderer::getSlope(double* s) {
    if (*s >= SlopeLimit) {
        *s = -SlopeLimit;
        return -1.0;
    }
    if (*s <= -SlopeLimit)
        return -1.0;
    if (*s == 1.0)
        return SlopeLimit;
    double r = (*s + 1.0) / (1.0 - *s);
    if (r >= SlopeLimit)
        r = SlopeLimit;
    if (r <= -SlopeLimit)
        r = -SlopeLimit;
    return r;
}

double KV_LineRenderer::distancePoints(QPoint a, QPoint b) {
    const qint64 dx = qint64(b.x()) - a.x();
    const qint64 dy = qint64(b.y()) - a.y();
    return std::sqrt(double(dx * dx + dy * dy));
}

QPoint KV_LineRenderer::getArrowPoint(double m, QPoint p, int len, QPoint target) {
    QPoint c[2];
    getArrowEdgePoint(m, p, len, c);
    return distancePoints(c[0], target) < distancePoints(c[1], target) ? c[0] : c[1];
}

void KV_LineRenderer::getArrowEdgePoint(double m, QPoint p, int len, QPoint* out) {
    const double h = len / std::sqrt(m * m + 1.0);
    const int dx = truncate(h);
    const int dy1 = truncate(h * m);
    const int dy2 = truncate(-h * m);
    out[0] = QPoint(p.x() + dx, p.y() + dy1);
    out[1] = QPoint(p.x() - dx, p.y() + dy2);
}

void KV_LineRenderer::getPoints(QPoint* out, QPoint a, QPoint base, QPoint pointer) {
    const double lineDir = slope(a, base);
    const double pointerDir = slope(base, pointer);
    double x = lineDir;
    double r = 0.0;
    bool found = false;
    for (int i = 0; i < RotationSteps; ++i) {
        r = getSlope(&x);
        if (r >= pointerDir && x <= pointerDir) {
            found = true;
            break;
        }
        x = r;
    }
    double c;
    if (!found) {
        c = SlopeLimit;
    } else if (r == -SlopeLimit && pointerDir < -SnapThreshold) {
        c = r;
    } else if (r == SlopeLimit && pointerDir > SnapThreshold) {
        c = r;
    } else if (x == -SlopeLimit && pointerDir < -SnapThreshold) {
        c = x;
    } else if (x == SlopeLimit && pointerDir > SnapThreshold) {
        c = x;
    } else {
        c = std::fabs(r - pointerDir) < std::fabs(x - pointerDir) ? r : x;
    }
    out[0] = getArrowPoint(-c, base, ArrowLength, pointer);
    double d = getSlope(&c);
    const double e = getSlope(&d);
    getArrowEdgePoint(-e, base, HeadHalfWidth, out + 1);
}

void KV_LineRenderer::spokes(QPainter* painter, QPoint tip, QPoint b, QPoint c, bool middle) {
    const QPoint m = midpoint(b, c);
    const QPoint qb = midpoint(b, m);
    const QPoint qc = midpoint(c, m);
    painter->drawLine(tip, qb);
    painter->drawLine(tip, qc);
    if (middle)
        painter->drawLine(tip, m);
    painter->drawLine(tip, midpoint(b, qb));
    painter->drawLine(tip, midpoint(c, qc));
    painter->drawLine(tip, midpoint(m, qb));
    painter->drawLine(tip, midpoint(m, qc));
}

void KV_LineRenderer::drawArrow(QPainter* painter, QPoint from, QPoint to) {
    double s = slope(from, to);
    double r = getSlope(&s);
    const double perpendicular = getSlope(&r);
    const QPoint base = getArrowPoint(-slope(from, to), to, ArrowLength, from);
    QPoint e[2];
    getArrowEdgePoint(-perpendicular, base, HeadHalfWidth, e);
    setSolidPen(painter);
    painter->drawLine(to, e[0]);
    painter->drawLine(to, e[1]);
    painter->drawLine(e[0], e[1]);
    spokes(painter, to, e[0], e[1], false);
}

void KV_LineRenderer::outlineTriangle(QPainter* painter, const QPoint* t) {
    painter->drawLine(t[0], t[1]);
    painter->drawLine(t[1], t[2]);
    painter->drawLine(t[2], t[0]);
}

void KV_LineRenderer::fillTriangle(QPoint* t) {
    KVQ_ImageDocument* doc = document();
    if (doc)
        spokes(doc->painter(), t[0], t[1], t[2], true);
}

void KV_LineRenderer::dots(QPainter* painter, std::initializer_list<QPoint> centres) {
    for (int i = 1; i <= 4; ++i)
        for (const QPoint p : centres)
            kvqt2::drawEllipse(painter, p.x() - i, p.y() - i, 2 * i, 2 * i);
}

void KV_LineRenderer::drawEnding(QPainter* painter, QPoint p1, QPoint p2, QPoint p3, QPoint p4) {
    if (!controller)
        return;
    const int ending = controller->activeLineEnding();
    // A single ending goes to the left-hand end (p1 or p4) for arrow-none and circle-none, to
    // the right-hand end for none-arrow and none-circle (to p1 and p4 where both are level).
    const bool atP4 =
        (p1.x() > p4.x()) == (ending == EndingArrowNone || ending == EndingCircleNone);
    switch (ending) {
    case EndingArrowArrow:
        drawArrow(painter, p2, p1);
        drawArrow(painter, p3, p4);
        break;
    case EndingCircleCircle:
        dots(painter, {p4, p1});
        break;
    case EndingArrowNone:
    case EndingNoneArrow:
        if (atP4)
            drawArrow(painter, p3, p4);
        else
            drawArrow(painter, p2, p1);
        break;
    case EndingCircleNone:
    case EndingNoneCircle:
        dots(painter, {atP4 ? p4 : p1});
        break;
    default:
        break;
    }
}

void KV_LineRenderer::drawSegment(QPainter* painter, QPoint a, QPoint b) {
    if (painter->pen().width() <= 1)
        painter->drawLine(a, b);
    else
        drawThickLine(painter, a, b);
}

void KV_LineRenderer::drawThickLine(QPainter* painter, QPoint a, QPoint b) {
    const QPen current = controller->currentPen();
    if (current.style() == Qt::SolidLine) {
        painter->drawLine(a, b);
        return;
    }
    double s = -slope(a, b);
    double r = getSlope(&s);
    const double q = getSlope(&r);
    QPen thin = current;
    KV_ToolsController::setPenWidth(thin, 1);
    painter->setPen(thin);
    const int steps = current.width() == 3 ? 2 : 3;
    painter->drawLine(a, b);
    for (int k = 1; k <= steps; ++k) {
        QPoint ea[2];
        QPoint eb[2];
        getArrowEdgePoint(q, a, k, ea);
        getArrowEdgePoint(q, b, k, eb);
        painter->drawLine(ea[0], eb[0]);
        painter->drawLine(ea[1], eb[1]);
    }
}

void KV_LineRenderer::setSolidPen(QPainter* painter) {
    QPen pen = painter->pen();
    const int w = pen.width();
    KV_ToolsController::setPenWidth(pen, w == 3 ? 2 : (w == 5 ? 3 : 1));
    pen.setStyle(Qt::SolidLine);
    painter->setPen(pen);
}

void KV_LineRenderer::drawMarker(QPainter* painter, QPoint p) {
    QPen marker = controller->currentPen();
    KV_ToolsController::setPenWidth(marker, 1);
    marker.setStyle(Qt::SolidLine);
    painter->setPen(marker);
    painter->drawLine(p.x(), p.y() - 5, p.x(), p.y() + 5);
    painter->drawLine(p.x() - 5, p.y(), p.x() + 5, p.y());
    kvqt2::drawEllipse(painter, p.x() - 5, p.y() - 5, 10, 10);
}

QPoint KV_LineRenderer::headPoint(QPoint end, QPoint other) {
    return getArrowPoint(-slope(end, other), end, ArrowLength, other);
}

KV_PreviewPainter::Area KV_LineRenderer::segmentArea(QPoint a, QPoint b) const {
    // Half the pen, the parallel lines of a thick dashed line (three pixels out at most) and a
    // pixel of rounding.
    KV_PreviewPainter::Area area;
    KV_PreviewPainter::addLine(area, a, b, controller->currentPen().width() / 2 + 4);
    return area;
}

KV_PreviewPainter::Area KV_LineRenderer::lineArea(QPoint a, QPoint b) const {
    KV_PreviewPainter::Area area = segmentArea(a, b);
    area.push_back(endArea(a));
    area.push_back(endArea(b));
    return area;
}

void KV_LineRenderer::aboutToDraw(const KV_PreviewPainter::Area& area) const {
    if (KVQ_ImageDocument* doc = document())
        for (const QRect& r : area)
            doc->aboutToChange(r);
}

QRect KV_LineRenderer::endArea(QPoint p) const {
    // A placed head reaches two arrow lengths from the line's end (its base one length in,
    // its tip one more towards the pointer), half a head wide; dots and markers stay closer.
    const int reach = 2 * ArrowLength + HeadHalfWidth + controller->currentPen().width() + 2;
    return KV_PreviewPainter::around(p, reach);
}
