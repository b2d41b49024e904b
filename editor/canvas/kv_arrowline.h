// KV_ArrowLine: the pencil model's arrow line. A press fixes the start, the line follows the pen
// with standard arrows until the release lays it, then the adjustable head (for arrows at both
// ends, one head after the other) follows the pen until a tap places it.
#ifndef KV_ARROWLINE_H
#define KV_ARROWLINE_H

#include "kv_linerenderer.h"

#include <QPoint>

class KV_ArrowLine : public KV_LineRenderer {
public:
    KV_ArrowLine(KV_ToolsController* controller, KV_PreviewPainter& previewer);

    void press(QPoint p);
    void move(QPoint p);
    void release(QPoint r);
    void reset();

    // The step as a number: 1 idle, 2 laying the line, 3 placing a head, 4 start pressed.
    int state() const { return int(arrowSt); }
    // The head to place: 1 none, 2 the one at the line's end, 3 the one at its start.
    int pendingHeadCode() const { return int(pendingHead); }

private:
    enum class ArrowStep { Idle = 1, Laying = 2, PlacingHead = 3, Started = 4 };
    enum class Head { None = 1, AtEnd = 2, AtStart = 3 };

    // The rubber band: the shortened segment on every painter given (the second may be null),
    // the standard arrows on `arrows` only.
    void drawArrowLine(QPainter* segment, QPainter* arrows, QPoint start, QPoint p);
    // The adjustable head: which end it goes to and its triangle for the pointer position.
    bool headTriangle(QPoint pointer, QPoint* out);
    void lay(QPoint r);
    void placeHead(QPoint r);

    KV_PreviewPainter& previewer;
    QPoint arrowStart;
    QPoint arrowEnd;
    ArrowStep arrowSt = ArrowStep::Idle;
    Head pendingHead = Head::None;
};

#endif
