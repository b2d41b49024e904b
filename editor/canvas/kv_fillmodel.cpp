#include "kv_fillmodel.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// ---- FillList ----------------------------------------------------------------------------

void KV_FillModel::FillList::start(int width, int height) {
    w = width;
    h = height;
    pendingRows = 0;
    const std::size_t bits = std::size_t(width) * std::size_t(height);
    seeds.assign((bits + 63) / 64, 0);
    rows.assign((std::size_t(height) + 63) / 64, 0);
}

void KV_FillModel::FillList::clear() {
    std::vector<std::uint64_t>().swap(seeds);
    std::vector<std::uint64_t>().swap(rows);
    pendingRows = 0;
    w = h = 0;
}

int KV_FillModel::FillList::nextRow(int from, bool down) const {
    if (pendingRows == 0 || from < 0 || from >= h)
        return -1;
    if (down) {
        std::size_t word = std::size_t(from) >> 6;
        std::uint64_t bitsLeft = rows[word] & (~std::uint64_t(0) << (from & 63));
        for (;;) {
            if (bitsLeft)
                return int(word * 64 + std::size_t(__builtin_ctzll(bitsLeft)));
            if (++word >= rows.size())
                return -1;
            bitsLeft = rows[word];
        }
    }
    std::ptrdiff_t word = from >> 6;
    const int shift = 63 - (from & 63);
    std::uint64_t bitsLeft = rows[std::size_t(word)] & (~std::uint64_t(0) >> shift);
    for (;;) {
        if (bitsLeft)
            return int(word * 64 + 63 - __builtin_clzll(bitsLeft));
        if (--word < 0)
            return -1;
        bitsLeft = rows[std::size_t(word)];
    }
}

void KV_FillModel::FillList::takeRow(int y) {
    std::uint64_t& r = rows[std::size_t(y) >> 6];
    const std::uint64_t rb = std::uint64_t(1) << (y & 63);
    if (r & rb) {
        r &= ~rb;
        --pendingRows;
    }
}

int KV_FillModel::FillList::takeSeed(int y, int x) {
    if (x >= w)
        return -1;
    const std::size_t rowStart = std::size_t(y) * std::size_t(w);
    std::size_t bit = rowStart + std::size_t(x);
    const std::size_t end = rowStart + std::size_t(w);
    while (bit < end) {
        const std::size_t word = bit >> 6;
        const std::uint64_t v = seeds[word] & (~std::uint64_t(0) << (bit & 63));
        if (v) {
            const std::size_t found = word * 64 + std::size_t(__builtin_ctzll(v));
            if (found >= end)
                return -1;
            seeds[word] &= ~(std::uint64_t(1) << (found & 63));
            return int(found - rowStart);
        }
        bit = (word + 1) * 64;
    }
    return -1;
}

void KV_FillModel::FillList::clearSeeds(int y, int x0, int x1) {
    const std::size_t rowStart = std::size_t(y) * std::size_t(w);
    std::size_t b = rowStart + std::size_t(x0);
    const std::size_t e = rowStart + std::size_t(x1);
    while (b < e) {
        const std::size_t word = b >> 6;
        const std::size_t lo = b & 63;
        const std::size_t n = std::min<std::size_t>(64 - lo, e - b);
        const std::uint64_t mask = (n == 64 ? ~std::uint64_t(0) : ((std::uint64_t(1) << n) - 1))
                                   << lo;
        seeds[word] &= ~mask;
        b += n;
    }
}

// ---- scan helpers ------------------------------------------------------------------------

namespace {

// First i in [from, to) with ((p[i] | m) == t) == want, or `to`.
template <bool Want>
inline int scanRight(const quint32* p, int from, int to, quint32 m, quint32 t) {
    int i = from;
#if defined(__SSE2__)
    const __m128i vm = _mm_set1_epi32(int(m));
    const __m128i vt = _mm_set1_epi32(int(t));
    // Scalar until 16-byte alignment is irrelevant for loadu; go in blocks of 16 pixels.
    while (i + 16 <= to) {
        const __m128i a = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), vm), vt);
        const __m128i b = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 4)), vm), vt);
        const __m128i c = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 8)), vm), vt);
        const __m128i d = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 12)), vm), vt);
        const int mask = _mm_movemask_ps(_mm_castsi128_ps(a)) |
                         (_mm_movemask_ps(_mm_castsi128_ps(b)) << 4) |
                         (_mm_movemask_ps(_mm_castsi128_ps(c)) << 8) |
                         (_mm_movemask_ps(_mm_castsi128_ps(d)) << 12);
        const int hit = Want ? mask : (~mask & 0xffff);
        if (hit)
            return i + __builtin_ctz(unsigned(hit));
        i += 16;
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
    while (i - 15 >= to) {
        const quint32* q = p + i - 15;
        const __m128i a = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)), vm), vt);
        const __m128i b = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 4)), vm), vt);
        const __m128i c = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 8)), vm), vt);
        const __m128i d = _mm_cmpeq_epi32(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 12)), vm), vt);
        const int mask = _mm_movemask_ps(_mm_castsi128_ps(a)) |
                         (_mm_movemask_ps(_mm_castsi128_ps(b)) << 4) |
                         (_mm_movemask_ps(_mm_castsi128_ps(c)) << 8) |
                         (_mm_movemask_ps(_mm_castsi128_ps(d)) << 12);
        const int hit = Want ? mask : (~mask & 0xffff);
        if (hit)
            return i - 15 + (31 - __builtin_clz(unsigned(hit)));
        i -= 16;
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
    while (i + 16 <= to) {
        __m128i* q = reinterpret_cast<__m128i*>(p + i);
        const __m128i a = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(q), vm), vt);
        const __m128i b = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(q + 1), vm), vt);
        const __m128i c = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(q + 2), vm), vt);
        const __m128i d = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(q + 3), vm), vt);
        const __m128i all = _mm_and_si128(_mm_and_si128(a, b), _mm_and_si128(c, d));
        if (_mm_movemask_ps(_mm_castsi128_ps(all)) != 0xf)
            break;
        _mm_storeu_si128(q, vv);
        _mm_storeu_si128(q + 1, vv);
        _mm_storeu_si128(q + 2, vv);
        _mm_storeu_si128(q + 3, vv);
        i += 16;
    }
#endif
    for (; i < to && (p[i] | m) == t; ++i)
        p[i] = value;
    return i;
}

} // namespace

// ---- the model ---------------------------------------------------------------------------

KV_FillModel::KV_FillModel(KV_ToolsController* c) : controller(c) {
    if (!controller)
        MessageBox(QStringLiteral("Error in tools controller"));
}

KV_FillModel::~KV_FillModel() = default;

KVQ_ImageDocument* KV_FillModel::document() const {
    return controller ? controller->document() : nullptr;
}

void KV_FillModel::MessageBox(QString message) {
    QMessageBox::warning(document(), QStringLiteral("Title"),
                         QStringLiteral("Message ->") + message, QMessageBox::Ok);
}

void KV_FillModel::mousePress(QMouseEvent* e) {
    KVQ_ImageDocument* doc = document();
    if (!doc)
        return;
    const QPoint p = e->position().toPoint();
    QPixmap* picture = doc->pmScaled();
    if (!QRect(0, 0, picture->width(), picture->height()).contains(p))
        return;
    // One pixel is enough to decide whether to fill at all (a whole image would be a copy of
    // the picture while the document paints on it).
    if (picture->copy(p.x(), p.y(), 1, 1).toImage().pixel(0, 0) == 0xff000000u)
        return;
    // The picture is converted to an image and back once: with the painter ended and the pixmap
    // let go, the image holds the only reference to the pixels, so neither step copies them.
    QPainter* painter = doc->painter();
    if (painter->isActive())
        painter->end();
    QImage image = picture->toImage();
    *picture = QPixmap();
    // The fill paints black: pixel value 0, which an image with an alpha channel would take as
    // transparent, so such an image gets opaque black.
    fillRegion(&image, image.hasAlphaChannel() ? 0xff000000u : 0u, p.x(), p.y());
    *picture = QPixmap::fromImage(std::move(image));
    painter->begin(picture);
    doc->updateImage();
}

void KV_FillModel::fillRegion(QImage* image, unsigned value, int x, int y) {
    if (!image || image->isNull() || !image->valid(x, y))
        return;
    const QImage::Format format = image->format();
    if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
        format == QImage::Format_ARGB32_Premultiplied) {
        // QImage::pixel reads an RGB32 pixel with its alpha byte set, and setPixel writes it so;
        // the two alpha formats (premultiplied included) are read and written as stored.
        const quint32 alphaMask = format == QImage::Format_RGB32 ? 0xff000000u : 0u;
        uchar* bits = image->bits();
        fillRaw32(bits, image->bytesPerLine(), image->width(), image->height(), x, y,
                  quint32(value) | alphaMask, alphaMask);
    } else {
        fillGeneric(image, value, x, y);
    }
}

void KV_FillModel::fillRaw32(uchar* bits, qsizetype bpl, int w, int h, int x, int y, quint32 value,
                             quint32 m) {
    auto row = [&](int r) { return reinterpret_cast<quint32*>(bits + bpl * r); };
    const quint32 target = row(y)[x] | m;
    // Filling with the colour the region already has changes no pixel.
    if ((value | m) == target)
        return;

    // Sweeps down and up the picture. A sweep carries the spans it filled in one row to the next
    // row, where every run of target pixels inside them is filled at once (grown past the span's
    // ends where it touches them) and carried on in turn. Target pixels that a filled span touches
    // in the row behind the sweep (beside the span it came from) get a seed in the seed map; the
    // next sweep the other way takes the seeds, grows them into spans and carries those on.
    // Every filled span is maximal and passes the fill on to both neighbouring rows, so the
    // result is the 4-connected region of the seed, as the breadth-first fill finds it. Each
    // pixel is tested about once and written once.
    struct Span {
        int a;
        int b;
    };
    std::vector<Span> parents;
    std::vector<Span> spans;
    parents.reserve(std::size_t(w) / 2 + 1);
    spans.reserve(std::size_t(w) / 2 + 1);

    // Seeds at the first pixel of every run of target pixels in [from, to) of row r.
    auto markRuns = [&](int r, int from, int to) {
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
    };

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
        quint32* p = row(r);
        spans.clear();
        // Runs inside the spans carried from the row behind.
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
                spans.push_back({left, right});
                markRuns(behind, left, ps.a);
                markRuns(behind, ps.b, right);
                i = right + 1;
            }
        }
        // Seeds of this row: grown into spans that pass the fill on both ways.
        if (queue.rowPending(r)) {
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
                spans.push_back({left, right});
                markRuns(behind, left, right);
                queue.clearSeeds(r, sx, right);
                sx = queue.takeSeed(r, right);
            }
        }
        parents.swap(spans);
        r += down ? 1 : -1;
        if (r < 0 || r >= h) {
            parents.clear();
            r = r < 0 ? 0 : h - 1;
        }
    }
    queue.clear();
}

void KV_FillModel::fillGeneric(QImage* image, unsigned value, int x, int y) {
    // Formats other than 32-bit (the document's pictures are always 32-bit): QImage::pixel and
    // setPixel, pixel by pixel. A filled pixel may still read as the target colour in such a
    // format (an indexed image, say), so this path keeps a second bit per pixel, marking what
    // is filled.
    const int w = image->width();
    const int h = image->height();
    const QRgb target = image->pixel(x, y);
    std::vector<std::uint64_t> filled((std::size_t(w) * std::size_t(h) + 63) / 64, 0);
    auto isFilled = [&](int px, int py) {
        const std::size_t b = std::size_t(py) * std::size_t(w) + std::size_t(px);
        return (filled[b >> 6] >> (b & 63)) & 1;
    };
    auto setFilled = [&](int px, int py) {
        const std::size_t b = std::size_t(py) * std::size_t(w) + std::size_t(px);
        filled[b >> 6] |= std::uint64_t(1) << (b & 63);
    };
    auto inRegion = [&](int px, int py) {
        return !isFilled(px, py) && image->pixel(px, py) == target;
    };
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
            if (!inRegion(sx, r)) {
                sx = queue.takeSeed(r, sx + 1);
                continue;
            }
            int left = sx;
            while (left > 0 && inRegion(left - 1, r))
                --left;
            int right = sx + 1;
            while (right < w && inRegion(right, r))
                ++right;
            for (int i = left; i < right; ++i) {
                image->setPixel(i, r, value);
                setFilled(i, r);
            }
            for (int nr = r - 1; nr <= r + 1; nr += 2) {
                if (nr < 0 || nr >= h)
                    continue;
                bool inRun = false;
                for (int i = left; i < right; ++i) {
                    const bool t = inRegion(i, nr);
                    if (t && !inRun)
                        queue.mark(i, nr);
                    inRun = t;
                }
            }
            queue.clearSeeds(r, sx, right);
            sx = queue.takeSeed(r, right);
        }
    }
    queue.clear();
}
