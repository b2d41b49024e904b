#include "kv_picturereader.h"

#include "kv_jpegdecoder.h"
#include "kv_picturefilevalidator.h"
#include "kv_pngdecoder.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdio>

namespace {

bool readBmp(QFile& file, QImage* image) {
    if (!KV_PictureFileValidator::fileIsSound(file, "BMP") || !file.seek(0))
        return false;
    QImageReader reader(&file, "bmp");
    // The named format only: a file whose contents are of another format is refused.
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    // A BMP stored top row first gives its height as negative.
    const QSize size = reader.size();
    const qint64 width = qAbs(qint64(size.width()));
    const qint64 height = qAbs(qint64(size.height()));
    // Refused before any pixel memory is taken.
    if (width == 0 || height == 0 || width * height > KV_PictureFileValidator::MaxPixels)
        return false;
    return reader.read(image) && !image->isNull();
}

} // namespace

bool KV_PictureReader::read(const QString& fileName, const char* format, QImage* image) {
    const QByteArray f = QByteArray(format).toUpper();
    // The file is opened once, so that the file checked is the file decoded.
    QFile file;
    if ((f != "BMP" && f != "JPEG" && f != "PNG") ||
        !KV_PictureFileValidator::openRegularFile(fileName, &file))
        return false;
    QImage decoded;
    if (f == "BMP") {
        if (!readBmp(file, &decoded))
            return false;
    } else {
        FILE* stream = KV_PictureFileValidator::streamOn(file);
        if (!stream)
            return false;
        const qint64 max = KV_PictureFileValidator::MaxPixels;
        const bool ok = f == "JPEG" ? KV_JpegDecoder::decode(stream, max, &decoded)
                                    : KV_PngDecoder::decode(stream, max, &decoded);
        std::fclose(stream);
        if (!ok)
            return false;
    }
    image->swap(decoded);
    return true;
}
