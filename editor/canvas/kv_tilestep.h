// KV_TileStep: a change of the picture in the history, kept as the pixels it replaced, tile by
// tile. The picture is cut into squares of TileSize pixels; before a tool draws, the tiles under
// the area it reports are copied once each. When the change is complete the tiles it left as
// they were are dropped, and a tile whose pixels were all of one colour keeps only that colour.
// Undo and redo swap the kept pixels with the picture's, so the step then holds what it took
// away.
#ifndef KV_TILESTEP_H
#define KV_TILESTEP_H

#include "kv_historystep.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <vector>

class KV_TileStep : public KV_HistoryStep {
public:
    static constexpr int TileSize = 32;

    explicit KV_TileStep(QSize pictureSize);

    // Keeps the pixels of every tile that `area` touches and that is not kept yet.
    void keep(const QPixmap& picture, const QRect& area);
    // Drops the tiles the change left as they were and keeps one colour for a tile of one colour.
    void settle(const QPixmap& picture) override;

    bool isEmpty() const override { return tiles.empty(); }
    QRect area() const override;
    qint64 bytes() const override;
    void undo(QImage* picture) override { swap(picture); }
    void redo(QImage* picture) override { swap(picture); }

    int tileCount() const { return int(tiles.size()); }
    // The bytes of the tiles kept pixel by pixel (not as one colour).
    qint64 pixelBytes() const { return qint64(pixels.size()); }

private:
    // A kept tile: its pixels at `offset` in `pixels`, or, with offset -1, all of `colour`.
    struct Tile {
        int index;
        quint32 colour;
        qsizetype offset;
    };

    QRect tileRect(int index) const;
    qsizetype rowBytes(int width) const { return (qsizetype(width) * depth + 7) / 8; }
    // Copies the tile's rect of `source` (whose top left lies at `origin` in the picture) to the
    // end of `out` and returns it as a tile, of one colour where it is.
    Tile take(int index, const uchar* source, qsizetype sourceBpl, QPoint origin,
              std::vector<uchar>& out) const;
    // The kept pixels of a tile that is not of one colour.
    const uchar* tileBytes(const Tile& t) const { return pixels.data() + t.offset; }
    bool sameAs(const Tile& t, const uchar* source, qsizetype sourceBpl, QPoint origin) const;
    void swap(QImage* picture);

    QSize size;
    int columns = 0;
    int rows = 0;
    QImage::Format format = QImage::Format_Invalid;
    int depth = 0;
    std::vector<std::uint64_t> kept; // one bit per tile while the change is under way
    std::vector<Tile> tiles;
    std::vector<uchar> pixels;
};

#endif
