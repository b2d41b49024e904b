// Bad input: damaged, mismatched and oversized picture files make loadImage return false with
// the previous picture, file name, format and flags kept; no crash, no hang.
#include "canvas_fixture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray encode(const char* format, QSize size = QSize(64, 48)) {
    QImage im(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            im.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 0xff));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(im.save(&buffer, format));
    return bytes;
}

QByteArray bmpHeader(qint32 w, qint32 h, quint16 bpp, quint32 compression) {
    QByteArray d(54, '\0');
    uchar* p = reinterpret_cast<uchar*>(d.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(54 + 16, p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(w, p + 18);
    qToLittleEndian<qint32>(h, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(bpp, p + 28);
    qToLittleEndian<quint32>(compression, p + 30);
    return d;
}

// Offset of the first byte after the SOFn marker's length field, or -1.
int sofOffset(const QByteArray& jpeg) {
    for (int i = 2; i + 9 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xff && (uchar(jpeg[i + 1]) == 0xc0 || uchar(jpeg[i + 1]) == 0xc2))
            return i + 4;
    return -1;
}

int sosOffset(const QByteArray& jpeg) {
    for (int i = 2; i + 1 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xff && uchar(jpeg[i + 1]) == 0xda)
            return i;
    return -1;
}

} // namespace

class BadInput : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        // A document bound to a good file, with unsaved drawing on it.
        good = dir.filePath("good.BMP");
        ASSERT_TRUE(doc->saveImageAs(good, "BMP"));
        usePencil(PencilFreeForm);
        drag({10, 10}, {60, 10});
        before = picture();
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    void expectRefused(const QString& path, const char* format) {
        EXPECT_FALSE(doc->loadImage(path, format)) << qPrintable(path);
        EXPECT_EQ(picture(), before);
        EXPECT_EQ(doc->fileName(), good);
        EXPECT_STREQ(doc->currentFormat(), "BMP");
        EXPECT_FALSE(doc->saved());
        EXPECT_TRUE(doc->isFile());
        EXPECT_TRUE(doc->painter()->isActive());
        EXPECT_EQ(canvas->size(), QSize(480, 320));
    }

    QTemporaryDir dir;
    QString good;
    QImage before;
};

TEST_F(BadInput, GoodFilesLoad) {
    KVQ_ImageDocument other(canvas.get());
    EXPECT_TRUE(other.loadImage(write("ok.bmp", encode("BMP")), "BMP"));
    EXPECT_EQ(other.pmScaled()->size(), QSize(64, 48));
    EXPECT_TRUE(other.loadImage(write("ok.jpg", encode("JPEG")), "JPG"));
    EXPECT_EQ(other.pmScaled()->size(), QSize(64, 48));
}

TEST_F(BadInput, MissingAndEmptyFiles) {
    expectRefused(dir.filePath("nothing-here.bmp"), "BMP");
    expectRefused(write("empty.bmp", QByteArray()), "BMP");
    expectRefused(write("empty.jpeg", QByteArray()), "JPEG");
    expectRefused(dir.path(), "BMP"); // a folder
}

// A named pipe, a device or a folder is refused at once, without reading from it. A pipe
// makes a reader wait for a writer: after a while writers come and go, so that a test of a
// reader that waits fails instead of hanging.
TEST_F(BadInput, AnythingButARegularFileIsRefusedWithoutWaiting) {
    const QString fifo = dir.filePath("pipe.jpeg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; !done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (i < 50)
                continue;
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
    QElapsedTimer clock;
    clock.start();
    expectRefused(fifo, "JPEG");
    expectRefused(fifo, "BMP");
    expectRefused(QStringLiteral("/dev/zero"), "BMP");
    expectRefused(QStringLiteral("/dev/null"), "JPEG");
    expectRefused(dir.path(), "JPEG");
    EXPECT_LT(clock.elapsed(), 2000);
    done = true;
    writer.join();
}

TEST_F(BadInput, TruncatedBmp) {
    const QByteArray bmp = encode("BMP");
    for (int cut : {2, 20, 53, 54, 200, int(bmp.size()) / 2, int(bmp.size()) - 1})
        expectRefused(write(QString("cut%1.bmp").arg(cut), bmp.left(cut)), "BMP");
}

TEST_F(BadInput, CorruptBmpHeaders) {
    QByteArray bmp = encode("BMP");
    QByteArray bad = bmp;
    bad[14] = 7; // DIB header size of no known kind
    expectRefused(write("dib.bmp", bad), "BMP");
    bad = bmp;
    bad[28] = 13; // 13 bits per pixel
    expectRefused(write("bpp.bmp", bad), "BMP");
    bad = bmp;
    qToLittleEndian<qint32>(-64, bad.data() + 18); // negative width
    expectRefused(write("width.bmp", bad), "BMP");
    bad = bmp;
    qToLittleEndian<quint32>(0x7fffffff, bad.data() + 10); // pixel data beyond the file
    expectRefused(write("offset.bmp", bad), "BMP");
    expectRefused(write("text.bmp", QByteArray("BM this is not a picture at all\n")), "BMP");
}

TEST_F(BadInput, BmpDeclaringEnormousDimensions) {
    expectRefused(write("huge24.bmp", bmpHeader(100000, 100000, 24, 0) + QByteArray(16, '\0')),
                  "BMP");
    expectRefused(write("hugeneg.bmp", bmpHeader(65535, -65535, 32, 0)), "BMP");
    // Run-length encoded: the header alone cannot be checked against the file size; the
    // document's pixel limit refuses it before any pixel memory is taken.
    QByteArray rle = bmpHeader(40000, 40000, 8, 1);
    qToLittleEndian<quint32>(54 + 4 * 256, rle.data() + 10);
    rle += QByteArray(4 * 256, '\0');
    rle += QByteArray("\x00\x01", 2); // end of bitmap
    expectRefused(write("hugerle.bmp", rle), "BMP");
    // One column more than 2^27 pixels would fill, stored top row first.
    qToLittleEndian<qint32>(16385, rle.data() + 18);
    qToLittleEndian<qint32>(-8192, rle.data() + 22);
    expectRefused(write("justover.bmp", rle), "BMP");
}

TEST_F(BadInput, TruncatedJpeg) {
    const QByteArray jpeg = encode("JPEG", QSize(200, 150));
    const int sos = sosOffset(jpeg);
    ASSERT_GT(sos, 0);
    for (int cut : {2, 3, 10, sos, sos + 20, int(jpeg.size()) / 2, int(jpeg.size()) - 2})
        expectRefused(write(QString("cut%1.jpeg").arg(cut), jpeg.left(cut)), "JPEG");
}

TEST_F(BadInput, CorruptJpeg) {
    const QByteArray jpeg = encode("JPEG", QSize(200, 150));
    QByteArray bad = jpeg;
    bad[2] = 0x12; // no marker after the start of image
    expectRefused(write("marker.jpeg", bad), "JPEG");
    bad = jpeg;
    const int sof = sofOffset(jpeg);
    ASSERT_GT(sof, 0);
    bad[sof + 5] = 9; // nine colour components
    expectRefused(write("components.jpeg", bad), "JPEG");
    // Scan data overwritten with a marker that cannot appear there.
    bad = jpeg;
    const int mid = sosOffset(jpeg) + (jpeg.size() - sosOffset(jpeg)) / 2;
    for (int i = 0; i < 64; i += 2) {
        bad[mid + i] = char(0xff);
        bad[mid + i + 1] = char(0xc4);
    }
    expectRefused(write("scan.jpeg", bad), "JPEG");
}

TEST_F(BadInput, JpegDeclaringEnormousDimensions) {
    QByteArray jpeg = encode("JPEG", QSize(16, 16));
    const int sof = sofOffset(jpeg);
    ASSERT_GT(sof, 0);
    qToBigEndian<quint16>(65000, jpeg.data() + sof + 1); // height
    qToBigEndian<quint16>(65000, jpeg.data() + sof + 3); // width
    expectRefused(write("huge.jpeg", jpeg), "JPEG");
}

TEST_F(BadInput, ContentsOfTheOtherFormat) {
    expectRefused(write("really-jpeg.bmp", encode("JPEG")), "BMP");
    expectRefused(write("really-bmp.jpeg", encode("BMP")), "JPEG");
    expectRefused(write("really-png.bmp", encode("PNG")), "BMP");
    expectRefused(write("really-png.jpeg", encode("PNG")), "JPG");
}
