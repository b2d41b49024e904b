// KV_PencilModel: free-hand, straight, connected and arrow lines; the line rendering and
// geometry (arrow heads, dot endings, thick lines) are its members.
#ifndef KV_PENCILMODEL_H
#define KV_PENCILMODEL_H

#include <QPoint>
#include <QString>

class KV_ToolsController;
class KVQ_ImageDocument;
class QMouseEvent;
class QPainter;
class QPixmap;

class KV_PencilModel {
public:
    // Line-geometry constants.
    static constexpr double SlopeLimit = 15.0;
    static constexpr int ArrowLength = 12;
    static constexpr int HeadHalfWidth = 5;
    static constexpr int AnchorDistance = 12;
    static constexpr double SnapThreshold = 2.5;
    static constexpr int RotationSteps = 9;

    explicit KV_PencilModel(KV_ToolsController* controller);
    ~KV_PencilModel();
    KV_PencilModel(const KV_PencilModel&) = delete;
    KV_PencilModel& operator=(const KV_PencilModel&) = delete;

    void mousePress(QMouseEvent* e);
    void drawPencil(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);
    void resetFlags();
    void MessageBox(QString message);

    // Line rendering and geometry.
    double slope(QPoint a, QPoint b);
    double getSlope(double* s);
    double distancePoints(QPoint a, QPoint b);
    QPoint getArrowPoint(double m, QPoint p, int len, QPoint target);
    void getArrowEdgePoint(double m, QPoint p, int len, QPoint* out);
    void getPoints(QPoint* out, QPoint a, QPoint base, QPoint pointer);
    void drawArrow(QPainter* painter, QPoint from, QPoint to);
    void fillTriangle(QPoint* t);
    void drawEnding(QPainter* painter, QPoint p1, QPoint p2, QPoint p3, QPoint p4);
    void drawThickLine(QPainter* painter, QPoint a, QPoint b);
    void setSolidPen(QPainter* painter);

    // State, for tests and the editor (beyond the tool interface).
    int arrowState() const { return arrowSt; }
    int lineState() const { return lineSt; }
    int pendingArrowHead() const { return pendingHead; }
    bool hasPreviousVertex() const { return hasPrev; }

private:
    KVQ_ImageDocument* document() const;
    // The point `ArrowLength` pixels from `end` towards `other`.
    QPoint headPoint(QPoint end, QPoint other);
    // A segment with the current width: drawLine for a one-pixel pen, else drawThickLine.
    void drawSegment(QPainter* painter, QPoint a, QPoint b);
    // The one-pixel marker of connected lines, at p.
    void drawMarker(QPainter* painter, QPoint p);
    void showMarker(QPoint p);
    // The arrow line's rubber band: the shortened segment on every painter given (the second
    // may be null), the standard arrows on `arrows` only.
    void drawArrowLine(QPainter* segment, QPainter* arrows, QPoint start, QPoint p);
    // The adjustable head: which end it goes to and its triangle for the pointer position.
    bool headTriangle(QPoint pointer, QPoint* out);
    void dot(QPainter* painter, QPoint p);

    void pressFreeForm(QPoint p);
    void moveFreeForm(QPoint p);
    void releaseFreeForm(QPoint p);
    void pressLine(QPoint p);
    void moveLine(QPoint p);
    void releaseLine(QPoint p);
    void pressConnected(QPoint p);
    void moveConnected(QPoint p);
    void releaseConnected(QPoint p);
    void pressArrow(QPoint p);
    void moveArrow(QPoint p);
    void releaseArrow(QPoint p);

    KV_ToolsController* controller;
    QPoint lineStart;
    QPoint arrowStart;
    QPoint arrowEnd;
    bool strokeBegun = false;
    bool secondSeen = false;
    QPoint strokeFirst;
    QPoint strokeSecond;
    QPoint strokeAnchor;
    QPoint strokeEnd;
    int arrowSt = 1;
    int lineSt = 1;
    QPoint lastPoint;
    bool hasPrev = false;
    QPoint prevVertex;
    QPoint origin;
    QPoint secondVertex;
    QPoint beforeLast;
    bool firstPress = true;
    int pendingHead = 1;
};

#endif
