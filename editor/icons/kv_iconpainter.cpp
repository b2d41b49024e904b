#include "kv_iconpainter.h"

#include <QLineF>
#include <QPaintDevice>
#include <QPen>
#include <QPolygonF>

#include <cmath>

KV_IconPainter::KV_IconPainter(QPainter& painter)
    : p(painter), w(painter.device()->width()), h(painter.device()->height()) {}

void KV_IconPainter::line(QPointF a, QPointF b, qreal width, const QColor& colour) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(a, b);
}

void KV_IconPainter::stroke(const QPainterPath& path, qreal width, const QBrush& fill,
                            const QColor& colour) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void KV_IconPainter::bar(qreal x, qreal y, qreal width, qreal height, const QColor& colour) {
    p.fillRect(QRectF(x, y, width, height), colour);
}

void KV_IconPainter::dot(QPointF centre, qreal radius, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
}

void KV_IconPainter::arrowHead(QPointF tip, QPointF from, qreal length, qreal halfWidth) {
    const QLineF axis(tip, from);
    const QPointF along = (from - tip) / axis.length();
    const QPointF across(-along.y(), along.x());
    const QPointF base = tip + along * length;
    p.setPen(Qt::NoPen);
    p.setBrush(ink());
    p.drawPolygon(QPolygonF({tip, base + across * halfWidth, base - across * halfWidth}));
}

void KV_IconPainter::dashes(qreal x0, qreal x1, qreal y, qreal thickness, qreal dash, qreal gap) {
    for (qreal x = x0; x < x1; x += dash + gap)
        bar(x, y, std::min(dash, x1 - x), thickness);
}

void KV_IconPainter::rect(const QRectF& r, qreal width, const QBrush& fill, qreal radius) {
    p.setPen(QPen(ink(), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    if (radius > 0)
        p.drawRoundedRect(r, radius, radius);
    else
        p.drawRect(r);
}

void KV_IconPainter::ellipse(const QRectF& r, qreal width, const QBrush& fill) {
    p.setPen(QPen(ink(), width));
    p.setBrush(fill);
    p.drawEllipse(r);
}

void KV_IconPainter::inBox(const QRectF& box, const std::function<void()>& draw) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    draw();
    p.restore();
}

void KV_IconPainter::turned(QPointF centre, qreal degrees, const std::function<void()>& draw) {
    p.save();
    p.translate(centre);
    p.rotate(degrees);
    draw();
    p.restore();
}

void KV_IconPainter::bucket(bool pouring) {
    // An upright pail around the origin, turned so its mouth faces right when pouring.
    const QPointF centre(9.5, 13);
    const qreal angle = pouring ? 45 : 0;
    turned(centre, angle, [&] {
        QPainterPath handle;
        handle.moveTo(-6, -6);
        handle.cubicTo(-6, -12.5, 6, -12.5, 6, -6);
        stroke(handle, 1.5);
        QPainterPath body;
        body.moveTo(-6, -6);
        body.lineTo(-4.5, 6);
        body.quadTo(0, 8, 4.5, 6);
        body.lineTo(6, -6);
        stroke(body, 2, QColor(0xe6, 0xe6, 0xe6));
        ellipse(QRectF(-6, -8.5, 12, 5), 2, paint());
    });
    if (!pouring)
        return;
    // Paint runs from the lip (the mouth's right end after the turn) into a drop.
    const qreal rad = angle * M_PI / 180;
    const QPointF lip = centre + QPointF(6 * std::cos(rad) + 6 * std::sin(rad),
                                         6 * std::sin(rad) - 6 * std::cos(rad));
    QPainterPath run;
    run.moveTo(lip);
    run.quadTo(lip + QPointF(2.5, 0.5), lip + QPointF(2.5, 4.5));
    stroke(run, 2.5, Qt::NoBrush, paint());
    dot(lip + QPointF(2.5, 7), 2.2, paint());
}

void KV_IconPainter::magnifier() {
    line(QPointF(14.5, 14.5), QPointF(20.5, 20.5), 4);
    ellipse(QRectF(3.5, 3.5, 13, 13), 2, glass());
}

void KV_IconPainter::emblem(int size) {
    const qreal s = size;
    const qreal pen = size < 24 ? 1 : 1.5;
    // The frame: a wooden border round a landscape.
    const QRectF outer(0.5, 0.5 + s * 0.125, s * 0.8, s * 0.75);
    const qreal border = std::max<qreal>(2, std::round(s / 10));
    rect(outer, pen, QColor(0xb0, 0x78, 0x3c));
    const QRectF picture = outer.adjusted(border, border, -border, -border);
    rect(picture, pen, QColor(0xcf, 0xe8, 0xff));
    p.save();
    p.setClipRect(picture.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
    if (size >= 24)
        dot(QPointF(picture.left() + picture.width() * 0.3, picture.top() + picture.height() * 0.3),
            s / 14, QColor(0xf5, 0xb8, 0x00));
    QPainterPath hill;
    hill.moveTo(picture.left() - 1, picture.bottom() + 1);
    hill.lineTo(picture.left() + picture.width() * 0.45, picture.top() + picture.height() * 0.4);
    hill.lineTo(picture.right() + 1, picture.bottom() + 1);
    hill.closeSubpath();
    stroke(hill, pen, QColor(0x3c, 0xa0, 0x4a));
    p.restore();
    // The brush lies across the frame's right edge, its tip on the picture: a dark handle, a
    // grey ferrule and red bristles, each outlined.
    const QPointF tip(s * 0.48, s * 0.7);
    const QPointF end(s - 1, s * 0.04);
    const QPointF along = (end - tip) / QLineF(tip, end).length();
    const QPointF across(-along.y(), along.x());
    const QPointF neck = tip + along * s * 0.25;
    const QPointF ferrule = neck + along * s * 0.12;
    const qreal half = std::max<qreal>(1.5, s / 12);
    line(ferrule, end, std::max<qreal>(2, s / 9));
    QPainterPath band;
    band.moveTo(neck + across * half);
    band.lineTo(ferrule + across * half * 0.8);
    band.lineTo(ferrule - across * half * 0.8);
    band.lineTo(neck - across * half);
    band.closeSubpath();
    stroke(band, pen, QColor(0xb8, 0xb8, 0xb8));
    QPainterPath bristles;
    bristles.moveTo(neck + across * half);
    bristles.quadTo(tip + along * s * 0.1 + across * half, tip);
    bristles.quadTo(tip + along * s * 0.1 - across * half, neck - across * half);
    bristles.closeSubpath();
    stroke(bristles, pen, QColor(0xe0, 0x2a, 0x2a));
}
