// KV_PngDecoder: reads a PNG with libpng and refuses it when it is damaged: an error libpng
// reports, a CRC failure in any chunk (the ancillary ones included, which libpng would otherwise
// pass over), a file cut short before its end chunk, or a warning about the picture's own chunks
// (its header, palette, data or end), such as compressed data left over or too little of it.
// Warnings about ancillary chunks (a colour profile libpng finds odd, say) concern metadata that
// is not read, and refuse nothing.
#ifndef KV_PNGDECODER_H
#define KV_PNGDECODER_H

#include <QtGlobal>

#include <cstdio>

class QImage;

class KV_PngDecoder {
public:
    // Reads the stream from its position up to the end chunk (bytes after it are not read), in
    // one pass, into *image: 1-bit pictures (palette or grey) as QImage::Format_Mono with their
    // colours, other palette pictures as Format_Indexed8, grey ones as Format_Grayscale8, colour
    // pictures as Format_RGB32, and any picture with transparency as Format_ARGB32; 16-bit
    // samples are scaled to 8 bits. With image null the file is only checked. False, with image
    // undefined, for any damage, for more than maxPixels pixels (refused before the pixels are
    // allocated) and when the memory for the picture cannot be had.
    static bool decode(FILE* stream, qint64 maxPixels, QImage* image);

private:
    KV_PngDecoder() = delete;
};

#endif
