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
    for (int y = 0; y < r.height(); ++y)
        out.insert(out.end(), first + y * sourceBpl, first + y * sourceBpl + rb);
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
    // The tiles not kept yet, row after row.
    std::vector<int> wanted;
    for (int ty = r.top() / TileSize; ty <= r.bottom() / TileSize; ++ty)
        for (int tx = r.left() / TileSize; tx <= r.right() / TileSize; ++tx) {
            const int index = ty * columns + tx;
            std::uint64_t& word = kept[std::size_t(index) >> 6];
            const std::uint64_t bit = std::uint64_t(1) << (index & 63);
            if (!(word & bit)) {
                word |= bit;
                wanted.push_back(index);
            }
        }
    tiles.reserve(tiles.size() + wanted.size());
    for (std::size_t i = 0; i < wanted.size();) {
        // One copy of the picture for the tiles of one row.
        const int row = wanted[i] / columns;
        std::size_t end = i;
        while (end < wanted.size() && wanted[end] / columns == row)
            ++end;
        const QRect band = tileRect(wanted[i]) | tileRect(wanted[end - 1]);
        const QImage part = readPixels(picture, band, format);
        if (format == QImage::Format_Invalid) {
            format = part.format();
            depth = part.depth();
        }
        if (i == 0) {
            // Room for every tile of this call at once, growing at least twofold so that a
            // stroke's many small calls stay linear. Room not used is never touched.
            const std::size_t most =
                pixels.size() + wanted.size() * std::size_t(rowBytes(TileSize)) * TileSize;
            if (most > pixels.capacity())
                pixels.reserve(std::max(most, 2 * pixels.capacity()));
        }
        for (; i < end; ++i)
            tiles.push_back(
                take(wanted[i], part.constBits(), part.bytesPerLine(), band.topLeft(), pixels));
    }
}

void KV_TileStep::settle(const QPixmap& picture) {
    kept.clear();
    kept.shrink_to_fit();
    if (picture.size() != size) {
        tiles.clear();
        pixels.clear();
    }
    // Which tiles the change left as they were, compared with the picture row of tiles by row.
    std::vector<std::size_t> order(tiles.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [this](std::size_t a, std::size_t b) { return tiles[a].index < tiles[b].index; });
    std::vector<char> unchanged(tiles.size(), 0);
    for (std::size_t i = 0; i < order.size();) {
        const int row = tiles[order[i]].index / columns;
        std::size_t end = i;
        while (end < order.size() && tiles[order[end]].index / columns == row)
            ++end;
        const QRect band = tileRect(tiles[order[i]].index) | tileRect(tiles[order[end - 1]].index);
        const QImage now = readPixels(picture, band, format);
        for (; i < end; ++i)
            unchanged[order[i]] =
                sameAs(tiles[order[i]], now.constBits(), now.bytesPerLine(), band.topLeft());
    }
    // The others move down in place, in the order they were kept (that of their pixels).
    std::vector<Tile> changed;
    std::size_t used = 0;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        if (unchanged[i])
            continue;
        Tile t = tiles[i];
        if (t.offset >= 0) {
            const QRect r = tileRect(t.index);
            const std::size_t n = std::size_t(rowBytes(r.width())) * std::size_t(r.height());
            if (std::size_t(t.offset) != used)
                std::memmove(pixels.data() + used, pixels.data() + t.offset, n);
            t.offset = qsizetype(used);
            used += n;
        }
        changed.push_back(t);
    }
    pixels.resize(used);
    if (pixels.capacity() - used > used / 4 + 4096)
        pixels.shrink_to_fit();
    std::sort(changed.begin(), changed.end(),
              [](const Tile& a, const Tile& b) { return a.index < b.index; });
    changed.shrink_to_fit();
    tiles.swap(changed);
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
    uchar room[TileSize * 8]; // a row of a tile at up to 64 bits a pixel
    for (Tile& t : tiles) {
        const QRect r = tileRect(t.index);
        uchar* first = bits + r.y() * bpl + (qsizetype(r.x()) * depth) / 8;
        if (t.offset >= 0) {
            // Kept pixels and the picture's change places, through one row of room.
            const std::size_t rb = std::size_t(rowBytes(r.width()));
            uchar* slot = pixels.data() + t.offset;
            for (int y = 0; y < r.height(); ++y) {
                uchar* row = first + y * bpl;
                std::memcpy(room, row, rb);
                std::memcpy(row, slot + y * rb, rb);
                std::memcpy(slot + y * rb, room, rb);
            }
            continue;
        }
        // A tile of one colour: the picture's pixels are kept first (as one colour where they
        // are), then the colour goes back.
        const quint32 colour = t.colour;
        t = take(t.index, bits, bpl, QPoint(0, 0), pixels);
        for (int y = 0; y < r.height(); ++y) {
            auto* p = reinterpret_cast<quint32*>(first + y * bpl);
            std::fill(p, p + r.width(), colour);
        }
    }
}
