// KV_PictureDepth: the depth a picture had in its file, so that it can be written back in that
// depth. The editor paints on a 32-bit copy of every picture. A picture read as 1-bit or 8-bit
// (palette or grey) is written again as 1-bit or 8-bit with its own colours as long as each of
// its pixels is one of them; a pixel of any other colour makes it 32-bit, so that nothing drawn
// is lost either way.
#ifndef KV_PICTUREDEPTH_H
#define KV_PICTUREDEPTH_H

#include <QImage>
#include <QList>

class KV_PictureDepth {
public:
    // 32 bits: the picture is written as it is.
    KV_PictureDepth() = default;
    // The depth of a picture as decoded from its file: 1-bit and palette pictures keep their
    // colours, grey ones the 256 greys; any other is 32-bit.
    static KV_PictureDepth of(const QImage& decoded);

    // 1, 8 or 32.
    int bits() const;
    // The picture (in any format) in this depth, when each of its pixels is one of the colours,
    // compared as the editor holds them (alpha premultiplied); otherwise the picture itself.
    QImage apply(const QImage& picture) const;

private:
    QImage::Format format = QImage::Format_Invalid; // Format_Mono or Format_Indexed8
    QList<QRgb> colours;
};

#endif
