// KV_ShapeModel: rectangles, ellipses and rounded rectangles (squares and circles
// with Control held), previewed on a copy of the picture while the pen moves.
#ifndef KV_SHAPESMODEL_H
#define KV_SHAPESMODEL_H

#include <QPoint>
#include <QRect>
#include <QString>

class KV_ToolsController;
class KVQ_ImageDocument;
class QMouseEvent;
class QPainter;

class KV_ShapeModel {
public:
    explicit KV_ShapeModel(KV_ToolsController* controller);
    ~KV_ShapeModel();
    KV_ShapeModel(const KV_ShapeModel&) = delete;
    KV_ShapeModel& operator=(const KV_ShapeModel&) = delete;

    void mousePress(QMouseEvent* e);
    void drawShape(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);
    void resetFlags();
    void MessageBox(QString message);

    // The bounding rectangle of the shape from the start corner to p (Algorithms 1-3).
    QRect boundingRect(QPoint p) const;
    int shapeState() const { return state; }
    QPoint startCorner() const { return start; }

private:
    KVQ_ImageDocument* document() const;
    void preview(QPoint p);
    void paintShape(QPainter* painter, QPoint p);

    KV_ToolsController* controller;
    int state = 1;
    QPoint start;
};

#endif
