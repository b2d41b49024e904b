// KV_FillList: the flood fill's work list. Rather than a queue of points and an int per
// pixel, pending work is a map of seed pixels, one bit per pixel, plus one bit per row saying
// whether the row holds seeds. Empty (no memory held) between fills.
#ifndef KV_FILLLIST_H
#define KV_FILLLIST_H

#include <cstddef>
#include <cstdint>
#include <vector>

class KV_FillList {
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

#endif
