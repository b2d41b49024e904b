// KV_LineRenderer: the geometry and drawing of lines for the pencil model: slopes, arrow heads
// and their 45-degree steps, dot endings, thick dashed lines, and the areas a line's preview
// covers. Pens, endings and the picture come from the tools controller.
#ifndef KV_LINERENDERER_H
#define KV_LINERENDERER_H

#include "kv_previewpainter.h"

#include <QPoint>
#include <QRect>

#include <initializer_list>

class KV_ToolsController;
class KVQ_ImageDocument;
class QPainter;

class KV_LineRenderer {
public:
    // Line-geometry constants.
    static constexpr double SlopeLimit = 15.0;
    static constexpr int ArrowLength = 12;
    static constexpr int HeadHalfWidth = 5;
    static constexpr int AnchorDistance = 12;
    static constexpr double SnapThreshold = 2.5;
    static constexpr int RotationSteps = 9;

    explicit KV_LineRenderer(KV_ToolsController* controller);

    double slope(QPoint a, QPoint b);
    double getSlope(double* s);
    double distancePoints(QPoint a, QPoint b);
    QPoint getArrowPoint(double m, QPoint p, int len, QPoint target);
    void getArrowEdgePoint(double m, QPoint p, int len, QPoint* out);
    void getPoints(QPoint* out, QPoint a, QPoint base, QPoint pointer);
    void drawArrow(QPainter* painter, QPoint from, QPoint to);
    // The spokes that fill a placed head (t[0] its tip), on the picture.
    void fillTriangle(QPoint* t);
    void drawEnding(QPainter* painter, QPoint p1, QPoint p2, QPoint p3, QPoint p4);
    void drawThickLine(QPainter* painter, QPoint a, QPoint b);
    void setSolidPen(QPainter* painter);

protected:
    KVQ_ImageDocument* document() const;
    // The point `ArrowLength` pixels from `end` towards `other`.
    QPoint headPoint(QPoint end, QPoint other);
    // A segment with the current width: drawLine for a one-pixel pen, else drawThickLine.
    void drawSegment(QPainter* painter, QPoint a, QPoint b);
    // The one-pixel marker of connected lines, at p.
    void drawMarker(QPainter* painter, QPoint p);
    // The outline of a head, t[0] its tip.
    static void outlineTriangle(QPainter* painter, const QPoint* t);
    // Dot endings: four rings about each centre, ring by ring.
    static void dots(QPainter* painter, std::initializer_list<QPoint> centres);
    // Lines from `tip` fanning over the side b-c; `middle` adds the one to its midpoint.
    static void spokes(QPainter* painter, QPoint tip, QPoint b, QPoint c, bool middle);

    // What a preview of the current pen may cover: about a segment of the line, and about a
    // line end, where arrow heads, dots and markers go.
    KV_PreviewPainter::Area segmentArea(QPoint a, QPoint b) const;
    QRect endArea(QPoint p) const;
    // A segment with whatever may go at its two ends.
    KV_PreviewPainter::Area lineArea(QPoint a, QPoint b) const;
    // Reports to the document that the picture is about to change within `area`.
    void aboutToDraw(const KV_PreviewPainter::Area& area) const;

    KV_ToolsController* controller;
};

#endif
