#include "kv_pencilmodel.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

namespace {

QPoint eventPos(QMouseEvent* e) {
    return e->position().toPoint();
}

const QPoint Unset(-1, -1);

} // namespace

KV_PencilModel::KV_PencilModel(KV_ToolsController* c) : KV_LineRenderer(c), arrow(c, previewer) {
    if (!controller)
        MessageBox(QStringLiteral("Error in tools controller"));
}

KV_PencilModel::~KV_PencilModel() = default;

void KV_PencilModel::MessageBox(QString message) {
    QMessageBox::warning(document(), QStringLiteral("Title"),
                         QStringLiteral("Message ->") + message, QMessageBox::Ok);
}

void KV_PencilModel::resetFlags() {
    lineStart = Unset;
    arrow.reset();
    strokeBegun = false;
    secondSeen = false;
    lineSt = LineStep::Open;
    hasPrev = false;
    prevVertex = Unset;
    firstPress = true;
}

void KV_PencilModel::preview(const KV_PreviewPainter::Area& area,
                             const KV_PreviewPainter::Paint& paint) {
    previewer.show(document(), area, paint);
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
    if (lineSt == LineStep::Open)
        lineStart = p;
    switch (controller->activePencilTool()) {
    case PencilLine:
        // The second tap of a line laid with two taps.
        if (lineSt == LineStep::UnderWay)
            previewLine(lineStart, p, false);
        break;
    case PencilConnected:
        pressConnected(p);
        break;
    case PencilArrowLine:
        arrow.press(p);
        break;
    default:
        break;
    }
}

void KV_PencilModel::drawPencil(QMouseEvent* e) {
    if (!document())
        return;
    const QPoint p = eventPos(e);
    if (lineSt == LineStep::Open)
        lineSt = LineStep::UnderWay;
    switch (controller->activePencilTool()) {
    case PencilFreeForm:
        moveFreeForm(p);
        break;
    case PencilLine:
        previewLine(lineStart, p, true);
        break;
    case PencilConnected:
        moveConnected(p);
        break;
    case PencilArrowLine:
        arrow.move(p);
        break;
    default:
        break;
    }
}

void KV_PencilModel::mouseRelease(QMouseEvent* e) {
    if (!document())
        return;
    const QPoint p = eventPos(e);
    lineSt = lineSt == LineStep::Open ? LineStep::UnderWay : LineStep::Open;
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
        arrow.release(p);
        break;
    default:
        break;
    }
}

// ---- free-hand line ----------------------------------------------------------------------

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
    aboutToDraw(segmentArea(lastPoint, p));
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
    aboutToDraw({endArea(r), endArea(strokeFirst)});
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
    doc->finishChange();
    resetFlags();
}

// ---- straight line -----------------------------------------------------------------------

void KV_PencilModel::previewLine(QPoint start, QPoint p, bool solidEndings) {
    preview(lineArea(start, p), [&](QPainter* painter) {
        const QPen pen = controller->currentPen();
        painter->setPen(pen);
        drawSegment(painter, start, p);
        QPen endings = pen;
        if (solidEndings)
            endings.setStyle(Qt::SolidLine);
        painter->setPen(endings);
        drawEnding(painter, p, start, p, start);
    });
}

void KV_PencilModel::releaseLine(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* painter = doc->painter();
    painter->setPen(controller->currentPen());
    aboutToDraw(lineArea(lineStart, r));
    drawSegment(painter, lineStart, r);
    doc->updateImage();
    if (lineSt == LineStep::Open) {
        QPen solid = controller->currentPen();
        solid.setStyle(Qt::SolidLine);
        painter->setPen(solid);
        drawEnding(painter, r, lineStart, r, lineStart);
        doc->updateImage();
        // The line is finished (a tap that only fixed its start is not).
        doc->finishChange();
    }
}

// ---- connected lines ---------------------------------------------------------------------

void KV_PencilModel::showMarker(QPoint p) {
    preview({endArea(p)}, [&](QPainter* painter) { drawMarker(painter, p); });
}

void KV_PencilModel::pressConnected(QPoint p) {
    const QPoint from = hasPrev ? prevVertex : lineStart;
    preview(segmentArea(from, p), [&](QPainter* painter) {
        painter->setPen(controller->currentPen());
        drawSegment(painter, from, p);
    });
}

void KV_PencilModel::moveConnected(QPoint p) {
    const QPoint from = hasPrev ? prevVertex : lineStart;
    KV_PreviewPainter::Area area = segmentArea(from, p);
    area.push_back(endArea(p));
    preview(area, [&](QPainter* painter) {
        painter->setPen(controller->currentPen());
        drawSegment(painter, from, p);
        drawMarker(painter, p);
    });
}

void KV_PencilModel::releaseConnected(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* painter = doc->painter();
    if (!hasPrev || prevVertex == QPoint(0, 0)) {
        painter->setPen(controller->currentPen());
        aboutToDraw(segmentArea(lineStart, r));
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
        aboutToDraw({endArea(origin), endArea(prevVertex)});
        drawEnding(painter, origin, secondVertex, beforeLast, prevVertex);
        doc->updateImage();
        // The chain is finished: all its segments and endings are one change.
        doc->finishChange();
        resetFlags();
    } else {
        painter->setPen(controller->currentPen());
        aboutToDraw(segmentArea(prevVertex, r));
        drawSegment(painter, prevVertex, r);
        doc->updateImage();
        showMarker(r);
        hasPrev = true;
    }
    beforeLast = prevVertex;
    prevVertex = r;
}
