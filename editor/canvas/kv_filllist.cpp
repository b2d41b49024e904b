#include "kv_filllist.h"

#include <QtCore/qalgorithms.h>

#include <algorithm>

void KV_FillList::start(int width, int height) {
    w = width;
    h = height;
    pendingRows = 0;
    const std::size_t bits = std::size_t(width) * std::size_t(height);
    seeds.assign((bits + 63) / 64, 0);
    rows.assign((std::size_t(height) + 63) / 64, 0);
}

void KV_FillList::clear() {
    std::vector<std::uint64_t>().swap(seeds);
    std::vector<std::uint64_t>().swap(rows);
    pendingRows = 0;
    w = h = 0;
}

int KV_FillList::nextRow(int from, bool down) const {
    if (pendingRows == 0 || from < 0 || from >= h)
        return -1;
    if (down) {
        std::size_t word = std::size_t(from) >> 6;
        std::uint64_t bitsLeft = rows[word] & (~std::uint64_t(0) << (from & 63));
        for (;;) {
            if (bitsLeft)
                return int(word * 64 + qCountTrailingZeroBits(bitsLeft));
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
            return int(word * 64 + 63 - int(qCountLeadingZeroBits(bitsLeft)));
        if (--word < 0)
            return -1;
        bitsLeft = rows[std::size_t(word)];
    }
}

void KV_FillList::takeRow(int y) {
    std::uint64_t& r = rows[std::size_t(y) >> 6];
    const std::uint64_t rb = std::uint64_t(1) << (y & 63);
    if (r & rb) {
        r &= ~rb;
        --pendingRows;
    }
}

int KV_FillList::takeSeed(int y, int x) {
    if (x >= w)
        return -1;
    const std::size_t rowStart = std::size_t(y) * std::size_t(w);
    std::size_t bit = rowStart + std::size_t(x);
    const std::size_t end = rowStart + std::size_t(w);
    while (bit < end) {
        const std::size_t word = bit >> 6;
        const std::uint64_t v = seeds[word] & (~std::uint64_t(0) << (bit & 63));
        if (v) {
            const std::size_t found = word * 64 + qCountTrailingZeroBits(v);
            if (found >= end)
                return -1;
            seeds[word] &= ~(std::uint64_t(1) << (found & 63));
            return int(found - rowStart);
        }
        bit = (word + 1) * 64;
    }
    return -1;
}

void KV_FillList::clearSeeds(int y, int x0, int x1) {
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
