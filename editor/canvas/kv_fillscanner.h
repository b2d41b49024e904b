// KV_FillScanner: the scan-line flood fill engine. Fills the 4-connected region of one pixel's
// exact colour in a QImage: a fast path for 32-bit images that tests and writes 16 pixels at a
// time, and a pixel-by-pixel path through QImage::pixel/setPixel for every other format.
#ifndef KV_FILLSCANNER_H
#define KV_FILLSCANNER_H

#include "kv_filllist.h"
#include "kv_fillrecord.h"

#include <QtGlobal>

class QImage;

class KV_FillScanner {
public:
    // Every pixel of the 4-connected region of (x, y) whose QImage::pixel value equals that of
    // (x, y) is set to `value` (as QImage::setPixel would). The same region as the breadth-first
    // fill (neighbours right, left, below, above); no recursion; extra memory one bit per pixel.
    // With `record`, it gets the runs of pixels filled (each pixel in one run) and the colours.
    void fill(QImage* image, unsigned value, int x, int y, KV_FillRecord* record = nullptr);

private:
    // `alphaMask` is or-ed into every pixel before comparing (the alpha byte of RGB32).
    void fill32(uchar* bits, qsizetype bpl, int w, int h, int x, int y, quint32 value,
                quint32 alphaMask, KV_PixelRuns* runs);
    void fillGeneric(QImage* image, unsigned value, int x, int y, KV_PixelRuns* runs);

    KV_FillList queue;
};

#endif
