// Icons of the line and shape tool bars and of their popup entries. The popup entries are
// 32x16 with the line on rows 7 and 8.
#include "kv_iconentry.h"
#include "kv_iconpainter.h"

namespace {

using P = KV_IconPainter;

// Tool bar buttons (24x24).

void endingsButton(P& i) {
    i.bar(6, 11, 11, 2);
    i.dot(QPointF(5, 12), 3.2);
    i.arrowHead(QPointF(22.5, 12), QPointF(12, 12), 7, 4.5);
}

QPainterPath squiggle(QPointF from, qreal width, qreal amplitude) {
    QPainterPath path;
    const qreal step = width / 3;
    path.moveTo(from);
    for (int k = 0; k < 3; ++k) {
        const qreal x = from.x() + k * step;
        const qreal dy = (k % 2 ? amplitude : -amplitude) * 1.3;
        path.cubicTo(x + step * 0.35, from.y() + dy, x + step * 0.65, from.y() + dy, x + step,
                     from.y());
    }
    return path;
}

void typeButton(P& i) {
    i.stroke(squiggle(QPointF(3, 7), 18, 4), 2);
    i.line(QPointF(4, 18), QPointF(20, 18), 2);
    i.dot(QPointF(4, 18), 2.2);
    i.dot(QPointF(20, 18), 2.2);
}

void widthButton(P& i) {
    i.bar(3, 5, 18, 1);
    i.bar(3, 10, 18, 3);
    i.bar(3, 16, 18, 5);
}

void styleButton(P& i) {
    i.bar(3, 5, 18, 2);
    i.dashes(3, 21, 11, 2, 4, 3);
    i.dashes(3, 21, 17, 2, 2, 2);
}

void eyedropper(P& i) {
    i.dot(QPointF(5, 21), 1.8, P::paint());
    // Lying along x with the tip at +x, turned so the tip points down-left.
    i.turned(QPointF(13.5, 10.5), 135, [&] {
        i.rect(QRectF(-2.5, -2, 11, 4), 1.5, P::glass());
        i.arrowHead(QPointF(12, 0), QPointF(0, 0), 4, 1.6);
        i.ellipse(QRectF(-11, -3, 6, 6), 1, P::ink());
        i.rect(QRectF(-5.5, -3.75, 3, 7.5), 1, P::ink());
    });
}

void fillColourButton(P& i) {
    i.bar(10, 11, 12, 11);
    i.inBox(QRectF(0, -1, 17, 17), [&] { i.bucket(true); });
}

void redSwatch(P& i) {
    i.rect(QRectF(3.5, 3.5, 17, 17), 1.5, QColor(0xe0, 0x20, 0x20), 3);
}

void shapesButton(P& i) {
    i.rect(QRectF(3, 3, 8, 8));
    i.ellipse(QRectF(13, 2.5, 9, 9));
    i.rect(QRectF(7, 14, 10, 8), 2, Qt::NoBrush, 3);
}

// The "current setting, pick another" mark at the bottom right of the indicators.
void dropMark(P& i) {
    i.arrowHead(QPointF(19.5, 22), QPointF(19.5, 0), 3.5, 3.5);
}

void activeShape(P& i) {
    i.rect(QRectF(2, 2, 10, 8));
    i.ellipse(QRectF(6, 6.5, 11, 9), 2, QColor(0xff, 0xde, 0x80));
    dropMark(i);
}

void activeThickness(P& i) {
    i.bar(2, 11, 20, 3);
    i.arrowHead(QPointF(12, 9.5), QPointF(12, 0), 5, 3.5);
    i.arrowHead(QPointF(12, 15.5), QPointF(12, 24), 5, 3.5);
}

void activeFillColour(P& i) {
    i.inBox(QRectF(2, -1, 20, 20), [&] { i.bucket(true); });
    i.bar(2, 19, 20, 4);
}

// Popup entries (32x16).

enum End { Plain, Dot, Arrow };

void ending(P& i, End left, End right) {
    const qreal x0 = left == Plain ? 2 : left == Dot ? 5 : 8;
    const qreal x1 = right == Plain ? 30 : right == Dot ? 27 : 24;
    i.bar(x0, 7, x1 - x0, 2);
    if (left == Dot)
        i.dot(QPointF(5, 8), 3);
    if (right == Dot)
        i.dot(QPointF(27, 8), 3);
    if (left == Arrow)
        i.arrowHead(QPointF(1.5, 8), QPointF(16, 8), 7, 4.5);
    if (right == Arrow)
        i.arrowHead(QPointF(30.5, 8), QPointF(16, 8), 7, 4.5);
}

void endNone(P& i) {
    ending(i, Plain, Plain);
}
void endNoneDot(P& i) {
    ending(i, Plain, Dot);
}
void endDotNone(P& i) {
    ending(i, Dot, Plain);
}
void endDotDot(P& i) {
    ending(i, Dot, Dot);
}
void endNoneArrow(P& i) {
    ending(i, Plain, Arrow);
}
void endArrowNone(P& i) {
    ending(i, Arrow, Plain);
}
void endArrowArrow(P& i) {
    ending(i, Arrow, Arrow);
}

void freeForm(P& i) {
    i.stroke(squiggle(QPointF(3, 8), 26, 4), 2);
}

void connected(P& i) {
    const QPolygonF joints({{3, 12}, {10, 4}, {17, 12}, {24, 4}, {29, 11}});
    QPainterPath path;
    path.addPolygon(joints);
    i.stroke(path, 1.5);
    for (const QPointF& j : joints)
        i.bar(j.x() - 1.5, j.y() - 1.5, 3, 3);
}

void widthLine(P& i, int thickness) {
    i.bar(3, 8 - thickness / 2, 26, thickness);
}
void thin(P& i) {
    widthLine(i, 1);
}
void medium(P& i) {
    widthLine(i, 3);
}
void thick(P& i) {
    widthLine(i, 5);
}

void solid(P& i) {
    i.bar(3, 7, 26, 2);
}
void dashed(P& i) {
    i.dashes(3, 29, 7, 2, 6, 4);
}
void dotted(P& i) {
    i.dashes(3, 29, 7, 2, 2, 2);
}

void square(P& i) {
    i.rect(QRectF(4, 4, 16, 16));
}
void roundSquare(P& i) {
    i.rect(QRectF(4, 4, 16, 16), 2, Qt::NoBrush, 5);
}
void circle(P& i) {
    i.ellipse(QRectF(4, 4, 16, 16));
}

} // namespace

const std::vector<KV_IconEntry>& kvLineIcons() {
    static const std::vector<KV_IconEntry> table = {
        {"lineendingsidentifier.png", 24, 24, endingsButton},
        {"linetypeidentifier.png", 24, 24, typeButton},
        {"linewidthidentifier.png", 24, 24, widthButton},
        {"linestyleidentifier.png", 24, 24, styleButton},
        {"colorpicker.png", 24, 24, eyedropper},
        {"fillcoloridentifier.png", 24, 24, fillColourButton},
        {"colorholderred.png", 24, 24, redSwatch},
        {"shapeidentifier.png", 24, 24, shapesButton},
        {"activeshapestool.bmp", 24, 24, activeShape},
        {"activethickness.png", 24, 24, activeThickness},
        {"activethickness.bmp", 24, 24, activeThickness},
        {"activefillcolor.bmp", 24, 24, activeFillColour},
        {"lineendnone.png", 32, 16, endNone},
        {"lineendnonecircle.png", 32, 16, endNoneDot},
        {"lineendcirclenone.png", 32, 16, endDotNone},
        {"lineendcirclecircle.png", 32, 16, endDotDot},
        {"lineendnonearrow.png", 32, 16, endNoneArrow},
        {"lineendarrownone.png", 32, 16, endArrowNone},
        {"lineendarrowarrow.png", 32, 16, endArrowArrow},
        {"linetypefreeform.png", 32, 16, freeForm},
        {"linetypemultipleconnected.png", 32, 16, connected},
        {"linewidththin.png", 32, 16, thin},
        {"linewidthmedium.png", 32, 16, medium},
        {"linewidththick.png", 32, 16, thick},
        {"linestylesolid.png", 32, 16, solid},
        {"linestyledashed.png", 32, 16, dashed},
        {"linestyledotted.png", 32, 16, dotted},
        {"square.png", 24, 24, square},
        {"squareroundcorners.png", 24, 24, roundSquare},
        {"circle.png", 24, 24, circle},
    };
    return table;
}
