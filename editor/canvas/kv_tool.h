// KV_Tool: what the tools controller asks of a drawing tool. The controller hands the current
// tool every pen event of the document, in picture pixels. A tool draws on the picture through
// the document: before each drawing it reports the area it is about to change
// (KVQ_ImageDocument::aboutToChange), so that the history keeps those pixels, and it ends each
// complete change (a stroke, a finished line, a shape, a fill) with finishChange, which makes the
// change one step of the history. Previews are drawn on a copy and never reported.
#ifndef KV_TOOL_H
#define KV_TOOL_H

class QMouseEvent;
class QPainter;

class KV_Tool {
public:
    virtual ~KV_Tool() = default;

    virtual void press(QMouseEvent* e) = 0;
    virtual void move(QMouseEvent* e) = 0;
    virtual void release(QMouseEvent* e) = 0;
    // Abandons whatever is half made (a line waiting for its end, a shape being placed). What is
    // already on the picture stays; the controller then finishes it as a change.
    virtual void cancel() = 0;
    // Puts on the picture, as one change, what the tool holds over it without having drawn it
    // (typed text, a moved piece), before the picture is written. The default holds nothing.
    virtual void settle() {}
    // Forgets, without drawing it, what the tool holds over the picture: the picture it belongs
    // to is being replaced (New, Open). The default holds nothing.
    virtual void abandon() {}
    // Marks shown over the picture that are not part of it (a text being typed, a selection's
    // outline), painted by the view after the picture, in viewport pixels. The default shows
    // nothing.
    virtual void paintOverlay(QPainter* painter) const { (void)painter; }
};

#endif
