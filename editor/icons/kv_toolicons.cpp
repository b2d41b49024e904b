// Icons of the modes, the file actions and the application.
#include "kv_iconentry.h"
#include "kv_iconpainter.h"

namespace {

using P = KV_IconPainter;

void pencil(P& i) {
    i.line(QPointF(9, 21.5), QPointF(21.5, 21.5), 1.5);
    // Drawn lying along x, tip at +x, then turned so the tip points down-left.
    i.turned(QPointF(13, 11), 135, [&] {
        i.rect(QRectF(-11, -3.5, 3, 7), 1.5, QColor(0xf0, 0x8c, 0x8c));
        i.rect(QRectF(-8, -3.5, 2.5, 7), 1.5, QColor(0xa8, 0xa8, 0xa8));
        i.rect(QRectF(-5.5, -3.5, 10.5, 7), 1.5, QColor(0xf5, 0xc4, 0x2c));
        QPainterPath wood;
        wood.moveTo(5, -3.5);
        wood.lineTo(11.5, 0);
        wood.lineTo(5, 3.5);
        wood.closeSubpath();
        i.stroke(wood, 1.5, QColor(0xf0, 0xd4, 0xa8));
        i.arrowHead(QPointF(12, 0), QPointF(0, 0), 3.5, 1.9);
    });
}

void fill(P& i) {
    i.bucket(true);
}

void text(P& i) {
    QPainterPath a;
    a.moveTo(5, 20);
    a.lineTo(12, 3.5);
    a.lineTo(19, 20);
    i.stroke(a, 2.5);
    i.line(QPointF(8, 14), QPointF(16, 14), 2.5);
    i.line(QPointF(3, 20.5), QPointF(8, 20.5), 2);
    i.line(QPointF(16, 20.5), QPointF(21, 20.5), 2);
}

void shapes(P& i) {
    i.rect(QRectF(3, 3, 12, 10));
    i.ellipse(QRectF(8.5, 10, 13.5, 11), 2, QColor(0xff, 0xde, 0x80));
}

void eraser(P& i) {
    i.line(QPointF(3, 21.5), QPointF(21, 21.5), 1.5);
    i.turned(QPointF(12, 12), -35, [&] {
        i.rect(QRectF(-9, -4.5, 8, 9), 1.5, QColor(0xf0, 0x7a, 0x8a));
        i.rect(QRectF(-1, -4.5, 10, 9), 1.5, QColor(0xdd, 0xe8, 0xf5));
    });
}

// A dashed rectangle: the selection.
void selection(P& i) {
    constexpr qreal Left = 3.5;
    constexpr qreal Top = 4.5;
    constexpr qreal Right = 20.5;
    constexpr qreal Bottom = 19.5;
    constexpr qreal Dash = 3;
    for (qreal x = Left; x < Right; x += 2 * Dash) {
        const qreal end = x + Dash < Right ? x + Dash : Right;
        i.line(QPointF(x, Top), QPointF(end, Top), 1.5);
        i.line(QPointF(x, Bottom), QPointF(end, Bottom), 1.5);
    }
    for (qreal y = Top; y < Bottom; y += 2 * Dash) {
        const qreal end = y + Dash < Bottom ? y + Dash : Bottom;
        i.line(QPointF(Left, y), QPointF(Left, end), 1.5);
        i.line(QPointF(Right, y), QPointF(Right, end), 1.5);
    }
}

void pan(P& i) {
    i.bar(11, 5, 2, 14);
    i.bar(5, 11, 14, 2);
    i.arrowHead(QPointF(12, 1.5), QPointF(12, 12), 5.5, 4);
    i.arrowHead(QPointF(12, 22.5), QPointF(12, 12), 5.5, 4);
    i.arrowHead(QPointF(1.5, 12), QPointF(12, 12), 5.5, 4);
    i.arrowHead(QPointF(22.5, 12), QPointF(12, 12), 5.5, 4);
}

void zoomOut(P& i) {
    i.magnifier();
    i.bar(7, 9, 6, 2);
}

void zoomIn(P& i) {
    i.magnifier();
    i.bar(7, 9, 6, 2);
    i.bar(9, 7, 2, 6);
}

void undo(P& i) {
    QPainterPath back;
    back.moveTo(8, 8);
    back.lineTo(14, 8);
    back.arcTo(QRectF(9, 8, 11, 11), 90, -180);
    back.lineTo(7, 19);
    i.stroke(back, 2.5);
    i.arrowHead(QPointF(2, 8), QPointF(12, 8), 7, 5);
}

// The undo arrow turned the other way: back to the right.
void redo(P& i) {
    QPainterPath on;
    on.moveTo(16, 8);
    on.lineTo(10, 8);
    on.arcTo(QRectF(4, 8, 11, 11), 90, 180);
    on.lineTo(17, 19);
    i.stroke(on, 2.5);
    i.arrowHead(QPointF(22, 8), QPointF(12, 8), 7, 5);
}

void emblem16(P& i) {
    i.emblem(16);
}
void emblem24(P& i) {
    i.emblem(24);
}
void emblem32(P& i) {
    i.emblem(32);
}

void view(P& i) {
    QPainterPath eye;
    eye.moveTo(1.5, 12);
    eye.quadTo(12, 1, 22.5, 12);
    eye.quadTo(12, 23, 1.5, 12);
    i.stroke(eye, 2, Qt::white);
    i.ellipse(QRectF(7.5, 7.5, 9, 9), 1.5, QColor(0x4a, 0x7a, 0xb8));
    i.dot(QPointF(12, 12), 2);
    i.dot(QPointF(13.5, 10.5), 1, Qt::white);
}

} // namespace

const std::vector<KV_IconEntry>& kvToolIcons() {
    static const std::vector<KV_IconEntry> table = {
        {"linemode.png", 24, 24, pencil},
        {"fillmode.png", 24, 24, fill},
        {"textmode.png", 24, 24, text},
        {"shapesmode.png", 24, 24, shapes},
        {"erasermode.png", 24, 24, eraser},
        {"last.bmp", 24, 24, selection},
        {"pancanvas.png", 24, 24, pan},
        {"zoomout.png", 24, 24, zoomOut},
        {"zoomin.png", 24, 24, zoomIn},
        {"undo.png", 24, 24, undo},
        {"redo.png", 24, 24, redo},
        {"PX.bmp", 24, 24, emblem24},
        {"viewSpecific.bmp", 24, 24, view},
        {"imageeditorapp16x16.png", 16, 16, emblem16},
        {"imageeditorapp32x32.png", 32, 32, emblem32},
    };
    return table;
}
