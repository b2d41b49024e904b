#include "kv_picturedepth.h"

#include <QHash>

KV_PictureDepth KV_PictureDepth::of(const QImage& decoded) {
    KV_PictureDepth depth;
    switch (decoded.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        depth.format = QImage::Format_Mono;
        depth.colours = decoded.colorTable().mid(0, 2);
        break;
    case QImage::Format_Indexed8:
        depth.format = QImage::Format_Indexed8;
        depth.colours = decoded.colorTable();
        break;
    case QImage::Format_Grayscale8:
        depth.format = QImage::Format_Indexed8;
        depth.colours.reserve(256);
        for (int i = 0; i < 256; ++i)
            depth.colours.append(qRgb(i, i, i));
        break;
    default:
        break;
    }
    if (depth.colours.isEmpty())
        depth.format = QImage::Format_Invalid;
    return depth;
}

int KV_PictureDepth::bits() const {
    return format == QImage::Format_Mono ? 1 : format == QImage::Format_Indexed8 ? 8 : 32;
}

QImage KV_PictureDepth::apply(const QImage& picture) const {
    if (format == QImage::Format_Invalid || picture.isNull())
        return picture;
    // Pixels of Format_RGB32 are their own premultiplied values (alpha 0xff).
    const QImage pixels = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The first of equal colours stands for them all.
    QHash<QRgb, int> indexOf;
    for (int i = int(colours.size()) - 1; i >= 0; --i)
        indexOf.insert(qPremultiply(colours.at(i)), i);
    QImage out(picture.size(), format);
    if (out.isNull())
        return picture;
    out.setColorTable(colours);
    out.fill(0);
    const bool oneBit = format == QImage::Format_Mono;
    QRgb last = qPremultiply(colours.first());
    int lastIndex = indexOf.value(last);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < pixels.width(); ++x) {
            if (in[x] != last) {
                const auto found = indexOf.constFind(in[x]);
                if (found == indexOf.constEnd())
                    return picture; // a colour of its own: 32 bits
                last = in[x];
                lastIndex = found.value();
            }
            if (!oneBit)
                line[x] = uchar(lastIndex);
            else if (lastIndex != 0)
                line[x >> 3] |= uchar(0x80 >> (x & 7));
        }
    }
    return out;
}
