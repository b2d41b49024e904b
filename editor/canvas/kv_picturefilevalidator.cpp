#include "kv_picturefilevalidator.h"

#include "kv_jpegdecoder.h"
#include "kv_pngdecoder.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

quint32 le32(const uchar* p) {
    return qFromLittleEndian<quint32>(p);
}
quint16 le16(const uchar* p) {
    return qFromLittleEndian<quint16>(p);
}

// Whether the run-length codes from `pos` reach an end-of-bitmap code (00 01) inside the data.
// Codes come in pairs: n > 0 repeats a value n times; 00 00 ends a line, 00 01 the bitmap,
// 00 02 dx dy moves, and 00 n (n > 2) is followed by n literal pixels (a byte each in RLE8, a
// nibble each in RLE4), padded to an even number of bytes.
bool rleReachesEnd(const uchar* d, qint64 size, qint64 pos, bool fourBit) {
    while (pos + 2 <= size) {
        const int count = d[pos];
        const int code = d[pos + 1];
        pos += 2;
        if (count > 0 || code == 0)
            continue;
        if (code == 1)
            return true;
        qint64 skip = 2; // the delta's dx and dy
        if (code > 2) {
            skip = fourBit ? (code + 1) / 2 : code;
            skip += skip & 1;
        }
        pos += skip;
    }
    return false;
}

// A stream that only reads the buffer.
FILE* bufferStream(QByteArrayView data) {
    return data.isEmpty() ? nullptr
                          : ::fmemopen(const_cast<char*>(data.data()), size_t(data.size()), "rb");
}

// Whether the stream holds a sound JPEG or PNG; closes the stream.
bool streamIsSound(FILE* stream, bool png) {
    if (!stream)
        return false;
    const qint64 max = KV_PictureFileValidator::MaxPixels;
    const bool sound = png ? KV_PngDecoder::decode(stream, max, nullptr)
                           : KV_JpegDecoder::decode(stream, max, nullptr);
    std::fclose(stream);
    return sound;
}

} // namespace

bool KV_PictureFileValidator::openRegularFile(const QString& fileName, QFile* file) {
    // Opening without waiting: a named pipe would wait for a writer.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info;
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

FILE* KV_PictureFileValidator::streamOn(const QFile& file) {
    const int fd = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    FILE* stream = ::fdopen(fd, "rb");
    if (!stream) {
        ::close(fd);
        return nullptr;
    }
    std::rewind(stream);
    return stream;
}

bool KV_PictureFileValidator::fileIsSound(const QString& fileName, const char* format) {
    QFile file;
    return openRegularFile(fileName, &file) && fileIsSound(file, format);
}

bool KV_PictureFileValidator::fileIsSound(QFile& file, const char* format) {
    const QByteArray f = QByteArray(format).toUpper();
    const bool bmp = f == "BMP";
    const bool png = f == "PNG";
    if (!bmp && !png && f != "JPEG" && f != "JPG")
        return false;
    if (!file.isOpen() || file.isSequential())
        return false;
    const qint64 size = file.size();
    if (size <= 0)
        return false;
    if (!bmp)
        return streamIsSound(streamOn(file), png);
    const uchar* mapped = file.map(0, size);
    QByteArray buffer;
    QByteArrayView data;
    if (mapped) {
        data = QByteArrayView(mapped, size);
    } else {
        buffer = file.readAll();
        if (buffer.size() != size)
            return false;
        data = buffer;
    }
    const bool sound = bmpIsSound(data);
    if (mapped)
        file.unmap(const_cast<uchar*>(mapped));
    return sound;
}

bool KV_PictureFileValidator::bmpIsSound(QByteArrayView data) {
    const auto* d = reinterpret_cast<const uchar*>(data.data());
    const qint64 size = data.size();
    if (size < 26 || d[0] != 'B' || d[1] != 'M')
        return false;
    const quint32 offBits = le32(d + 10);
    const quint32 dibSize = le32(d + 14);
    qint64 width = 0;
    qint64 height = 0;
    int bpp = 0;
    quint32 compression = 0;
    if (dibSize == 12) {
        width = le16(d + 18);
        height = le16(d + 20);
        bpp = le16(d + 24);
    } else if (dibSize >= 40 && size >= 34) {
        width = qint32(le32(d + 18));
        height = qint32(le32(d + 22));
        bpp = le16(d + 28);
        compression = le32(d + 30);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min())
        return false;
    if (height < 0)
        height = -height;
    if (offBits > size)
        return false;
    // Uncompressed rows (BI_RGB, BI_BITFIELDS, BI_ALPHABITFIELDS) must all be present.
    if (compression == 0 || compression == 3 || compression == 6) {
        if (bpp <= 0 || bpp > 32)
            return false;
        const qint64 rowBytes = ((width * bpp + 31) / 32) * 4;
        if (rowBytes > (std::numeric_limits<qint64>::max() - offBits) / height)
            return false;
        return qint64(offBits) + rowBytes * height <= size;
    }
    // BI_RLE8 and BI_RLE4.
    if (compression == 1 || compression == 2)
        return rleReachesEnd(d, size, offBits, compression == 2);
    // Other compressions are refused by Qt's reader itself.
    return true;
}

bool KV_PictureFileValidator::jpegIsSound(QByteArrayView data) {
    return streamIsSound(bufferStream(data), false);
}

bool KV_PictureFileValidator::pngIsSound(QByteArrayView data) {
    return streamIsSound(bufferStream(data), true);
}
