// KV_FillModel: the flood fill. A press paints the 4-connected region of pixels of
// exactly the pressed pixel's colour black.
#ifndef KV_FILLMODEL_H
#define KV_FILLMODEL_H

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <vector>

class KV_ToolsController;
class KVQ_ImageDocument;
class QImage;
class QMouseEvent;

class KV_FillModel {
public:
    // The fill's work list. Rather than a queue of points and an int per pixel, this is a
    // scan-line fill: pending work is a map of seed pixels, one bit per pixel, plus one
    // bit per row saying whether the row holds seeds (and, in the fill, two lists of the spans of
    // one row). Empty (no memory held) between fills.
    class FillList {
    public:
        void start(int width, int height);
        void clear();
        bool isEmpty() const { return pendingRows == 0; }

        void mark(int x, int y) {
            const std::size_t bit = std::size_t(y) * std::size_t(w) + std::size_t(x);
            seeds[bit >> 6] |= std::uint64_t(1) << (bit & 63);
            std::uint64_t& r = rows[std::size_t(y) >> 6];
            const std::uint64_t rb = std::uint64_t(1) << (y & 63);
            if (!(r & rb)) {
                r |= rb;
                ++pendingRows;
            }
        }
        // The next row at or below (down) / at or above (up) `from` that holds seeds, or -1.
        int nextRow(int from, bool down) const;
        bool rowPending(int y) const { return (rows[std::size_t(y) >> 6] >> (y & 63)) & 1; }
        // Takes the row's seeds: clears its row bit. Seeds are read with takeSeed.
        void takeRow(int y);
        // The first seed of row y at or right of x (clearing it), or -1.
        int takeSeed(int y, int x);
        // Clears the seeds of row y in [x0, x1).
        void clearSeeds(int y, int x0, int x1);

    private:
        int w = 0;
        int h = 0;
        int pendingRows = 0;
        std::vector<std::uint64_t> seeds;
        std::vector<std::uint64_t> rows;
    };

    explicit KV_FillModel(KV_ToolsController* controller);
    ~KV_FillModel();
    KV_FillModel(const KV_FillModel&) = delete;
    KV_FillModel& operator=(const KV_FillModel&) = delete;

    void mousePress(QMouseEvent* e);
    // The flood fill: every pixel of the 4-connected region of (x, y) whose QImage::pixel value
    // equals that of (x, y) is set to `value` (as QImage::setPixel would). The same region as the
    // breadth-first fill (neighbours right, left, below, above); no recursion; extra memory one bit
    // per pixel.
    void fillRegion(QImage* image, unsigned value, int x, int y);
    void MessageBox(QString message);

private:
    KVQ_ImageDocument* document() const;
    void fillRaw32(uchar* bits, qsizetype bpl, int w, int h, int x, int y, quint32 value,
                   quint32 alphaMask);
    void fillGeneric(QImage* image, unsigned value, int x, int y);

    KV_ToolsController* controller;
    FillList queue;
};

#endif
