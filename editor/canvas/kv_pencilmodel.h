// KV_PencilModel: free-hand, straight, connected and arrow lines (the arrow line in a
// KV_ArrowLine of its own). The line geometry and drawing (arrow heads, dot endings, thick
// lines) are its members through KV_LineRenderer; previews go through a KV_PreviewPainter.
#ifndef KV_PENCILMODEL_H
#define KV_PENCILMODEL_H

#include "kv_arrowline.h"
#include "kv_linerenderer.h"
#include "kv_previewpainter.h"
#include "kv_tool.h"

#include <QPoint>
#include <QString>

class QMouseEvent;

class KV_PencilModel : public KV_LineRenderer, public KV_Tool {
public:
    explicit KV_PencilModel(KV_ToolsController* controller);
    ~KV_PencilModel() override;
    KV_PencilModel(const KV_PencilModel&) = delete;
    KV_PencilModel& operator=(const KV_PencilModel&) = delete;

    void mousePress(QMouseEvent* e);
    void drawPencil(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);
    void resetFlags();
    void MessageBox(QString message);

    // The tool interface: the pen events above, and resetFlags.
    void press(QMouseEvent* e) override { mousePress(e); }
    void move(QMouseEvent* e) override { drawPencil(e); }
    void release(QMouseEvent* e) override { mouseRelease(e); }
    void cancel() override { resetFlags(); }

    // State, for tests and the editor (beyond the tool interface).
    int arrowState() const { return arrow.state(); }
    int lineState() const { return int(lineSt); }
    int pendingArrowHead() const { return arrow.pendingHeadCode(); }
    bool hasPreviousVertex() const { return hasPrev; }

private:
    // Straight and connected lines: the next press fixes the start (Open), or a line from the
    // start is under way (UnderWay).
    enum class LineStep { Open = 1, UnderWay = 2 };

    void preview(const KV_PreviewPainter::Area& area, const KV_PreviewPainter::Paint& paint);
    // The straight line from the start to p with its endings, as a preview; `solidEndings`
    // draws dot endings with a solid pen.
    void previewLine(QPoint start, QPoint p, bool solidEndings);
    void showMarker(QPoint p);

    void moveFreeForm(QPoint p);
    void releaseFreeForm(QPoint p);
    void releaseLine(QPoint p);
    void pressConnected(QPoint p);
    void moveConnected(QPoint p);
    void releaseConnected(QPoint p);

    KV_PreviewPainter previewer;
    KV_ArrowLine arrow;
    QPoint lineStart;
    bool strokeBegun = false;
    bool secondSeen = false;
    QPoint strokeFirst;
    QPoint strokeSecond;
    QPoint strokeAnchor;
    QPoint strokeEnd;
    LineStep lineSt = LineStep::Open;
    QPoint lastPoint;
    bool hasPrev = false;
    QPoint prevVertex;
    QPoint origin;
    QPoint secondVertex;
    QPoint beforeLast;
    bool firstPress = true;
};

#endif
