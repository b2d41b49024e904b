// Picture files checked before loading: JPEGs whose decoder reports corrupt data and run-length
// encoded BMPs cut short are refused, directly by the validator and by the document; good
// pictures load (top-down BMPs, large photos), also while another thread writes warnings.
#include "canvas_fixture.h"
#include "kv_picturefilevalidator.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QtEndian>

#include <atomic>
#include <thread>

namespace {

QByteArray jpeg(QSize size, bool progressive = false) {
    QImage im(size, QImage::Format_RGB32);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(0.5, Qt::green);
    gradient.setColorAt(1, Qt::blue);
    QPainter painter(&im);
    painter.fillRect(im.rect(), gradient);
    painter.drawEllipse(im.rect().adjusted(10, 10, -10, -10));
    painter.end();
    return encodedPicture(im, "jpeg", progressive);
}

// Offset of the first marker 0xff `code` after the start of image, or -1.
int markerAt(const QByteArray& data, uchar code) {
    for (int i = 2; i + 1 < data.size(); ++i)
        if (uchar(data[i]) == 0xff && uchar(data[i + 1]) == code)
            return i;
    return -1;
}

// JPEGs of 200x150 pixels that libjpeg reports as corrupt while Qt's reader returns a picture.
QList<QPair<const char*, QByteArray>> damagedJpegs() {
    const QByteArray good = jpeg(QSize(200, 150));
    const int dht = markerAt(good, 0xc4);
    const int sof = markerAt(good, 0xc0);
    const int sos = markerAt(good, 0xda);
    EXPECT_GT(dht, 0);
    EXPECT_GT(sof, 0);
    EXPECT_GT(sos, 0);
    QList<QPair<const char*, QByteArray>> damaged;
    QByteArray bad = good;
    bad[dht + 21] = char(uchar(bad[dht + 21]) ^ 0x05); // a code value of the first table
    damaged.append({"bad Huffman code", bad});
    damaged.append({"scan cut short", good.left(sos + (good.size() - sos) / 2) + "\xff\xd9"});
    bad = good;
    bad[sos + 12] = 0x3e; // spectral selection end of a sequential scan
    damaged.append({"SOS parameters", bad});
    bad = good;
    bad.insert(sos, QByteArray(3, '\0'));
    damaged.append({"bytes between header segments", bad});
    bad = good;
    qToBigEndian<quint16>(0x8000, bad.data() + sof + 5); // 32768 rows
    damaged.append({"height beyond the scan", bad});
    return damaged;
}

// A grey JPEG of 2048x1536 pixels written bit by bit: every 8x8 block is the one-bit DC code
// "0" (no change) and the one-bit AC code "0" (end of block). With badBlock >= 0 that block's
// DC code is seventeen ones instead, a code no table has; libjpeg reads it as "no change" too,
// so the blocks after it decode as before.
QByteArray handMadeJpeg(int badBlock) {
    const int width = 2048;
    const int height = 1536;
    QByteArray d("\xff\xd8", 2);
    d += QByteArray("\xff\xdb\x00\x43\x00", 5) + QByteArray(64, '\x01'); // quantisation
    d += QByteArray("\xff\xc0\x00\x0b\x08", 5);                          // frame: one component
    d += char(height >> 8);
    d += char(height & 0xff);
    d += char(width >> 8);
    d += char(width & 0xff);
    d += QByteArray("\x01\x01\x11\x00", 4);
    for (const char tableClass : {'\x00', '\x10'}) // DC and AC tables: one code of length 1
        d += QByteArray("\xff\xc4\x00\x14", 4) + tableClass + '\x01' + QByteArray(15, '\0') + '\0';
    d += QByteArray("\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00", 10); // scan
    int byte = 0;
    int used = 0;
    const auto put = [&](int bit) {
        byte = byte << 1 | bit;
        if (++used < 8)
            return;
        d += char(byte);
        if (byte == 0xff)
            d += '\0'; // stuffed
        byte = 0;
        used = 0;
    };
    for (int block = 0; block < width / 8 * height / 8; ++block) {
        for (int i = 0; i < (block == badBlock ? 17 : 1); ++i)
            put(block == badBlock ? 1 : 0);
        put(0);
    }
    while (used != 0)
        put(1);
    return d + QByteArray("\xff\xd9", 2);
}

// The block whose DC code starts in the byte at the file offset, in handMadeJpeg's scan.
int blockAtOffset(int offset) {
    const int scanStart = 138;
    return (offset - scanStart) * 4;
}

// A BMP of 5x4 pixels, 8 or 24 bits a pixel, whose top row is red and the others blue; stored
// top row first (a negative height) or, as usual, bottom row first.
QByteArray redTopBmp(int bitsPerPixel, bool topDown) {
    const int width = 5;
    const int height = 4;
    const bool indexed = bitsPerPixel == 8;
    const int rowBytes = ((width * bitsPerPixel / 8 + 3) / 4) * 4;
    const int offBits = 54 + (indexed ? 4 * 256 : 0);
    QByteArray d(offBits + rowBytes * height, '\0');
    uchar* p = reinterpret_cast<uchar*>(d.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(d.size(), p + 2);
    qToLittleEndian<quint32>(offBits, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(topDown ? -height : height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(bitsPerPixel, p + 28);
    if (indexed) {
        qToLittleEndian<quint32>(256, p + 46);
        qToLittleEndian<quint32>(0xffff0000, p + 54); // 0 red
        qToLittleEndian<quint32>(0xff0000ff, p + 58); // 1 blue
    }
    for (int y = 0; y < height; ++y) {
        const bool red = y == 0;
        uchar* row = p + offBits + rowBytes * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            if (indexed) {
                row[x] = red ? 0 : 1;
            } else {
                row[3 * x] = red ? 0 : 0xff;     // blue
                row[3 * x + 2] = red ? 0xff : 0; // red
            }
        }
    }
    return d;
}

// A BMP of 8x4 pixels whose pixel data are the run-length codes `codes` (RLE8, or RLE4 with
// `fourBit`), with a palette of black, white, red, blue.
QByteArray rleBmp(bool fourBit, const QByteArray& codes) {
    const int colours = fourBit ? 16 : 256;
    const int offBits = 54 + 4 * colours;
    QByteArray d(offBits, '\0');
    uchar* p = reinterpret_cast<uchar*>(d.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(offBits + codes.size(), p + 2);
    qToLittleEndian<quint32>(offBits, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(8, p + 18);
    qToLittleEndian<qint32>(4, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(fourBit ? 4 : 8, p + 28);
    qToLittleEndian<quint32>(fourBit ? 2 : 1, p + 30);
    qToLittleEndian<quint32>(colours, p + 46);
    const QRgb palette[] = {0xff000000, 0xffffffff, 0xffff0000, 0xff0000ff};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian<quint32>(palette[i], p + 54 + 4 * i);
    return d + codes;
}

// Bottom row: 4 white, an absolute run red blue red (padded), 1 white; second row all red; a
// delta skips the third; top row all blue.
const QByteArray Rle8Codes("\x04\x01\x00\x03\x02\x03\x02\x00\x01\x01\x00\x00"
                           "\x08\x02\x00\x00"
                           "\x00\x02\x00\x01"
                           "\x08\x03\x00\x01",
                           24);
const QByteArray Rle4Codes("\x04\x11\x00\x03\x23\x20\x01\x11\x00\x00"
                           "\x08\x22\x00\x00"
                           "\x00\x02\x00\x01"
                           "\x08\x33\x00\x01",
                           22);

} // namespace

TEST(PictureFileValidator, GoodJpegsAreSound) {
    const QByteArray good = jpeg(QSize(200, 150));
    EXPECT_TRUE(KV_PictureFileValidator::jpegIsSound(good));
    EXPECT_TRUE(KV_PictureFileValidator::jpegIsSound(jpeg(QSize(200, 150), true)));
    EXPECT_TRUE(KV_PictureFileValidator::jpegIsSound(jpeg(QSize(1, 1))));
    // Bytes after the end-of-image marker are never read.
    EXPECT_TRUE(KV_PictureFileValidator::jpegIsSound(good + "trailing bytes\n"));
    // An unknown JFIF revision says nothing about the pixels.
    QByteArray revision = good;
    ASSERT_EQ(revision.mid(6, 4), "JFIF");
    revision[11] = 2;
    EXPECT_TRUE(KV_PictureFileValidator::jpegIsSound(revision));
}

TEST(PictureFileValidator, JpegsWithCorruptDataAreRefused) {
    for (const auto& [what, data] : damagedJpegs())
        EXPECT_FALSE(KV_PictureFileValidator::jpegIsSound(data)) << what;
    const QByteArray good = jpeg(QSize(200, 150));
    EXPECT_FALSE(KV_PictureFileValidator::jpegIsSound(good.left(good.size() - 2))); // no EOI
    EXPECT_FALSE(KV_PictureFileValidator::jpegIsSound(good.left(10)));
    EXPECT_FALSE(KV_PictureFileValidator::jpegIsSound(QByteArray()));
}

// libjpeg's Huffman decoder passes over a code no table has without a word while much data is
// buffered, and reports it where little is, as near the end of each 4096-byte block it reads
// from a file. A file of bad codes in such places is refused.
TEST(PictureFileValidator, JpegsAreReadAsLibjpegReadsAFile) {
    const QByteArray good = handMadeJpeg(-1);
    ASSERT_EQ(good.size(), 12428);
    EXPECT_TRUE(KV_PictureFileValidator::jpegIsSound(good));
    EXPECT_EQ(QImage::fromData(good, "JPEG").size(), QSize(2048, 1536));
    for (const int offset : {4096 + 3800, 2 * 4096 + 3700}) {
        const QByteArray bad = handMadeJpeg(blockAtOffset(offset));
        EXPECT_FALSE(KV_PictureFileValidator::jpegIsSound(bad)) << offset;
        QTemporaryDir dir;
        QFile file(dir.filePath("bad.jpeg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bad) == bad.size());
        file.close();
        EXPECT_FALSE(KV_PictureFileValidator::fileIsSound(file.fileName(), "JPEG")) << offset;
    }
}

TEST(PictureFileValidator, RunLengthBmpsMustReachTheirEndCode) {
    for (bool fourBit : {false, true}) {
        const QByteArray codes = fourBit ? Rle4Codes : Rle8Codes;
        const QByteArray bmp = rleBmp(fourBit, codes);
        EXPECT_TRUE(KV_PictureFileValidator::bmpIsSound(bmp)) << fourBit;
        // The codes are read as Qt reads them (the bytes of the picture are what we wrote).
        QImage im = QImage::fromData(bmp, "BMP");
        ASSERT_EQ(im.size(), QSize(8, 4)) << fourBit;
        EXPECT_EQ(im.pixel(0, 3), 0xffffffffu);
        EXPECT_EQ(im.pixel(5, 3), 0xff0000ffu);
        EXPECT_EQ(im.pixel(7, 3), 0xffffffffu);
        EXPECT_EQ(im.pixel(3, 2), 0xffff0000u);
        EXPECT_EQ(im.pixel(7, 0), 0xff0000ffu);
        // Cut anywhere inside the codes, also inside an absolute run or a delta.
        for (int keep = 0; keep < codes.size(); ++keep)
            EXPECT_FALSE(
                KV_PictureFileValidator::bmpIsSound(bmp.left(bmp.size() - codes.size() + keep)))
                << fourBit << " " << keep;
    }
}

class PictureLoadTest : public CanvasTest {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
            << qPrintable(name);
        return file.fileName();
    }
    QTemporaryDir dir;
};

// The document stays bound to its picture, so a later Save cannot replace the damaged file.
TEST_F(PictureLoadTest, DamagedPicturesAreRefusedAndTheDocumentKeepsItsFile) {
    const QString good = write("good.jpeg", jpeg(QSize(200, 150)));
    ASSERT_TRUE(doc->loadImage(good, "JPEG"));
    const QImage before = picture();
    int n = 0;
    for (const auto& [what, data] : damagedJpegs()) {
        const QString path = write(QString("damaged%1.jpeg").arg(++n), data);
        EXPECT_FALSE(doc->loadImage(path, "JPEG")) << what;
    }
    const QByteArray rle = rleBmp(false, Rle8Codes);
    EXPECT_FALSE(doc->loadImage(write("cut.bmp", rle.left(rle.size() - 10)), "BMP"));
    EXPECT_EQ(doc->fileName(), good);
    EXPECT_EQ(picture(), before);
    EXPECT_TRUE(doc->loadImage(write("trailing.jpeg", jpeg(QSize(200, 150)) + "trailing"), "JPEG"));
    EXPECT_TRUE(doc->loadImage(write("rle.bmp", rle), "BMP"));
}

TEST_F(PictureLoadTest, TopDownBmpsOpenTheRightWayUp) {
    for (const int bits : {8, 24})
        for (const bool topDown : {true, false}) {
            const QString name = QString("pic%1%2.bmp").arg(bits).arg(topDown ? "td" : "");
            ASSERT_TRUE(doc->loadImage(write(name, redTopBmp(bits, topDown)), "BMP"))
                << qPrintable(name);
            const QImage im = picture();
            ASSERT_EQ(im.size(), QSize(5, 4)) << qPrintable(name);
            EXPECT_EQ(im.pixel(0, 0), 0xffff0000u) << qPrintable(name);
            EXPECT_EQ(im.pixel(4, 0), 0xffff0000u) << qPrintable(name);
            EXPECT_EQ(im.pixel(0, 1), 0xff0000ffu) << qPrintable(name);
            EXPECT_EQ(im.pixel(4, 3), 0xff0000ffu) << qPrintable(name);
        }
}

// A 48-megapixel photo takes more than Qt's default allocation limit of 128 MB.
TEST_F(PictureLoadTest, LargePhotosOpen) {
    QImage photo(8000, 6000, QImage::Format_RGB32);
    photo.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 100; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(photo.scanLine(y)), 8000, qRgb(255, 0, 0));
    const QString file = dir.filePath("photo.jpeg");
    ASSERT_TRUE(photo.save(file, "JPEG"));
    photo = QImage();
    ASSERT_TRUE(doc->loadImage(file, "JPEG"));
    const QImage im = doc->pmScaled()->toImage();
    ASSERT_EQ(im.size(), QSize(8000, 6000));
    // Red above, blue below, within JPEG's loss.
    EXPECT_GT(qRed(im.pixel(4000, 10)), 240);
    EXPECT_LT(qBlue(im.pixel(4000, 10)), 15);
    EXPECT_GT(qBlue(im.pixel(4000, 3000)), 240);
    EXPECT_LT(qRed(im.pixel(4000, 3000)), 15);
    EXPECT_EQ(doc->fileName(), file);
}

TEST_F(PictureLoadTest, AWarningFromAnotherThreadDoesNotRefuseAGoodPicture) {
    const QString file = write("good.jpeg", jpeg(QSize(1000, 800)));
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread other([&] {
        while (!stop) {
            qWarning("unrelated warning");
            ++sent;
        }
    });
    while (sent == 0)
        std::this_thread::yield();
    int overlapping = 0;
    for (int i = 0; i < 3; ++i) {
        const int before = sent;
        EXPECT_TRUE(doc->loadImage(file, "JPEG"));
        overlapping += sent > before;
    }
    stop = true;
    other.join();
    qInstallMessageHandler(previous);
    EXPECT_GT(overlapping, 0); // the warnings did come while pictures were loaded
}
