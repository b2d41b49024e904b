// KV_FillRecord: what one flood fill did, for the history: the runs of pixels it filled, the
// colour they all had and the one they got.
#ifndef KV_FILLRECORD_H
#define KV_FILLRECORD_H

#include <QtGlobal>

#include <vector>

// The pixels [x0, x1) of row y.
struct KV_PixelRun {
    int y;
    int x0;
    int x1;
};

using KV_PixelRuns = std::vector<KV_PixelRun>;

struct KV_FillRecord {
    KV_PixelRuns runs;
    // With `raw`, the 32-bit pixel values as stored in the image; otherwise what QImage::setPixel
    // takes to give a pixel its colour before and after (a colour, or an index).
    quint32 before = 0;
    quint32 after = 0;
    bool raw = false;
};

#endif
