// Qt 2 drawing of rectangles, ellipses and rounded rectangles on Qt 6.
// Qt 2 filled and outlined (x, y, w, h) so that a one-pixel pen covers exactly w x h pixels;
// Qt 6 covers (w + 1) x (h + 1), so the Qt 6 call gets w - 1 and h - 1. Qt 2 drew nothing for a
// zero width or height. drawRoundRect(x, y, w, h, 25, 25) is Qt 6's drawRoundedRect with
// Qt::RelativeSize.
#ifndef KV_QT2PAINT_H
#define KV_QT2PAINT_H

#include <QPainter>

namespace kvqt2 {

inline bool normalise(int& x, int& y, int& w, int& h) {
    if (w == 0 || h == 0)
        return false;
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    return true;
}

inline void drawRect(QPainter* p, int x, int y, int w, int h) {
    if (normalise(x, y, w, h))
        p->drawRect(x, y, w - 1, h - 1);
}

inline void drawEllipse(QPainter* p, int x, int y, int w, int h) {
    if (normalise(x, y, w, h))
        p->drawEllipse(x, y, w - 1, h - 1);
}

inline void drawRoundRect(QPainter* p, int x, int y, int w, int h, int xRnd = 25, int yRnd = 25) {
    if (normalise(x, y, w, h))
        p->drawRoundedRect(QRectF(x, y, w - 1, h - 1), xRnd, yRnd, Qt::RelativeSize);
}

} // namespace kvqt2

#endif
