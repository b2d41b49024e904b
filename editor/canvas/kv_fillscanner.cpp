#include "kv_fillscanner.h"

#include <QImage>
#include <QtCore/qalgorithms.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// ---- scan helpers ------------------------------------------------------------------------

namespace {

// Bit i set when pixel p[i] of the 16 from p is of the target colour ((p[i] | m) == t).
#if defined(__SSE2__)
inline __m128i match4(const quint32* p, __m128i vm, __m128i vt) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return _mm_cmpeq_epi32(_mm_or_si128(v, vm), vt);
}

inline unsigned match16(const quint32* p, __m128i vm, __m128i vt) {
    // The four all-ones or all-zero lanes of each compare, packed to 16 bytes in pixel order.
    const __m128i lo = _mm_packs_epi32(match4(p, vm, vt), match4(p + 4, vm, vt));
    const __m128i hi = _mm_packs_epi32(match4(p + 8, vm, vt), match4(p + 12, vm, vt));
    return unsigned(_mm_movemask_epi8(_mm_packs_epi16(lo, hi)));
}
#endif

// First i in [from, to) with ((p[i] | m) == t) == Want, or `to`.
template <bool Want>
inline int scanRight(const quint32* p, int from, int to, quint32 m, quint32 t) {
    int i = from;
#if defined(__SSE2__)
    const __m128i vm = _mm_set1_epi32(int(m));
    const __m128i vt = _mm_set1_epi32(int(t));
    for (; i + 16 <= to; i += 16) {
        const unsigned mask = match16(p + i, vm, vt);
        const unsigned hit = Want ? mask : (~mask & 0xffffu);
        if (hit)
            return i + int(qCountTrailingZeroBits(hit));
    }
#endif
    for (; i < to; ++i) {
        if (((p[i] | m) == t) == Want)
            return i;
    }
    return to;
}

// Last i in [to, from] with ((p[i] | m) == t) == Want scanning leftwards from `from`, or to - 1.
template <bool Want>
inline int scanLeft(const quint32* p, int from, int to, quint32 m, quint32 t) {
    int i = from;
#if defined(__SSE2__)
    const __m128i vm = _mm_set1_epi32(int(m));
    const __m128i vt = _mm_set1_epi32(int(t));
    for (; i - 15 >= to; i -= 16) {
        const unsigned mask = match16(p + i - 15, vm, vt);
        const unsigned hit = Want ? mask : (~mask & 0xffffu);
        if (hit)
            return i - 15 + (31 - int(qCountLeadingZeroBits(hit)));
    }
#endif
    for (; i >= to; --i) {
        if (((p[i] | m) == t) == Want)
            return i;
    }
    return to - 1;
}

// Fills from `from` rightwards while the pixels are of the target colour, up to `to`; returns
// the first index not filled (a pixel of another colour, or `to`). One pass: each block of
// pixels is tested and written together.
inline int fillRight(quint32* p, int from, int to, quint32 m, quint32 t, quint32 value) {
    int i = from;
#if defined(__SSE2__)
    const __m128i vm = _mm_set1_epi32(int(m));
    const __m128i vt = _mm_set1_epi32(int(t));
    const __m128i vv = _mm_set1_epi32(int(value));
    for (; i + 16 <= to && match16(p + i, vm, vt) == 0xffffu; i += 16) {
        __m128i* q = reinterpret_cast<__m128i*>(p + i);
        _mm_storeu_si128(q, vv);
        _mm_storeu_si128(q + 1, vv);
        _mm_storeu_si128(q + 2, vv);
        _mm_storeu_si128(q + 3, vv);
    }
#endif
    for (; i < to && (p[i] | m) == t; ++i)
        p[i] = value;
    return i;
}

struct Span {
    int a;
    int b;
};

// One fill of a 32-bit image. Sweeps down and up the picture. A sweep carries the spans it
// filled in one row to the next row, where every run of target pixels inside them is filled at
// once (grown past the span's ends where it touches them) and carried on in turn. Target pixels
// that a filled span touches in the row behind the sweep (beside the span it came from) get a
// seed in the seed map; the next sweep the other way takes the seeds, grows them into spans and
// carries those on. Every filled span is maximal and passes the fill on to both neighbouring
// rows, so the result is the 4-connected region of the seed, as the breadth-first fill finds
// it. Each pixel is tested about once and written once.
class Sweep32 {
public:
    Sweep32(KV_FillList& queue, uchar* bits, qsizetype bpl, int w, int h, quint32 value, quint32 m,
            quint32 target, KV_PixelRuns* runs)
        : queue(queue), bits(bits), bpl(bpl), w(w), h(h), value(value), m(m), target(target),
          runs(runs) {
        parents.reserve(std::size_t(w) / 2 + 1);
        spans.reserve(std::size_t(w) / 2 + 1);
    }

    void run(int x, int y);

private:
    quint32* row(int r) const { return reinterpret_cast<quint32*>(bits + bpl * r); }
    // Seeds at the first pixel of every run of target pixels in [from, to) of row r.
    void markRuns(int r, int from, int to);
    // Fills the runs inside the spans carried from the row behind into row r.
    void carry(int r, int behind);
    // Grows the seeds of row r into spans that pass the fill on both ways.
    void growSeeds(int r, int behind);
    void filled(int r, int left, int right) {
        spans.push_back({left, right});
        if (runs)
            runs->push_back({r, left, right});
    }

    KV_FillList& queue;
    uchar* bits;
    qsizetype bpl;
    int w;
    int h;
    quint32 value;
    quint32 m;
    quint32 target;
    KV_PixelRuns* runs;
    std::vector<Span> parents;
    std::vector<Span> spans;
};

void Sweep32::markRuns(int r, int from, int to) {
    if (r < 0 || r >= h || from >= to)
        return;
    const quint32* q = row(r);
    int i = from;
    while (i < to) {
        const int s = scanRight<true>(q, i, to, m, target);
        if (s >= to)
            break;
        queue.mark(s, r);
        i = scanRight<false>(q, s + 1, to, m, target);
    }
}

void Sweep32::carry(int r, int behind) {
    quint32* p = row(r);
    for (const Span& ps : parents) {
        int i = ps.a;
        while (i < ps.b) {
            const int s = scanRight<true>(p, i, ps.b, m, target);
            if (s >= ps.b)
                break;
            // Filled as it is scanned: the run is in the region (it touches the span).
            const int e = fillRight(p, s, ps.b, m, target, value);
            const int left = s == ps.a ? scanLeft<false>(p, s - 1, 0, m, target) + 1 : s;
            const int right = e == ps.b ? fillRight(p, e, w, m, target, value) : e;
            std::fill(p + left, p + s, value);
            filled(r, left, right);
            markRuns(behind, left, ps.a);
            markRuns(behind, ps.b, right);
            i = right + 1;
        }
    }
}

void Sweep32::growSeeds(int r, int behind) {
    if (!queue.rowPending(r))
        return;
    quint32* p = row(r);
    queue.takeRow(r);
    int sx = queue.takeSeed(r, 0);
    while (sx >= 0) {
        if ((p[sx] | m) != target) {
            sx = queue.takeSeed(r, sx + 1);
            continue;
        }
        const int left = scanLeft<false>(p, sx - 1, 0, m, target) + 1;
        const int right = fillRight(p, sx, w, m, target, value);
        std::fill(p + left, p + sx, value);
        filled(r, left, right);
        markRuns(behind, left, right);
        queue.clearSeeds(r, sx, right);
        sx = queue.takeSeed(r, right);
    }
}

void Sweep32::run(int x, int y) {
    queue.start(w, h);
    queue.mark(x, y);
    bool down = true;
    int r = y;
    for (;;) {
        if (parents.empty()) {
            const int next = queue.nextRow(r, down);
            if (next < 0) {
                if (queue.isEmpty())
                    break;
                down = !down;
                r = down ? 0 : h - 1;
                continue;
            }
            r = next;
        }
        const int behind = down ? r - 1 : r + 1;
        spans.clear();
        carry(r, behind);
        growSeeds(r, behind);
        parents.swap(spans);
        r += down ? 1 : -1;
        if (r < 0 || r >= h) {
            parents.clear();
            r = r < 0 ? 0 : h - 1;
        }
    }
    queue.clear();
}

// The region of the pixel-by-pixel fill, for formats other than 32-bit (the document's pictures
// are always 32-bit): QImage::pixel and setPixel. A filled pixel may still read as the target
// colour in such a format (an indexed image, say), so a second bit per pixel marks what is
// filled.
class GenericRegion {
public:
    GenericRegion(QImage* image, QRgb target)
        : image(image), target(target), w(image->width()), h(image->height()),
          filled((std::size_t(w) * std::size_t(h) + 63) / 64, 0) {}

    bool contains(int x, int y) const {
        const std::size_t b = std::size_t(y) * std::size_t(w) + std::size_t(x);
        return !((filled[b >> 6] >> (b & 63)) & 1) && image->pixel(x, y) == target;
    }
    void set(int x, int y, unsigned value) {
        image->setPixel(x, y, value);
        const std::size_t b = std::size_t(y) * std::size_t(w) + std::size_t(x);
        filled[b >> 6] |= std::uint64_t(1) << (b & 63);
    }
    // Seeds at the first pixel of every run of region pixels in [left, right) of row r.
    void markRuns(KV_FillList& queue, int r, int left, int right) const {
        if (r < 0 || r >= h)
            return;
        bool inRun = false;
        for (int i = left; i < right; ++i) {
            const bool t = contains(i, r);
            if (t && !inRun)
                queue.mark(i, r);
            inRun = t;
        }
    }

private:
    QImage* image;
    QRgb target;
    int w;
    int h;
    std::vector<std::uint64_t> filled;
};

} // namespace

// ---- the fill ----------------------------------------------------------------------------

void KV_FillScanner::fill(QImage* image, unsigned value, int x, int y, KV_FillRecord* record) {
    if (!image || image->isNull() || !image->valid(x, y))
        return;
    KV_PixelRuns* runs = record ? &record->runs : nullptr;
    const QImage::Format format = image->format();
    if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
        format == QImage::Format_ARGB32_Premultiplied) {
        // QImage::pixel reads an RGB32 pixel with its alpha byte set, and setPixel writes it so;
        // the two alpha formats (premultiplied included) are read and written as stored.
        const quint32 alphaMask = format == QImage::Format_RGB32 ? 0xff000000u : 0u;
        uchar* bits = image->bits();
        if (record) {
            record->raw = true;
            record->before =
                reinterpret_cast<const quint32*>(image->constScanLine(y))[x] | alphaMask;
            record->after = quint32(value) | alphaMask;
        }
        fill32(bits, image->bytesPerLine(), image->width(), image->height(), x, y,
               quint32(value) | alphaMask, alphaMask, runs);
    } else {
        if (record) {
            // setPixel takes an index for an indexed image, a colour for any other.
            record->raw = false;
            record->before =
                image->colorCount() > 0 ? uint(image->pixelIndex(x, y)) : image->pixel(x, y);
            record->after = value;
        }
        fillGeneric(image, value, x, y, runs);
    }
}

void KV_FillScanner::fill32(uchar* bits, qsizetype bpl, int w, int h, int x, int y, quint32 value,
                            quint32 m, KV_PixelRuns* runs) {
    const quint32 target = reinterpret_cast<quint32*>(bits + bpl * y)[x] | m;
    // Filling with the colour the region already has changes no pixel.
    if ((value | m) == target)
        return;
    Sweep32(queue, bits, bpl, w, h, value, m, target, runs).run(x, y);
}

void KV_FillScanner::fillGeneric(QImage* image, unsigned value, int x, int y, KV_PixelRuns* runs) {
    const int w = image->width();
    const int h = image->height();
    GenericRegion region(image, image->pixel(x, y));
    queue.start(w, h);
    queue.mark(x, y);
    bool down = true;
    int current = y;
    while (!queue.isEmpty()) {
        const int r = queue.nextRow(current, down);
        if (r < 0) {
            down = !down;
            current = down ? 0 : h - 1;
            continue;
        }
        current = r;
        queue.takeRow(r);
        int sx = queue.takeSeed(r, 0);
        while (sx >= 0) {
            if (!region.contains(sx, r)) {
                sx = queue.takeSeed(r, sx + 1);
                continue;
            }
            int left = sx;
            while (left > 0 && region.contains(left - 1, r))
                --left;
            int right = sx + 1;
            while (right < w && region.contains(right, r))
                ++right;
            for (int i = left; i < right; ++i)
                region.set(i, r, value);
            if (runs)
                runs->push_back({r, left, right});
            region.markRuns(queue, r - 1, left, right);
            region.markRuns(queue, r + 1, left, right);
            queue.clearSeeds(r, sx, right);
            sx = queue.takeSeed(r, right);
        }
    }
    queue.clear();
}
