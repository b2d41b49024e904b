// KV_IconPainter: the small drawing vocabulary the icons are made of (ink strokes, bars, dots,
// arrow heads, dashes) and the few glyphs several icons share (bucket, magnifier, picture frame).
#ifndef KV_ICONPAINTER_H
#define KV_ICONPAINTER_H

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <functional>

class KV_IconPainter {
public:
    explicit KV_IconPainter(QPainter& painter);

    QPainter& painter() { return p; }
    int width() const { return w; }
    int height() const { return h; }

    // The dark colour of every outline and stroke, and the accents icons are tinted with.
    static QColor ink() { return QColor(0x1a, 0x1a, 0x1a); }
    static QColor paint() { return QColor(0x2f, 0x6f, 0xd6); }
    static QColor glass() { return QColor(0xd4, 0xe8, 0xff); }

    // A stroke with round caps and joins.
    void line(QPointF a, QPointF b, qreal width = 2, const QColor& colour = ink());
    void stroke(const QPainterPath& path, qreal width = 2, const QBrush& fill = Qt::NoBrush,
                const QColor& colour = ink());
    // Axis-aligned filled rectangle: crisp at whole-pixel coordinates.
    void bar(qreal x, qreal y, qreal width, qreal height, const QColor& colour = ink());
    void dot(QPointF centre, qreal radius, const QColor& colour = ink());
    // A filled triangle whose tip is at `tip`, pointing away from `from`.
    void arrowHead(QPointF tip, QPointF from, qreal length, qreal halfWidth);
    // A horizontal dashed line [x0, x1) of the given thickness, starting with a dash.
    void dashes(qreal x0, qreal x1, qreal y, qreal thickness, qreal dash, qreal gap);
    void rect(const QRectF& r, qreal width = 2, const QBrush& fill = Qt::NoBrush, qreal radius = 0);
    void ellipse(const QRectF& r, qreal width = 2, const QBrush& fill = Qt::NoBrush);

    // Runs `draw` with the 24x24 design square mapped onto `box`.
    void inBox(const QRectF& box, const std::function<void()>& draw);
    // Runs `draw` in a frame turned by `degrees` (clockwise) around `centre`.
    void turned(QPointF centre, qreal degrees, const std::function<void()>& draw);

    // Shared glyphs, drawn in the 24x24 design square (use inBox to place them elsewhere).
    void bucket(bool pouring);
    void magnifier();
    // The application's emblem: a framed picture with a brush across its corner, for a
    // square of `size` pixels (more detail when larger).
    void emblem(int size);

private:
    QPainter& p;
    int w;
    int h;
};

#endif
