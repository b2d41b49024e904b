// KV_ScaledPicture: draws a pixmap enlarged or reduced for a view; the pixmap itself never
// changes. Enlarged (scale n/1), every pixel is a square of n by n viewport pixels, with
// nothing smoothed, and from GridFrom on a one-pixel grid line along the top and the left of
// each square. Reduced (scale 1/n), every n by n block of pixels is shown as its average colour.
// Only the part of the pixmap that the painted rectangle shows is scaled. Reduced blocks are
// kept from one paint to the next and computed again only where the pixmap changed.
#ifndef KV_SCALEDPICTURE_H
#define KV_SCALEDPICTURE_H

#include <QImage>
#include <QRegion>

class QPainter;
class QPixmap;

class KV_ScaledPicture {
public:
    static constexpr int GridFrom = 8;

    // Draws what the viewport rectangle `r` shows of `pm` at the scale num/den (one of them 1),
    // where the viewport's top left corner lies at `scroll` in the scaled pixmap.
    void draw(QPainter* p, const QPixmap& pm, const QRect& r, const QPoint& scroll, int num,
              int den);
    // The pixmap changed within r (pixmap pixels), or all over, or is another one.
    void changed(const QRect& r);
    void changedAll();

    // The colour of the grid line over a pixel of colour c (32-bit, alpha kept).
    static quint32 gridColour(quint32 c) {
        return (c & 0xff000000u) | (((c >> 1) & 0x007f7f7fu) + 0x00404040u);
    }

private:
    void drawEnlarged(QPainter* p, const QPixmap& pm, const QRect& r, const QPoint& scroll, int n);
    void drawReduced(QPainter* p, const QPixmap& pm, const QRect& r, const QPoint& scroll, int n);
    // Computes the blocks of `blocks` (coordinates of the reduced picture) from the pixmap.
    void reduce(const QPixmap& pm, const QRect& blocks, int n);

    QImage enlarged; // room for the squares, kept between paints
    int reducedBy = 1;
    QImage reduced;
    QRegion valid; // the blocks of `reduced` that show the pixmap as it is
};

#endif
