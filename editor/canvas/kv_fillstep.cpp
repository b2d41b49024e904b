#include "kv_fillstep.h"

#include <QImage>

#include <algorithm>

KV_FillStep::KV_FillStep(KV_FillRecord record) : fill(std::move(record)) {
    fill.runs.shrink_to_fit();
    for (const KV_PixelRun& run : fill.runs)
        bounds |= QRect(run.x0, run.y, run.x1 - run.x0, 1);
}

qint64 KV_FillStep::bytes() const {
    return qint64(sizeof(*this)) + qint64(fill.runs.capacity() * sizeof(KV_PixelRun));
}

void KV_FillStep::paint(QImage* picture, quint32 value) const {
    const QRect inside = picture->rect();
    const bool raw = fill.raw && picture->depth() == 32;
    for (const KV_PixelRun& run : fill.runs) {
        if (run.y < 0 || run.y >= inside.height())
            continue;
        const int x0 = std::max(run.x0, 0);
        const int x1 = std::min(run.x1, inside.width());
        if (raw) {
            auto* row = reinterpret_cast<quint32*>(picture->scanLine(run.y));
            std::fill(row + x0, row + x1, value);
        } else {
            for (int x = x0; x < x1; ++x)
                picture->setPixel(x, run.y, value);
        }
    }
}
