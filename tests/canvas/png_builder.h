// PNG files made byte by byte for the tests, so that each colour type, bit depth, interlace and
// kind of damage can be had: chunks with their CRCs, and the picture's rows filtered with filter
// 0 and compressed by zlib.
#ifndef PNG_BUILDER_H
#define PNG_BUILDER_H

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QtEndian>

#include <functional>

#include <zlib.h>

namespace png_builder {

enum Colour { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

inline int channels(Colour colour) {
    switch (colour) {
    case Rgb:
        return 3;
    case GreyAlpha:
        return 2;
    case Rgba:
        return 4;
    default:
        return 1;
    }
}

inline QByteArray bigEndian32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// A chunk: length, type, data and the CRC of type and data.
inline QByteArray chunk(const QByteArray& type, const QByteArray& data) {
    const QByteArray body = type + data;
    const quint32 crc =
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
    return bigEndian32(quint32(data.size())) + body + bigEndian32(crc);
}

inline QByteArray zlibOf(const QByteArray& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(size), '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size,
             reinterpret_cast<const Bytef*>(raw.constData()), uLong(raw.size()));
    out.truncate(qsizetype(size));
    return out;
}

struct Layout {
    int width;
    int height;
    Colour colour;
    int depth;
    bool interlaced = false;
};

// The samples of the pixel at (x, y), one per channel, each below 2^depth.
using Pixel = std::function<QList<int>(int x, int y)>;

// The filtered rows of the pixels from (x0, y0) every dx, dy: one pass of the interlace, or the
// whole picture.
inline QByteArray rowsOf(const Layout& l, const Pixel& pixel, int x0, int y0, int dx, int dy) {
    QByteArray raw;
    for (int y = y0; y < l.height; y += dy) {
        if (x0 >= l.width)
            break;
        raw += '\0'; // filter: none
        int bits = 0;
        int used = 0;
        for (int x = x0; x < l.width; x += dx)
            for (const int sample : pixel(x, y)) {
                if (l.depth == 16) {
                    raw += char(sample >> 8);
                    raw += char(sample & 0xff);
                } else if (l.depth == 8) {
                    raw += char(sample);
                } else {
                    bits = bits << l.depth | sample;
                    used += l.depth;
                    if (used == 8) {
                        raw += char(bits);
                        bits = used = 0;
                    }
                }
            }
        if (used > 0)
            raw += char(bits << (8 - used));
    }
    return raw;
}

// The picture's filtered rows, pass after pass when interlaced.
inline QByteArray rawRows(const Layout& l, const Pixel& pixel) {
    if (!l.interlaced)
        return rowsOf(l, pixel, 0, 0, 1, 1);
    static const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                     {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    QByteArray raw;
    for (const auto& p : passes)
        raw += rowsOf(l, pixel, p[0], p[1], p[2], p[3]);
    return raw;
}

inline QByteArray header(const Layout& l) {
    QByteArray ihdr = bigEndian32(quint32(l.width)) + bigEndian32(quint32(l.height));
    ihdr += char(l.depth);
    ihdr += char(l.colour);
    ihdr += QByteArray(2, '\0'); // compression, filter
    ihdr += char(l.interlaced ? 1 : 0);
    return chunk("IHDR", ihdr);
}

const QByteArray Signature("\x89PNG\r\n\x1a\n", 8);

// A whole file: signature, header, the chunks given (a palette, say), the compressed rows in
// one IDAT chunk, and the end chunk.
inline QByteArray file(const Layout& l, const Pixel& pixel, const QByteArray& chunks = {}) {
    return Signature + header(l) + chunks + chunk("IDAT", zlibOf(rawRows(l, pixel))) +
           chunk("IEND", {});
}

// A palette chunk of the colours, and a tRNS chunk of their alphas when any is not opaque.
inline QByteArray paletteChunks(const QList<QRgb>& colours) {
    QByteArray plte;
    QByteArray alphas;
    bool transparent = false;
    for (const QRgb c : colours) {
        plte += char(qRed(c));
        plte += char(qGreen(c));
        plte += char(qBlue(c));
        alphas += char(qAlpha(c));
        transparent = transparent || qAlpha(c) != 255;
    }
    return chunk("PLTE", plte) + (transparent ? chunk("tRNS", alphas) : QByteArray());
}

// The offset of the first chunk of the type, or -1.
inline int chunkAt(const QByteArray& png, const QByteArray& type) {
    for (int at = 8; at + 12 <= png.size();) {
        if (png.mid(at + 4, 4) == type)
            return at;
        at += 12 + int(qFromBigEndian<quint32>(png.constData() + at));
    }
    return -1;
}

} // namespace png_builder

#endif
