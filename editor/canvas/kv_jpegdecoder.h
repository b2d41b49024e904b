// KV_JpegDecoder: reads a JPEG with libjpeg and refuses it when libjpeg reports anything wrong
// with it: an error, or corrupt data that it would decode around (filling in grey). The picture
// comes out as Qt's own reader gives it (32-bit RGB, or 8-bit grey for a grey JPEG), from one
// decoding pass; or, to check a file only, no pixels are made at all.
#ifndef KV_JPEGDECODER_H
#define KV_JPEGDECODER_H

#include <QtGlobal>

#include <cstdio>

class QImage;

class KV_JpegDecoder {
public:
    // Reads the stream from its position up to the end-of-image marker (bytes after it are not
    // read), through libjpeg's own stdio source, as libjpeg reads a file. With image null the
    // rows are only entropy-decoded, not turned into pixels, which is quicker. False, with image
    // undefined, for any error or corrupt data, for more than maxPixels pixels (refused before
    // the pixels are allocated) and when the memory for the picture cannot be had.
    static bool decode(FILE* stream, qint64 maxPixels, QImage* image);

private:
    KV_JpegDecoder() = delete;
};

#endif
