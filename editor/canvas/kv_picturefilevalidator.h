// KV_PictureFileValidator: tells whether a BMP or JPEG file holds a whole, undamaged picture
// before it is decoded for the editor. Qt's readers return a picture with the missing or
// damaged part filled in (blank rows, grey blocks) and report the damage, if at all, only through
// the process-wide message log; a picture loaded like that and saved would replace the file.
// The checks keep no state, so pictures may be checked in any thread.
#ifndef KV_PICTUREFILEVALIDATOR_H
#define KV_PICTUREFILEVALIDATOR_H

#include <QByteArrayView>
#include <QString>

class KV_PictureFileValidator {
public:
    // Whether the file holds a sound picture of the format ("BMP" or "JPEG"); false for any
    // other format and for a file that cannot be read.
    static bool fileIsSound(const QString& fileName, const char* format);

    // A BMP whose pixel data fits its header: all rows of an uncompressed picture present, and a
    // run-length encoded picture's codes reaching their end-of-bitmap code inside the data.
    static bool bmpIsSound(QByteArrayView data);
    // A JPEG that libjpeg decodes to its end-of-image marker without reporting corrupt data.
    // Bytes after that marker are not read.
    static bool jpegIsSound(QByteArrayView data);
};

#endif
