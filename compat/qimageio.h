// Qt 2's QImageIO::imageFormat on Qt 6: the format of a picture file by its contents,
// named the Qt 2 way, in upper case ("BMP", "JPEG", "PNG", ...).
#ifndef KV_COMPAT_QIMAGEIO_H
#define KV_COMPAT_QIMAGEIO_H

#include <QString>

class QIODevice;

class QImageIO {
public:
    // The format of the file's contents, or null when the file cannot be read, is no regular
    // file (a named pipe, a device, a folder) or its contents are of no format Qt knows. The
    // name is static storage: it stays valid for the whole run.
    static const char* imageFormat(const QString& fileName);
    static const char* imageFormat(QIODevice* device);

    // The Qt 2 (upper-case) name of a Qt 6 format name ("jpeg" and "jpg" give "JPEG",
    // "bmp" gives "BMP"); null for an empty name. Static storage, as above.
    static const char* formatName(const QByteArray& qt6Name);

private:
    QImageIO() = delete;
};

#endif
