#include "kv_previewpainter.h"

#include "kvq_imagedocument.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdlib>

namespace {

// Length along the major axis of each rectangle that covers a line.
constexpr int LinePiece = 16;

} // namespace

QRect KV_PreviewPainter::around(QPoint p, int radius) {
    return QRect(p.x() - radius, p.y() - radius, 2 * radius + 1, 2 * radius + 1);
}

void KV_PreviewPainter::addLine(Area& area, QPoint a, QPoint b, int margin) {
    // The line is cut into runs along its major axis that do not overlap; each run's rectangle
    // spans the minor coordinates the line takes there, widened by the margin on every side.
    const bool xMajor = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
    if (!xMajor) {
        a = a.transposed();
        b = b.transposed();
    }
    if (a.x() > b.x())
        std::swap(a, b);
    const qint64 dx = qint64(b.x()) - a.x();
    const qint64 dy = qint64(b.y()) - a.y();
    // The minor coordinate at major coordinate x, rounded down or up.
    const auto minorAt = [&](qint64 x, bool up) {
        if (dx == 0)
            return qint64(up ? std::max(a.y(), b.y()) : std::min(a.y(), b.y()));
        const qint64 num = dy * (x - a.x());
        qint64 q = num / dx;
        if (num % dx != 0 && (num < 0) != up)
            q += up ? 1 : -1;
        return a.y() + q;
    };
    for (qint64 x0 = a.x(); x0 <= b.x(); x0 += LinePiece) {
        const qint64 x1 = std::min<qint64>(x0 + LinePiece - 1, b.x());
        const qint64 lo = std::min(minorAt(x0, false), minorAt(x1, false));
        const qint64 hi = std::max(minorAt(x0, true), minorAt(x1, true));
        const int left = int(x0 == a.x() ? x0 - margin : x0);
        const int right = int(x1 == b.x() ? x1 + margin : x1);
        const QPoint first(left, int(lo - margin));
        const QPoint last(right, int(hi + margin));
        area.push_back(xMajor ? QRect(first, last) : QRect(first.transposed(), last.transposed()));
    }
}

bool KV_PreviewPainter::canRestore(KVQ_ImageDocument* doc) const {
    const QPixmap* picture = doc->pmScaled();
    // The document lets the buffer go (a null pixmap) whenever it shows the picture again; a
    // painter opened on the buffer by anyone else changes its cache key.
    return buffer && doc->canvas() && &doc->canvas()->shownPixmap() == buffer &&
           !buffer->isNull() && buffer->size() == picture->size() &&
           buffer->hasAlphaChannel() == picture->hasAlphaChannel() &&
           buffer->cacheKey() == bufferKey && picture->cacheKey() == pictureKey;
}

void KV_PreviewPainter::remember(KVQ_ImageDocument* doc, const Area& area) {
    covered.clear();
    for (const QRect& r : area) {
        const QRect inside = r & buffer->rect();
        if (!inside.isEmpty())
            covered.push_back(inside);
    }
    bufferKey = buffer->cacheKey();
    pictureKey = doc->pmScaled()->cacheKey();
}

void KV_PreviewPainter::show(KVQ_ImageDocument* doc, const Area& area, const Paint& paint) {
    if (!canRestore(doc)) {
        buffer = doc->previewCopy();
        {
            QPainter painter(buffer);
            paint(&painter);
        }
        remember(doc, area);
        doc->updateImage(buffer);
        return;
    }
    const Area previous = std::move(covered);
    {
        QPainter restore(buffer);
        restore.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& r : previous)
            restore.drawPixmap(r.topLeft(), *doc->pmScaled(), r);
    }
    {
        QPainter painter(buffer);
        paint(&painter);
    }
    remember(doc, area);
    // The canvas shows the buffer by reference: only the changed pixels need repainting.
    QCanvas* canvas = doc->canvas();
    for (const QRect& r : previous)
        canvas->setChanged(r);
    for (const QRect& r : covered)
        canvas->setChanged(r);
}
