#include "kv_tilestep.h"

#include <QPixmap>

#include <algorithm>
#include <cstring>

namespace {

// The picture's pixels in r. QPixmap::copy copies that rectangle alone, also while a painter is
// open on the picture (a whole-picture QPixmap::toImage would copy every pixel then).
QImage readPixels(const QPixmap& picture, const QRect& r, QImage::Format format) {
    QImage part = picture.copy(r).toImage();
    if (format != QImage::Format_Invalid && part.format() != format)
        part.convertTo(format);
    return part;
}

} // namespace

KV_TileStep::KV_TileStep(QSize pictureSize)
    : size(pictureSize), columns((pictureSize.width() + TileSize - 1) / TileSize),
      rows((pictureSize.height() + TileSize - 1) / TileSize),
      kept((std::size_t(columns) * std::size_t(rows) + 63) / 64, 0) {}

QRect KV_TileStep::tileRect(int index) const {
    const int tx = index % columns;
    const int ty = index / columns;
    return QRect(tx * TileSize, ty * TileSize, TileSize, TileSize) & QRect(QPoint(0, 0), size);
}

KV_TileStep::Tile KV_TileStep::take(int index, const uchar* source, qsizetype sourceBpl,
                                    QPoint origin, std::vector<uchar>& out) const {
    const QRect r = tileRect(index);
    // Tiles start at multiples of 32 pixels: whole bytes at every depth.
    const uchar* first =
        source + (r.y() - origin.y()) * sourceBpl + (qsizetype(r.x() - origin.x()) * depth) / 8;
    if (depth == 32) {
        const quint32 colour = *reinterpret_cast<const quint32*>(first);
        bool alike = true;
        for (int y = 0; y < r.height() && alike; ++y) {
            const auto* p = reinterpret_cast<const quint32*>(first + y * sourceBpl);
            alike = std::all_of(p, p + r.width(), [colour](quint32 v) { return v == colour; });
        }
        if (alike)
            return {index, colour, -1};
    }
    const qsizetype rb = rowBytes(r.width());
    const qsizetype offset = qsizetype(out.size());
    out.resize(std::size_t(offset + rb * r.height()));
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(out.data() + offset + y * rb, first + y * sourceBpl, std::size_t(rb));
    return {index, 0, offset};
}

bool KV_TileStep::sameAs(const Tile& t, const uchar* source, qsizetype sourceBpl,
                         QPoint origin) const {
    const QRect r = tileRect(t.index);
    const uchar* first =
        source + (r.y() - origin.y()) * sourceBpl + (qsizetype(r.x() - origin.x()) * depth) / 8;
    if (t.offset < 0) {
        for (int y = 0; y < r.height(); ++y) {
            const auto* p = reinterpret_cast<const quint32*>(first + y * sourceBpl);
            if (!std::all_of(p, p + r.width(), [&t](quint32 v) { return v == t.colour; }))
                return false;
        }
        return true;
    }
    const qsizetype rb = rowBytes(r.width());
    for (int y = 0; y < r.height(); ++y)
        if (std::memcmp(tileBytes(t) + y * rb, first + y * sourceBpl, std::size_t(rb)) != 0)
            return false;
    return true;
}

void KV_TileStep::keep(const QPixmap& picture, const QRect& area) {
    const QRect r = area & QRect(QPoint(0, 0), size);
    if (r.isEmpty() || picture.size() != size || kept.empty())
        return;
    std::vector<int> wanted;
    for (int ty = r.top() / TileSize; ty <= r.bottom() / TileSize; ++ty) {
        wanted.clear();
        for (int tx = r.left() / TileSize; tx <= r.right() / TileSize; ++tx) {
            const int index = ty * columns + tx;
            std::uint64_t& word = kept[std::size_t(index) >> 6];
            const std::uint64_t bit = std::uint64_t(1) << (index & 63);
            if (!(word & bit)) {
                word |= bit;
                wanted.push_back(index);
            }
        }
        if (wanted.empty())
            continue;
        // One copy for the tiles of this row.
        const QRect band = tileRect(wanted.front()) | tileRect(wanted.back());
        const QImage part = readPixels(picture, band, format);
        if (format == QImage::Format_Invalid) {
            format = part.format();
            depth = part.depth();
        }
        for (int index : wanted)
            tiles.push_back(
                take(index, part.constBits(), part.bytesPerLine(), band.topLeft(), pixels));
    }
}

void KV_TileStep::settle(const QPixmap& picture) {
    kept.clear();
    kept.shrink_to_fit();
    if (picture.size() != size)
        tiles.clear();
    std::sort(tiles.begin(), tiles.end(),
              [](const Tile& a, const Tile& b) { return a.index < b.index; });
    std::vector<Tile> changed;
    std::vector<uchar> out;
    for (std::size_t i = 0; i < tiles.size();) {
        // The tiles of one row, compared with the picture's pixels now.
        const int row = tiles[i].index / columns;
        std::size_t end = i;
        while (end < tiles.size() && tiles[end].index / columns == row)
            ++end;
        const QRect band = tileRect(tiles[i].index) | tileRect(tiles[end - 1].index);
        const QImage now = readPixels(picture, band, format);
        for (; i < end; ++i) {
            const Tile& t = tiles[i];
            if (sameAs(t, now.constBits(), now.bytesPerLine(), band.topLeft()))
                continue;
            if (t.offset < 0) {
                changed.push_back(t);
                continue;
            }
            const std::size_t n = std::size_t(rowBytes(tileRect(t.index).width())) *
                                  std::size_t(tileRect(t.index).height());
            changed.push_back({t.index, 0, qsizetype(out.size())});
            out.insert(out.end(), tileBytes(t), tileBytes(t) + n);
        }
    }
    changed.shrink_to_fit();
    out.shrink_to_fit();
    tiles.swap(changed);
    pixels.swap(out);
}

QRect KV_TileStep::area() const {
    QRect r;
    for (const Tile& t : tiles)
        r |= tileRect(t.index);
    return r;
}

qint64 KV_TileStep::bytes() const {
    return qint64(sizeof(*this)) + qint64(tiles.capacity() * sizeof(Tile)) +
           qint64(pixels.capacity()) + qint64(kept.capacity() * sizeof(std::uint64_t));
}

void KV_TileStep::swap(QImage* picture) {
    if (picture->size() != size || tiles.empty())
        return;
    if (picture->format() != format)
        picture->convertTo(format);
    uchar* bits = picture->bits();
    const qsizetype bpl = picture->bytesPerLine();
    std::vector<Tile> now;
    now.reserve(tiles.size());
    std::vector<uchar> out;
    out.reserve(pixels.size());
    for (const Tile& t : tiles) {
        const QRect r = tileRect(t.index);
        now.push_back(take(t.index, bits, bpl, QPoint(0, 0), out));
        uchar* first = bits + r.y() * bpl + (qsizetype(r.x()) * depth) / 8;
        if (t.offset < 0) {
            for (int y = 0; y < r.height(); ++y) {
                auto* p = reinterpret_cast<quint32*>(first + y * bpl);
                std::fill(p, p + r.width(), t.colour);
            }
            continue;
        }
        const qsizetype rb = rowBytes(r.width());
        for (int y = 0; y < r.height(); ++y)
            std::memcpy(first + y * bpl, tileBytes(t) + y * rb, std::size_t(rb));
    }
    tiles.swap(now);
    pixels.swap(out);
}
