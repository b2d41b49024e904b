// KV_ShapeModel: rectangles, ellipses and rounded rectangles (squares and circles
// with Control held), previewed over the picture through a KV_PreviewPainter while the pen moves.
#ifndef KV_SHAPESMODEL_H
#define KV_SHAPESMODEL_H

#include "kv_previewpainter.h"
#include "kv_tool.h"

#include <QPoint>
#include <QRect>
#include <QString>

class KV_ToolsController;
class KVQ_ImageDocument;
class QMouseEvent;
class QPainter;

class KV_ShapeModel : public KV_Tool {
public:
    explicit KV_ShapeModel(KV_ToolsController* controller);
    ~KV_ShapeModel() override;
    KV_ShapeModel(const KV_ShapeModel&) = delete;
    KV_ShapeModel& operator=(const KV_ShapeModel&) = delete;

    void mousePress(QMouseEvent* e);
    void drawShape(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);
    void resetFlags();
    void MessageBox(QString message);

    // The tool interface: the pen events above, and resetFlags.
    void press(QMouseEvent* e) override { mousePress(e); }
    void move(QMouseEvent* e) override { drawShape(e); }
    void release(QMouseEvent* e) override { mouseRelease(e); }
    void cancel() override { resetFlags(); }

    // The box the shape is drawn in, from the start corner to p: as wide and high as their
    // distances along the axes and centred between them, or with Control held, a square of the
    // shorter distance that grows from the start corner towards p.
    QRect boundingRect(QPoint p) const;
    int shapeState() const { return state; }
    QPoint startCorner() const { return start; }

private:
    KVQ_ImageDocument* document() const;
    // What drawing the shape to p may change.
    QRect shapeArea(QPoint p) const;
    void preview(QPoint p);
    void paintShape(QPainter* painter, QPoint p);

    KV_ToolsController* controller;
    KV_PreviewPainter previewer;
    int state = 1;
    QPoint start;
};

#endif
