#include "kv_scaledpicture.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The pixmap's pixels in r as a 32-bit image. QPixmap::copy copies that rectangle alone, also
// while a painter is open on the pixmap.
QImage pixels32(const QPixmap& pm, const QRect& r) {
    QImage in = pm.copy(r).toImage();
    if (in.depth() != 32)
        in.convertTo(in.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                          : QImage::Format_RGB32);
    return in;
}

// Adds a row of pixels to per-pixel sums of two channels each, in the 16-bit halves of two
// words (at most 64 pixels of 255 each, which fits): one pass over contiguous memory.
void addColumns(const quint32* line, int width, quint32* redBlue, quint32* alphaGreen) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(0x00ff00ff);
    for (; x + 4 <= width; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
        auto* rb = reinterpret_cast<__m128i*>(redBlue + x);
        auto* ag = reinterpret_cast<__m128i*>(alphaGreen + x);
        _mm_storeu_si128(rb, _mm_add_epi32(_mm_loadu_si128(rb), _mm_and_si128(v, mask)));
        _mm_storeu_si128(
            ag, _mm_add_epi32(_mm_loadu_si128(ag), _mm_and_si128(_mm_srli_epi32(v, 8), mask)));
    }
#endif
    for (; x < width; ++x) {
        const quint32 v = line[x];
        redBlue[x] += v & 0x00ff00ffu;
        alphaGreen[x] += (v >> 8) & 0x00ff00ffu;
    }
}

} // namespace

void KV_ScaledPicture::draw(QPainter* p, const QPixmap& pm, const QRect& r, const QPoint& scroll,
                            int num, int den) {
    if (pm.isNull() || r.isEmpty())
        return;
    if (den > 1 && num == 1) {
        drawReduced(p, pm, r, scroll, den);
        return;
    }
    // Enlarged or 1:1: no reduced picture is kept.
    if (!reduced.isNull()) {
        reduced = QImage();
        valid = QRegion();
    }
    drawEnlarged(p, pm, r, scroll, std::max(num / std::max(den, 1), 1));
}

void KV_ScaledPicture::changed(const QRect& r) {
    if (reduced.isNull() || r.isEmpty())
        return;
    const int n = reducedBy;
    const int x0 = floorDiv(r.left(), n);
    const int y0 = floorDiv(r.top(), n);
    const int x1 = floorDiv(r.right(), n);
    const int y1 = floorDiv(r.bottom(), n);
    valid -= QRect(QPoint(x0, y0), QPoint(x1, y1));
}

void KV_ScaledPicture::changedAll() {
    valid = QRegion();
}

void KV_ScaledPicture::drawEnlarged(QPainter* p, const QPixmap& pm, const QRect& r,
                                    const QPoint& scroll, int n) {
    const QRect shown = r.translated(scroll);
    const QRect src = QRect(QPoint(floorDiv(shown.left(), n), floorDiv(shown.top(), n)),
                            QPoint(floorDiv(shown.right(), n), floorDiv(shown.bottom(), n))) &
                      pm.rect();
    if (src.isEmpty())
        return;
    if (n == 1) {
        p->drawPixmap(src.topLeft() - scroll, pm, src);
        return;
    }
    const QImage in = pixels32(pm, src);
    // The squares are drawn into a buffer kept from one paint to the next: new memory on every
    // paint would cost more than the drawing.
    const QSize outSize(src.width() * n, src.height() * n);
    if (enlarged.format() != in.format() || enlarged.width() < outSize.width() ||
        enlarged.height() < outSize.height())
        enlarged = QImage(outSize.expandedTo(enlarged.size()), in.format());
    QImage& out = enlarged;
    const bool grid = n >= GridFrom;
    const std::size_t rowBytes = std::size_t(outSize.width()) * 4;
    for (int y = 0; y < src.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(in.constScanLine(y));
        // One row of squares: the pixels repeated n times, the grid in the first of each.
        auto* row = reinterpret_cast<quint32*>(out.scanLine(y * n + (grid ? 1 : 0)));
        for (int x = 0; x < src.width(); ++x) {
            quint32* q = row + std::size_t(x) * std::size_t(n);
            const quint32 v = line[x];
            if (grid) {
                q[0] = gridColour(v);
                std::fill(q + 1, q + n, v);
            } else {
                std::fill(q, q + n, v);
            }
        }
        for (int k = grid ? 2 : 1; k < n; ++k)
            std::memcpy(out.scanLine(y * n + k), row, rowBytes);
        if (grid) {
            auto* top = reinterpret_cast<quint32*>(out.scanLine(y * n));
            for (int x = 0; x < src.width(); ++x)
                std::fill(top + std::size_t(x) * std::size_t(n),
                          top + std::size_t(x + 1) * std::size_t(n), gridColour(line[x]));
        }
    }
    p->drawImage(QPoint(src.x() * n, src.y() * n) - scroll, out, QRect(QPoint(0, 0), outSize));
}

void KV_ScaledPicture::drawReduced(QPainter* p, const QPixmap& pm, const QRect& r,
                                   const QPoint& scroll, int n) {
    const QSize size((pm.width() + n - 1) / n, (pm.height() + n - 1) / n);
    const QImage::Format format =
        pm.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (reducedBy != n || reduced.size() != size || reduced.format() != format) {
        reduced = QImage(size, format);
        reducedBy = n;
        valid = QRegion();
    }
    const QRect shown = r.translated(scroll) & reduced.rect();
    if (shown.isEmpty())
        return;
    const QRegion missing = QRegion(shown) - valid;
    for (const QRect& blocks : missing)
        reduce(pm, blocks, n);
    valid += missing;
    p->drawImage(shown.topLeft() - scroll, reduced, shown);
}

void KV_ScaledPicture::reduce(const QPixmap& pm, const QRect& blocks, int n) {
    const QRect src =
        QRect(blocks.x() * n, blocks.y() * n, blocks.width() * n, blocks.height() * n) & pm.rect();
    if (src.isEmpty())
        return;
    const int w = blocks.width();
    const quint32 full = quint32(n * n);
    int fullShift = 0;
    while ((1u << fullShift) < full)
        ++fullShift;
    // The sums of each column over the rows of one row of blocks.
    std::vector<quint32> redBlue(static_cast<std::size_t>(src.width()));
    std::vector<quint32> alphaGreen(static_cast<std::size_t>(src.width()));
    for (int by = 0; by < blocks.height(); ++by) {
        const int y0 = src.y() + by * n;
        if (y0 > src.bottom())
            break;
        const int rowsIn = std::min(n, src.bottom() + 1 - y0);
        // The rows of one row of blocks at a time: small enough for memory already in use.
        const QImage in = pixels32(pm, QRect(src.x(), y0, src.width(), rowsIn));
        std::fill(redBlue.begin(), redBlue.end(), 0u);
        std::fill(alphaGreen.begin(), alphaGreen.end(), 0u);
        for (int y = 0; y < rowsIn; ++y)
            addColumns(reinterpret_cast<const quint32*>(in.constScanLine(y)), src.width(),
                       redBlue.data(), alphaGreen.data());
        auto* out = reinterpret_cast<quint32*>(reduced.scanLine(blocks.y() + by)) + blocks.x();
        for (int bx = 0; bx < w; ++bx) {
            const int colsIn = std::min(n, src.width() - bx * n);
            if (colsIn <= 0)
                break;
            const quint32 count = quint32(colsIn * rowsIn);
            quint32 rb = 0;
            quint32 ag = 0;
            for (int k = bx * n; k < bx * n + colsIn; ++k) {
                rb += redBlue[std::size_t(k)];
                ag += alphaGreen[std::size_t(k)];
            }
            if (count == full) {
                // A whole block: n x n is a power of two.
                out[bx] = (((ag >> 16) >> fullShift) << 24) | (((rb >> 16) >> fullShift) << 16) |
                          (((ag & 0xffffu) >> fullShift) << 8) | ((rb & 0xffffu) >> fullShift);
                continue;
            }
            const quint32 b = (rb & 0xffffu) / count;
            const quint32 red = (rb >> 16) / count;
            const quint32 g = (ag & 0xffffu) / count;
            const quint32 a = (ag >> 16) / count;
            out[bx] = (a << 24) | (red << 16) | (g << 8) | b;
        }
    }
}
