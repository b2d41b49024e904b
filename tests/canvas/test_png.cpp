// PNG through the document: each damage libpng reports, a CRC failure in any chunk and a file
// cut short are refused with the document unchanged; 1-bit, 8-bit and 32-bit pictures make the
// round trip without loss, and in their depth while their pixels allow.
#include "canvas_fixture.h"
#include "kv_picturefilevalidator.h"
#include "png_builder.h"

#include <QFile>
#include <QImageReader>

using namespace png_builder;

namespace {

// A colour picture of 40x30 pixels with a text chunk before its data.
const Layout Plain{40, 30, Rgb, 8};

QList<int> plainPixel(int x, int y) {
    return {x * 6, y * 8, (x + y) * 3};
}

QByteArray plainPng(const QByteArray& rawExtra = {}, int rowsLeftOut = 0) {
    QByteArray raw = rawRows(Plain, plainPixel);
    raw.chop(rowsLeftOut * (1 + 3 * Plain.width));
    return Signature + header(Plain) + chunk("tEXt", QByteArray("Comment\0hello", 13)) +
           chunk("IDAT", zlibOf(raw + rawExtra)) + chunk("IEND", {});
}

// The png with the byte at offset changed and the CRC of the chunk holding it put right.
QByteArray changedWithGoodCrc(QByteArray png, const QByteArray& type, int offsetInData) {
    const int at = chunkAt(png, type);
    const int length = int(qFromBigEndian<quint32>(png.constData() + at));
    png[at + 8 + offsetInData] = char(png[at + 8 + offsetInData] ^ 0x5a);
    return png.left(at) + chunk(type, png.mid(at + 8, length)) + png.mid(at + 12 + length);
}

QByteArray withCrcBroken(QByteArray png, const QByteArray& type) {
    const int at = chunkAt(png, type);
    const int length = int(qFromBigEndian<quint32>(png.constData() + at));
    png[at + 8 + length + 3] = char(png[at + 8 + length + 3] ^ 1);
    return png;
}

// Pixels equal as the editor holds them (alpha premultiplied).
bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
           b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class PngFiles : public CanvasTest {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }
    // Bound to a good PNG, with unsaved drawing on it.
    void bindToGoodPng() {
        good = write("good.png", plainPng());
        ASSERT_TRUE(doc->loadImage(good, "PNG"));
        usePencil(PencilFreeForm);
        drag({2, 2}, {30, 2});
        before = picture();
    }
    void expectRefused(const char* what, const QByteArray& png) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(KV_PictureFileValidator::pngIsSound(png));
        if (doc->loadImage(write("damaged.png", png), "PNG")) {
            ADD_FAILURE() << "loaded";
            bindToGoodPng(); // for the next case
            return;
        }
        EXPECT_EQ(picture(), before);
        EXPECT_EQ(doc->fileName(), good);
        EXPECT_STREQ(doc->currentFormat(), "PNG");
        EXPECT_FALSE(doc->saved());
        EXPECT_TRUE(doc->painter()->isActive());
    }
    void expectAccepted(const char* what, const QByteArray& png) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(KV_PictureFileValidator::pngIsSound(png));
        EXPECT_TRUE(doc->loadImage(write("sound.png", png), "PNG"));
        EXPECT_EQ(picture().size(), QSize(40, 30));
    }
    // A picture through the document and back to a file: the pixels read back, and the depth
    // of the file written.
    QImage roundTrip(const QImage& source, const char* format = "png") {
        const QString from = write(QString("from.%1").arg(format), encodedPicture(source, format));
        EXPECT_TRUE(doc->loadImage(from, QByteArray(format).toUpper().constData()));
        EXPECT_TRUE(samePixels(picture(), source));
        const QString to = dir.filePath("to.png");
        EXPECT_TRUE(doc->saveImageAs(to, "PNG"));
        return QImageReader(to, "png").read();
    }

    QTemporaryDir dir;
    QString good;
    QImage before;
};

TEST_F(PngFiles, DamageIsRefusedWithTheDocumentUnchanged) {
    bindToGoodPng();
    const QByteArray png = plainPng();
    for (const char* type : {"IHDR", "tEXt", "IDAT", "IEND"})
        expectRefused(type, withCrcBroken(png, type));
    const int idat = chunkAt(png, "IDAT");
    const int iend = chunkAt(png, "IEND");
    for (const int cut : {0, 8, 20, idat + 10, (idat + iend) / 2, iend, int(png.size()) - 4})
        expectRefused(qPrintable(QString("cut at %1").arg(cut)), png.left(cut));
    expectRefused("compressed data changed", changedWithGoodCrc(png, "IDAT", 20));
    expectRefused("zlib checksum changed", changedWithGoodCrc(png, "IDAT", iend - idat - 14));
    expectRefused("a row too many", plainPng(rawRows(Plain, plainPixel).left(1 + 3 * 40)));
    expectRefused("a row too few", plainPng({}, 1));
    {
        // Bytes after the compressed data, inside the data chunk.
        const QByteArray data = zlibOf(rawRows(Plain, plainPixel)) + "extra";
        expectRefused("extra compressed data",
                      Signature + header(Plain) + chunk("IDAT", data) + chunk("IEND", {}));
    }
    {
        QByteArray raw = rawRows(Plain, plainPixel);
        raw[0] = 9; // no such filter
        expectRefused("filter type",
                      Signature + header(Plain) + chunk("IDAT", zlibOf(raw)) + chunk("IEND", {}));
    }
    {
        // A palette of four colours, and pixels of colour 200.
        const Layout layout{8, 4, Palette, 8};
        const QByteArray colours =
            paletteChunks({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
        const auto index = [](int x, int) { return QList<int>{x == 5 ? 200 : x % 4}; };
        expectRefused("palette index", file(layout, index, colours));
        expectRefused("no palette", file(layout, index));
    }
    // More pixels than the editor takes: refused from the header.
    expectRefused("2^27 + 1 pixels", Signature + header({(1 << 27) + 1, 1, Grey, 1}) +
                                         chunk("IDAT", zlibOf("\0\0")) + chunk("IEND", {}));
    expectRefused("a JPEG", encodedPicture(QImage(8, 8, QImage::Format_RGB32), "jpeg"));
    expectRefused("empty", QByteArray());
}

// What libpng only warns about in an ancillary chunk, and bytes after the end chunk, leave the
// pixels as they are.
TEST_F(PngFiles, MetadataWarningsAndTrailingBytesAreNoDamage) {
    bindToGoodPng();
    const QByteArray png = plainPng();
    expectAccepted("trailing bytes", png + "trailing bytes");
    const int idat = chunkAt(png, "IDAT");
    // A modification time of the wrong length, and a chunk of a kind libpng does not know.
    const QByteArray odd = chunk("tIME", "\x07\xe8\x01") + chunk("kvTs", "anything");
    expectAccepted("odd ancillary chunks", png.left(idat) + odd + png.mid(idat));
    EXPECT_EQ(picture().pixel(10, 20), qRgb(60, 160, 90));
}

TEST_F(PngFiles, PicturesOfEachDepthMakeTheRoundTripLossless) {
    QImage oneBit(67, 41, QImage::Format_Mono);
    oneBit.setColorTable({qRgb(0, 0, 128), qRgb(255, 255, 0)});
    QImage palette(67, 41, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 200; ++i)
        colours << qRgb(i, 255 - i, i * 7 % 256);
    palette.setColorTable(colours);
    QImage grey(67, 41, QImage::Format_Grayscale8);
    QImage colour(67, 41, QImage::Format_RGB32);
    QImage alpha(67, 41, QImage::Format_ARGB32);
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 67; ++x) {
            oneBit.setPixel(x, y, (x * y + x) % 3 == 0);
            palette.setPixel(x, y, (x * 3 + y * 5) % 200);
            grey.scanLine(y)[x] = uchar(x * 3 + y);
            colour.setPixel(x, y, qRgb(x * 3, y * 6, (x * y) & 0xff));
            alpha.setPixel(x, y, x % 4 == 0 ? qRgba(0, 0, 0, 0) : qRgb(x * 3, y * 6, 77));
        }
    struct Case {
        const char* name;
        QImage source;
        int depth;
    };
    const Case cases[] = {{"1-bit", oneBit, 1},
                          {"8-bit palette", palette, 8},
                          {"8-bit grey", grey, 8},
                          {"32-bit", colour, 32},
                          {"32-bit with transparency", alpha, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage written = roundTrip(c.source);
        EXPECT_TRUE(samePixels(written, c.source));
        EXPECT_EQ(written.depth(), c.depth);
        EXPECT_EQ(written.hasAlphaChannel(), c.source.hasAlphaChannel());
    }
    // A BMP's depth goes to the PNG too, and a PNG's to the BMP.
    EXPECT_EQ(roundTrip(oneBit, "bmp").depth(), 1);
    EXPECT_EQ(roundTrip(palette, "bmp").depth(), 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.source.hasAlphaChannel())
            continue;
        roundTrip(c.source);
        ASSERT_TRUE(doc->saveImageAs(dir.filePath("to.bmp"), "BMP"));
        const QImage bmp = QImageReader(dir.filePath("to.bmp"), "bmp").read();
        EXPECT_TRUE(samePixels(bmp, c.source));
        EXPECT_EQ(bmp.depth(), c.depth);
    }
}

// Drawing in a colour of the picture keeps its depth; any other colour makes it 32-bit, and
// the drawing is kept either way. Save writes in the same way; a new picture is 32-bit.
TEST_F(PngFiles, DrawingKeepsTheDepthWhileItsColoursAllow) {
    QImage blackWhite(60, 40, QImage::Format_Mono);
    blackWhite.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    blackWhite.fill(0);
    QImage navyYellow = blackWhite;
    navyYellow.setColorTable({qRgb(0, 0, 128), qRgb(255, 255, 0)});
    const QString file = dir.filePath("to.png");
    for (const auto& [source, depth] : {std::pair{blackWhite, 1}, std::pair{navyYellow, 32}}) {
        SCOPED_TRACE(depth);
        roundTrip(source);
        usePencil(PencilFreeForm);
        drag({5, 20}, {50, 20}); // black
        ASSERT_TRUE(doc->saveImage());
        const QImage written = QImageReader(file, "png").read();
        EXPECT_EQ(written.depth(), depth);
        EXPECT_TRUE(samePixels(written, picture()));
        EXPECT_EQ(written.pixel(30, 20), Black);
    }
    doc->newImage();
    ASSERT_TRUE(doc->saveImageAs(file, "PNG"));
    EXPECT_EQ(QImageReader(file, "png").read().depth(), 32);
}
