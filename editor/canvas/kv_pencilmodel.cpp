#include "kv_pencilmodel.h"

#include "kv_qt2paint.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

int truncate(double v) {
    return static_cast<int>(v);
} // towards zero

QPoint midpoint(QPoint a, QPoint b) {
    return QPoint((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
}

QPoint eventPos(QMouseEvent* e) {
    return e->position().toPoint();
}

const QPoint Unset(-1, -1);

} // namespace

KV_PencilModel::KV_PencilModel(KV_ToolsController* c) : controller(c) {
    if (!controller)
        MessageBox(QStringLiteral("Error in tools controller"));
}

KV_PencilModel::~KV_PencilModel() = default;

KVQ_ImageDocument* KV_PencilModel::document() const {
    return controller ? controller->document() : nullptr;
}

void KV_PencilModel::MessageBox(QString message) {
    QMessageBox::warning(document(), QStringLiteral("Title"),
                         QStringLiteral("Message ->") + message, QMessageBox::Ok);
}

void KV_PencilModel::resetFlags() {
    lineStart = Unset;
    arrowStart = Unset;
    arrowEnd = Unset;
    strokeBegun = false;
    secondSeen = false;
    arrowSt = 1;
    lineSt = 1;
    hasPrev = false;
    prevVertex = Unset;
    firstPress = true;
    pendingHead = 1;
}

// ---- pen events --------------------------------------------------------------------------

void KV_PencilModel::mousePress(QMouseEvent* e) {
    if (!document())
        return;
    const QPoint p = eventPos(e);
    if (firstPress) {
        origin = p;
        beforeLast = p;
        firstPress = false;
    }
    if (lineSt == 1)
        lineStart = p;
    switch (controller->activePencilTool()) {
    case PencilFreeForm:
        pressFreeForm(p);
        break;
    case PencilLine:
        pressLine(p);
        break;
    case PencilConnected:
        pressConnected(p);
        break;
    case PencilArrowLine:
        pressArrow(p);
        break;
    default:
        break;
    }
}

void KV_PencilModel::drawPencil(QMouseEvent* e) {
    if (!document())
        return;
    const QPoint p = eventPos(e);
    if (lineSt == 1)
        lineSt = 2;
    switch (controller->activePencilTool()) {
    case PencilFreeForm:
        moveFreeForm(p);
        break;
    case PencilLine:
        moveLine(p);
        break;
    case PencilConnected:
        moveConnected(p);
        break;
    case PencilArrowLine:
        moveArrow(p);
        break;
    default:
        break;
    }
}

void KV_PencilModel::mouseRelease(QMouseEvent* e) {
    if (!document())
        return;
    const QPoint p = eventPos(e);
    lineSt = lineSt == 1 ? 2 : 1;
    switch (controller->activePencilTool()) {
    case PencilFreeForm:
        releaseFreeForm(p);
        break;
    case PencilLine:
        releaseLine(p);
        break;
    case PencilConnected:
        releaseConnected(p);
        break;
    case PencilArrowLine:
        releaseArrow(p);
        break;
    default:
        break;
    }
}

// ---- free-hand line ----------------------------------------------------------------------

void KV_PencilModel::pressFreeForm(QPoint) {}

void KV_PencilModel::moveFreeForm(QPoint p) {
    KVQ_ImageDocument* doc = document();
    QPainter* painter = doc->painter();
    if (!strokeBegun) {
        strokeFirst = p;
        lastPoint = p;
        strokeBegun = true;
    } else if (!secondSeen) {
        strokeSecond = p;
        strokeAnchor = p;
        secondSeen = true;
    }
    const QPen pen = controller->currentPen();
    painter->setPen(pen);
    if (distancePoints(strokeAnchor, lastPoint) > AnchorDistance)
        strokeAnchor = lastPoint;
    const bool thin = controller->activeLineThickness() == ThicknessThin;
    switch (controller->activeLineStyle()) {
    case StyleSolid:
        KV_ToolsController::drawPoint(painter, lastPoint);
        painter->drawLine(lastPoint, p);
        break;
    case StyleDashed:
    case StyleDotted: {
        int gap = 2;
        if (thin) {
            KV_ToolsController::drawPoint(painter, lastPoint);
            gap = 5;
        }
        const int threshold = controller->activeLineStyle() == StyleDashed ? gap + 1 : gap;
        if (distancePoints(lastPoint, p) >= threshold)
            drawSegment(painter, lastPoint, p);
        break;
    }
    default:
        break;
    }
    lastPoint = p;
    doc->updateImage();
}

void KV_PencilModel::releaseFreeForm(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* painter = doc->painter();
    painter->setPen(controller->currentPen());
    KV_ToolsController::drawPoint(painter, r);
    strokeEnd = r;
    if (strokeBegun && r != strokeFirst) {
        // A stroke of one move has no second point and no anchor: the release position gives
        // the direction at the first point, and the first point the direction at the end.
        const QPoint second = secondSeen ? strokeSecond : r;
        const QPoint anchor = secondSeen ? strokeAnchor : strokeFirst;
        setSolidPen(painter);
        drawEnding(painter, strokeFirst, second, anchor, strokeEnd);
    }
    doc->updateImage();
    resetFlags();
}

// ---- straight line -----------------------------------------------------------------------

void KV_PencilModel::pressLine(QPoint p) {
    if (lineSt != 2)
        return;
    KVQ_ImageDocument* doc = document();
    QPixmap* copy = doc->previewCopy();
    {
        QPainter painter(copy);
        painter.setPen(controller->currentPen());
        drawSegment(&painter, lineStart, p);
        painter.setPen(controller->currentPen());
        drawEnding(&painter, p, lineStart, p, lineStart);
    }
    doc->updateImage(copy);
}

void KV_PencilModel::moveLine(QPoint p) {
    KVQ_ImageDocument* doc = document();
    QPixmap* copy = doc->previewCopy();
    {
        QPainter painter(copy);
        painter.setPen(controller->currentPen());
        drawSegment(&painter, lineStart, p);
        QPen solid = controller->currentPen();
        solid.setStyle(Qt::SolidLine);
        painter.setPen(solid);
        drawEnding(&painter, p, lineStart, p, lineStart);
    }
    doc->updateImage(copy);
}

void KV_PencilModel::releaseLine(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* painter = doc->painter();
    painter->setPen(controller->currentPen());
    drawSegment(painter, lineStart, r);
    doc->updateImage();
    if (lineSt == 1) {
        QPen solid = controller->currentPen();
        solid.setStyle(Qt::SolidLine);
        painter->setPen(solid);
        drawEnding(painter, r, lineStart, r, lineStart);
        doc->updateImage();
    }
}

// ---- connected lines ---------------------------------------------------------------------

void KV_PencilModel::drawMarker(QPainter* painter, QPoint p) {
    QPen marker = controller->currentPen();
    KV_ToolsController::setPenWidth(marker, 1);
    marker.setStyle(Qt::SolidLine);
    painter->setPen(marker);
    painter->drawLine(p.x(), p.y() - 5, p.x(), p.y() + 5);
    painter->drawLine(p.x() - 5, p.y(), p.x() + 5, p.y());
    kvqt2::drawEllipse(painter, p.x() - 5, p.y() - 5, 10, 10);
}

void KV_PencilModel::showMarker(QPoint p) {
    KVQ_ImageDocument* doc = document();
    QPixmap* copy = doc->previewCopy();
    {
        QPainter painter(copy);
        drawMarker(&painter, p);
    }
    doc->updateImage(copy);
}

void KV_PencilModel::pressConnected(QPoint p) {
    KVQ_ImageDocument* doc = document();
    QPixmap* copy = doc->previewCopy();
    {
        QPainter painter(copy);
        painter.setPen(controller->currentPen());
        drawSegment(&painter, hasPrev ? prevVertex : lineStart, p);
    }
    doc->updateImage(copy);
}

void KV_PencilModel::moveConnected(QPoint p) {
    KVQ_ImageDocument* doc = document();
    QPixmap* copy = doc->previewCopy();
    {
        QPainter painter(copy);
        painter.setPen(controller->currentPen());
        drawSegment(&painter, hasPrev ? prevVertex : lineStart, p);
        drawMarker(&painter, p);
    }
    doc->updateImage(copy);
}

void KV_PencilModel::releaseConnected(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* painter = doc->painter();
    if (!hasPrev || prevVertex == QPoint(0, 0)) {
        painter->setPen(controller->currentPen());
        drawSegment(painter, lineStart, r);
        doc->updateImage();
        hasPrev = true;
        showMarker(r);
        secondVertex = r;
        prevVertex = r;
        return;
    }
    if (secondVertex == origin) {
        secondVertex = r;
        beforeLast = origin;
    }
    if (prevVertex.x() - 5 < r.x() && r.x() < prevVertex.x() + 5 && prevVertex.y() - 5 < r.y() &&
        r.y() < prevVertex.y() + 5) {
        painter->setPen(controller->currentPen());
        setSolidPen(painter);
        if (beforeLast == Unset)
            beforeLast = origin;
        drawEnding(painter, origin, secondVertex, beforeLast, prevVertex);
        doc->updateImage();
        resetFlags();
    } else {
        painter->setPen(controller->currentPen());
        drawSegment(painter, prevVertex, r);
        doc->updateImage();
        showMarker(r);
        hasPrev = true;
    }
    beforeLast = prevVertex;
    prevVertex = r;
}

// ---- arrow line --------------------------------------------------------------------------

QPoint KV_PencilModel::headPoint(QPoint end, QPoint other) {
    return getArrowPoint(-slope(end, other), end, ArrowLength, other);
}

void KV_PencilModel::drawArrowLine(QPainter* segment, QPainter* arrows, QPoint s, QPoint p) {
    QPoint a;
    QPoint b;
    switch (controller->activeLineEnding()) {
    case EndingArrowArrow:
        a = headPoint(s, p);
        b = headPoint(p, s);
        break;
    case EndingArrowNone:
        if (s.x() > p.x()) {
            a = s;
            b = headPoint(p, s);
        } else {
            a = p;
            b = headPoint(s, p);
        }
        break;
    case EndingNoneArrow:
        if (s.x() > p.x()) {
            a = p;
            b = headPoint(s, p);
        } else {
            a = s;
            b = headPoint(p, s);
        }
        break;
    default:
        return;
    }
    drawSegment(segment, a, b);
    if (arrows && arrows != segment)
        drawSegment(arrows, a, b);
    if (!arrows)
        return;
    switch (controller->activeLineEnding()) {
    case EndingArrowArrow:
        drawArrow(arrows, s, p);
        drawArrow(arrows, p, s);
        break;
    case EndingArrowNone:
        if (s.x() > p.x())
            drawArrow(arrows, s, p);
        else
            drawArrow(arrows, p, s);
        break;
    case EndingNoneArrow:
        if (s.x() > p.x())
            drawArrow(arrows, p, s);
        else
            drawArrow(arrows, s, p);
        break;
    default:
        break;
    }
}

bool KV_PencilModel::headTriangle(QPoint pointer, QPoint* out) {
    const QPoint s = arrowStart;
    const QPoint e = arrowEnd;
    bool atEnd;
    switch (controller->activeLineEnding()) {
    case EndingArrowArrow:
        atEnd = pendingHead != 3;
        break;
    case EndingArrowNone:
        atEnd = s.x() > e.x();
        break;
    case EndingNoneArrow:
        atEnd = !(s.x() > e.x());
        break;
    default:
        return false;
    }
    if (atEnd)
        getPoints(out, s, headPoint(e, s), pointer);
    else
        getPoints(out, e, headPoint(s, e), pointer);
    return true;
}

void KV_PencilModel::pressArrow(QPoint p) {
    if (arrowSt == 1) {
        arrowStart = p;
        arrowSt = 4;
    } else if (arrowSt == 2) {
        KVQ_ImageDocument* doc = document();
        QPixmap* copy = doc->previewCopy();
        {
            QPainter painter(copy);
            painter.setPen(controller->currentPen());
            drawSegment(&painter, arrowStart, p);
            painter.setPen(controller->currentPen());
            drawEnding(&painter, p, arrowStart, p, arrowStart);
        }
        doc->updateImage(copy);
    }
}

void KV_PencilModel::moveArrow(QPoint p) {
    KVQ_ImageDocument* doc = document();
    QPixmap* copy = doc->previewCopy();
    {
        QPainter painter(copy);
        painter.setPen(controller->currentPen());
        if (arrowSt == 1 || arrowSt == 4) {
            if (arrowSt == 4)
                arrowSt = 2;
        } else if (arrowSt == 2) {
            drawArrowLine(&painter, &painter, arrowStart, p);
        } else if (arrowSt == 3) {
            setSolidPen(&painter);
            QPoint t[3];
            if (headTriangle(p, t)) {
                painter.drawLine(t[0], t[1]);
                painter.drawLine(t[1], t[2]);
                painter.drawLine(t[2], t[0]);
                if (controller->activeLineEnding() == EndingArrowArrow && pendingHead == 2)
                    drawArrow(&painter, arrowEnd, arrowStart);
            }
        }
    }
    doc->updateImage(copy);
}

void KV_PencilModel::releaseArrow(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* docPainter = doc->painter();
    switch (arrowSt) {
    case 4:
        arrowSt = 2;
        break;
    case 1:
        arrowSt = 4;
        break;
    case 2: {
        arrowEnd = r;
        docPainter->setPen(controller->currentPen());
        doc->updateImage();
        QPixmap* copy = doc->previewCopy();
        {
            QPainter painter(copy);
            painter.setPen(controller->currentPen());
            drawArrowLine(docPainter, nullptr, arrowStart, arrowEnd);
            drawArrowLine(&painter, &painter, arrowStart, arrowEnd);
        }
        arrowSt = 3;
        pendingHead = 2;
        doc->updateImage(copy);
        break;
    }
    case 3: {
        QPoint t[3];
        const bool head = headTriangle(r, t);
        if (head && controller->activeLineEnding() == EndingArrowArrow)
            pendingHead = pendingHead == 2 ? 3 : 1;
        if (head) {
            docPainter->setPen(controller->currentPen());
            setSolidPen(docPainter);
            docPainter->drawLine(t[0], t[1]);
            docPainter->drawLine(t[1], t[2]);
            docPainter->drawLine(t[2], t[0]);
            fillTriangle(t);
        }
        arrowSt = 1;
        doc->updateImage();
        if (pendingHead == 3) {
            arrowSt = 3;
            QPixmap* copy = doc->previewCopy();
            {
                QPainter painter(copy);
                painter.setPen(controller->currentPen());
                drawArrow(&painter, arrowEnd, arrowStart);
            }
            doc->updateImage(copy);
        }
        break;
    }
    default:
        break;
    }
}

// ---- line rendering and geometry -------------------------------------------------------------

double KV_PencilModel::slope(QPoint a, QPoint b) {
    if (a.x() == b.x())
        return -SlopeLimit;
    double m = double(b.y() - a.y()) / double(b.x() - a.x());
    if (m > SlopeLimit)
        m = SlopeLimit;
    if (m < -SlopeLimit)
        m = -SlopeLimit;
    return -m;
}

double KV_PencilModel::getSlope(double* s) {
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

double KV_PencilModel::distancePoints(QPoint a, QPoint b) {
    const qint64 dx = qint64(b.x()) - a.x();
    const qint64 dy = qint64(b.y()) - a.y();
    return std::sqrt(double(dx * dx + dy * dy));
}

QPoint KV_PencilModel::getArrowPoint(double m, QPoint p, int len, QPoint target) {
    QPoint c[2];
    getArrowEdgePoint(m, p, len, c);
    return distancePoints(c[0], target) < distancePoints(c[1], target) ? c[0] : c[1];
}

void KV_PencilModel::getArrowEdgePoint(double m, QPoint p, int len, QPoint* out) {
    const double h = len / std::sqrt(m * m + 1.0);
    const int dx = truncate(h);
    const int dy1 = truncate(h * m);
    const int dy2 = truncate(-h * m);
    out[0] = QPoint(p.x() + dx, p.y() + dy1);
    out[1] = QPoint(p.x() - dx, p.y() + dy2);
}

void KV_PencilModel::getPoints(QPoint* out, QPoint a, QPoint base, QPoint pointer) {
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

void KV_PencilModel::drawArrow(QPainter* painter, QPoint from, QPoint to) {
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
    const QPoint m = midpoint(e[0], e[1]);
    const QPoint q1 = midpoint(e[0], m);
    const QPoint q3 = midpoint(e[1], m);
    painter->drawLine(to, q1);
    painter->drawLine(to, q3);
    painter->drawLine(to, midpoint(e[0], q1));
    painter->drawLine(to, midpoint(e[1], q3));
    painter->drawLine(to, midpoint(m, q1));
    painter->drawLine(to, midpoint(m, q3));
}

void KV_PencilModel::fillTriangle(QPoint* t) {
    KVQ_ImageDocument* doc = document();
    if (!doc)
        return;
    QPainter* painter = doc->painter();
    const QPoint m = midpoint(t[1], t[2]);
    const QPoint q1 = midpoint(t[1], m);
    const QPoint q2 = midpoint(m, t[2]);
    painter->drawLine(t[0], q1);
    painter->drawLine(t[0], q2);
    painter->drawLine(t[0], m);
    painter->drawLine(t[0], midpoint(q1, t[1]));
    painter->drawLine(t[0], midpoint(q2, t[2]));
    painter->drawLine(t[0], midpoint(m, q1));
    painter->drawLine(t[0], midpoint(m, q2));
}

void KV_PencilModel::dot(QPainter* painter, QPoint p) {
    for (int i = 1; i <= 4; ++i)
        kvqt2::drawEllipse(painter, p.x() - i, p.y() - i, 2 * i, 2 * i);
}

void KV_PencilModel::drawEnding(QPainter* painter, QPoint p1, QPoint p2, QPoint p3, QPoint p4) {
    if (!controller)
        return;
    switch (controller->activeLineEnding()) {
    case EndingArrowArrow:
        drawArrow(painter, p2, p1);
        drawArrow(painter, p3, p4);
        break;
    case EndingCircleCircle:
        for (int i = 1; i <= 4; ++i) {
            kvqt2::drawEllipse(painter, p4.x() - i, p4.y() - i, 2 * i, 2 * i);
            kvqt2::drawEllipse(painter, p1.x() - i, p1.y() - i, 2 * i, 2 * i);
        }
        break;
    case EndingArrowNone:
        if (p1.x() > p4.x())
            drawArrow(painter, p3, p4);
        else
            drawArrow(painter, p2, p1);
        break;
    case EndingNoneArrow:
        if (p1.x() > p4.x())
            drawArrow(painter, p2, p1);
        else
            drawArrow(painter, p3, p4);
        break;
    case EndingCircleNone:
        dot(painter, p1.x() > p4.x() ? p4 : p1);
        break;
    case EndingNoneCircle:
        dot(painter, p1.x() > p4.x() ? p1 : p4);
        break;
    default:
        break;
    }
}

void KV_PencilModel::drawSegment(QPainter* painter, QPoint a, QPoint b) {
    if (painter->pen().width() <= 1)
        painter->drawLine(a, b);
    else
        drawThickLine(painter, a, b);
}

void KV_PencilModel::drawThickLine(QPainter* painter, QPoint a, QPoint b) {
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

void KV_PencilModel::setSolidPen(QPainter* painter) {
    QPen pen = painter->pen();
    const int w = pen.width();
    KV_ToolsController::setPenWidth(pen, w == 3 ? 2 : (w == 5 ? 3 : 1));
    pen.setStyle(Qt::SolidLine);
    painter->setPen(pen);
}
