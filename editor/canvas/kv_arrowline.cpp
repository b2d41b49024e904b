#include "kv_arrowline.h"

#include "kv_previewpainter.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QPainter>

KV_ArrowLine::KV_ArrowLine(KV_ToolsController* c, KV_PreviewPainter& p)
    : KV_LineRenderer(c), previewer(p) {}

void KV_ArrowLine::reset() {
    arrowStart = QPoint(-1, -1);
    arrowEnd = QPoint(-1, -1);
    arrowSt = ArrowStep::Idle;
    pendingHead = Head::None;
}

void KV_ArrowLine::drawArrowLine(QPainter* segment, QPainter* arrows, QPoint s, QPoint p) {
    const int ending = controller->activeLineEnding();
    if (ending != EndingArrowArrow && ending != EndingArrowNone && ending != EndingNoneArrow)
        return;
    // A single head goes to the left-hand end for arrow-none, to the right-hand end for
    // none-arrow (to the start and the end where both are level).
    const bool headAtP = (s.x() > p.x()) == (ending == EndingArrowNone);
    const QPoint head = headAtP ? p : s;
    const QPoint tail = headAtP ? s : p;
    const QPoint a = ending == EndingArrowArrow ? headPoint(s, p) : tail;
    const QPoint b = ending == EndingArrowArrow ? headPoint(p, s) : headPoint(head, tail);
    drawSegment(segment, a, b);
    if (arrows && arrows != segment)
        drawSegment(arrows, a, b);
    if (!arrows)
        return;
    if (ending == EndingArrowArrow) {
        drawArrow(arrows, s, p);
        drawArrow(arrows, p, s);
    } else {
        drawArrow(arrows, tail, head);
    }
}

bool KV_ArrowLine::headTriangle(QPoint pointer, QPoint* out) {
    const QPoint s = arrowStart;
    const QPoint e = arrowEnd;
    bool atEnd;
    switch (controller->activeLineEnding()) {
    case EndingArrowArrow:
        atEnd = pendingHead != Head::AtStart;
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

void KV_ArrowLine::press(QPoint p) {
    if (arrowSt == ArrowStep::Idle) {
        arrowStart = p;
        arrowSt = ArrowStep::Started;
    } else if (arrowSt == ArrowStep::Laying) {
        previewer.show(document(), lineArea(arrowStart, p), [&](QPainter* painter) {
            painter->setPen(controller->currentPen());
            drawSegment(painter, arrowStart, p);
            painter->setPen(controller->currentPen());
            drawEnding(painter, p, arrowStart, p, arrowStart);
        });
    }
}

void KV_ArrowLine::move(QPoint p) {
    switch (arrowSt) {
    case ArrowStep::Laying:
        previewer.show(document(), lineArea(arrowStart, p), [&](QPainter* painter) {
            painter->setPen(controller->currentPen());
            drawArrowLine(painter, painter, arrowStart, p);
        });
        return;
    case ArrowStep::PlacingHead: {
        previewer.show(document(), {endArea(arrowStart), endArea(arrowEnd)},
                       [&](QPainter* painter) {
                           painter->setPen(controller->currentPen());
                           setSolidPen(painter);
                           QPoint t[3];
                           if (!headTriangle(p, t))
                               return;
                           outlineTriangle(painter, t);
                           if (controller->activeLineEnding() == EndingArrowArrow &&
                               pendingHead == Head::AtEnd)
                               drawArrow(painter, arrowEnd, arrowStart);
                       });
        return;
    }
    case ArrowStep::Started:
        arrowSt = ArrowStep::Laying;
        break;
    case ArrowStep::Idle:
        break;
    }
    // Before the line is under way a move shows the picture as it is.
    previewer.show(document(), {}, [](QPainter*) {});
}

void KV_ArrowLine::release(QPoint r) {
    switch (arrowSt) {
    case ArrowStep::Started:
        arrowSt = ArrowStep::Laying;
        break;
    case ArrowStep::Idle:
        arrowSt = ArrowStep::Started;
        break;
    case ArrowStep::Laying:
        lay(r);
        break;
    case ArrowStep::PlacingHead:
        placeHead(r);
        break;
    }
}

void KV_ArrowLine::lay(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* docPainter = doc->painter();
    arrowEnd = r;
    docPainter->setPen(controller->currentPen());
    doc->updateImage();
    aboutToDraw(lineArea(arrowStart, arrowEnd));
    // The shortened segment goes on the picture, the standard arrows only on the preview.
    previewer.show(doc, lineArea(arrowStart, arrowEnd), [&](QPainter* painter) {
        painter->setPen(controller->currentPen());
        drawArrowLine(docPainter, nullptr, arrowStart, arrowEnd);
        drawArrowLine(painter, painter, arrowStart, arrowEnd);
    });
    arrowSt = ArrowStep::PlacingHead;
    pendingHead = Head::AtEnd;
}

void KV_ArrowLine::placeHead(QPoint r) {
    KVQ_ImageDocument* doc = document();
    QPainter* docPainter = doc->painter();
    QPoint t[3];
    const bool head = headTriangle(r, t);
    if (head && controller->activeLineEnding() == EndingArrowArrow)
        pendingHead = pendingHead == Head::AtEnd ? Head::AtStart : Head::None;
    if (head) {
        docPainter->setPen(controller->currentPen());
        setSolidPen(docPainter);
        aboutToDraw({endArea(arrowStart), endArea(arrowEnd)});
        outlineTriangle(docPainter, t);
        fillTriangle(t);
    }
    arrowSt = ArrowStep::Idle;
    doc->updateImage();
    if (pendingHead != Head::AtStart) {
        // The line and its heads are one change.
        doc->finishChange();
        return;
    }
    arrowSt = ArrowStep::PlacingHead;
    previewer.show(doc, {endArea(arrowStart)}, [&](QPainter* painter) {
        painter->setPen(controller->currentPen());
        drawArrow(painter, arrowEnd, arrowStart);
    });
}
