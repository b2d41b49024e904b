// KV_PictureFileValidator: tells whether a BMP, JPEG or PNG file holds a whole, undamaged
// picture. Qt's readers return a picture with the missing or damaged part filled in (blank rows,
// grey blocks) and report the damage, if at all, only through the process-wide message log; a
// picture loaded like that and saved would replace the file. The editor reads JPEGs and PNGs
// through the same decoders these checks use (KV_PictureReader), so that they are decoded once;
// a BMP is checked here and then decoded by Qt. The checks keep no state, so pictures may be
// checked in any thread.
#ifndef KV_PICTUREFILEVALIDATOR_H
#define KV_PICTUREFILEVALIDATOR_H

#include <QByteArrayView>
#include <QString>

#include <cstdio>

class QFile;

class KV_PictureFileValidator {
public:
    // The most pixels a picture may have: 2^27, about 134 million (512 MiB at 4 bytes a pixel).
    static constexpr qint64 MaxPixels = qint64(1) << 27;

    // Opens the file for reading into *file when it is a regular file. A named pipe, a device or
    // a folder is refused without waiting and without reading from it.
    static bool openRegularFile(const QString& fileName, QFile* file);
    // A stdio stream of its own on the open file, positioned at its start, for the caller to
    // close; null when none can be had.
    static FILE* streamOn(const QFile& file);

    // Whether the file holds a sound picture of the format ("BMP", "JPEG" or "PNG"); false for any
    // other format, for a file that cannot be read and for anything but a regular file. The
    // QFile form reads an open file from its start and leaves its position undefined.
    static bool fileIsSound(const QString& fileName, const char* format);
    static bool fileIsSound(QFile& file, const char* format);

    // A BMP whose pixel data fits its header: all rows of an uncompressed picture present, and a
    // run-length encoded picture's codes reaching their end-of-bitmap code inside the data.
    static bool bmpIsSound(QByteArrayView data);
    // A JPEG of at most MaxPixels that libjpeg decodes to its end-of-image marker without
    // reporting corrupt data, read as libjpeg reads a file (its own stdio source, in blocks).
    // Bytes after that marker are not read.
    static bool jpegIsSound(QByteArrayView data);
    // A PNG of at most MaxPixels that libpng reads to its end chunk without an error, a CRC
    // failure or a warning about the picture's own chunks (KV_PngDecoder). Bytes after the end
    // chunk are not read.
    static bool pngIsSound(QByteArrayView data);
};

#endif
