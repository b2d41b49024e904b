// KV_PictureReader: reads a BMP, JPEG or PNG file for the editor, decoding it once and refusing
// a damaged file. JPEGs and PNGs are decoded by libjpeg and libpng directly, which report the
// damage Qt's readers pass over (they fill in the missing or damaged part and say so, if at all,
// only in the process-wide message log); BMPs are checked first and then decoded by Qt.
#ifndef KV_PICTUREREADER_H
#define KV_PICTUREREADER_H

#include <QString>

class QImage;

class KV_PictureReader {
public:
    // Reads the regular file at fileName as format ("BMP", "JPEG" or "PNG"; the file's contents
    // must be of that format) into *image. False, with *image untouched, for a damaged file, a
    // file of another format, anything but a regular file, and a picture of more pixels than
    // KV_PictureFileValidator::MaxPixels (refused before the pixels are allocated).
    static bool read(const QString& fileName, const char* format, QImage* image);

private:
    KV_PictureReader() = delete;
};

#endif
