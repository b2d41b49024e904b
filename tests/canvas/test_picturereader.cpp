// Pictures decoded once by libjpeg and libpng come out as Qt's own readers give them: every
// JPEG colour form and every PNG colour type, bit depth and interlace, compared pixel by pixel
// with QImageReader on the same file; and in the format that tells the depth of the file.
#include "canvas_fixture.h"
#include "kv_picturereader.h"
#include "png_builder.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstdio>

#include <jpeglib.h>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

QImage qtRead(const QString& path, const char* format) {
    QImageReader reader(path, format);
    return reader.read();
}

// Pixels equal after both are made 32-bit with alpha; tolerance per channel.
::testing::AssertionResult samePixels(const QImage& ours, const QImage& qt, int tolerance = 0) {
    if (ours.size() != qt.size())
        return ::testing::AssertionFailure() << "sizes differ";
    const QImage a = ours.convertToFormat(QImage::Format_ARGB32);
    const QImage b = qt.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > tolerance || qAbs(qGreen(p) - qGreen(q)) > tolerance ||
                qAbs(qBlue(p) - qBlue(q)) > tolerance || qAbs(qAlpha(p) - qAlpha(q)) > tolerance)
                return ::testing::AssertionFailure()
                       << "at " << x << "," << y << ": " << std::hex << p << " against " << q;
        }
    return ::testing::AssertionSuccess();
}

QImage colourful(QSize size) {
    QImage im(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            im.setPixel(x, y,
                        qRgb(x * 255 / size.width(), y * 255 / size.height(), (x ^ y) & 0xff));
    return im;
}

// A CMYK JPEG (as Adobe writes them, inverted) of 3x2 colours, written by libjpeg.
QByteArray cmykJpeg(const QString& path) {
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return {};
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = 48;
    info.image_height = 32;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    JSAMPLE row[48 * 4];
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < 48; ++x) {
            JSAMPLE* p = row + 4 * x;
            p[0] = JSAMPLE(255 - (x / 16) * 100);
            p[1] = JSAMPLE(255 - (y / 16) * 120);
            p[2] = JSAMPLE(200);
            p[3] = JSAMPLE(255 - (x / 16) * 40);
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(PictureReader, JpegsComeOutAsQtReadsThem) {
    QTemporaryDir dir;
    const QImage source = colourful(QSize(203, 157)); // not a multiple of the block size
    QImage grey = source.convertToFormat(QImage::Format_Grayscale8);
    const QString cmyk = dir.filePath("cmyk.jpeg");
    ASSERT_FALSE(cmykJpeg(cmyk).isEmpty());
    struct Case {
        const char* name;
        QString path;
        QImage::Format format;
    };
    const Case cases[] = {
        {"baseline", writeFile(dir, "base.jpeg", encodedPicture(source, "jpeg")),
         QImage::Format_RGB32},
        {"progressive", writeFile(dir, "prog.jpeg", encodedPicture(source, "jpeg", true)),
         QImage::Format_RGB32},
        {"grey", writeFile(dir, "grey.jpeg", encodedPicture(grey, "jpeg")),
         QImage::Format_Grayscale8},
        {"cmyk", cmyk, QImage::Format_RGB32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage ours;
        ASSERT_TRUE(KV_PictureReader::read(c.path, "JPEG", &ours));
        EXPECT_EQ(ours.format(), c.format);
        const QImage qt = qtRead(c.path, "jpeg");
        ASSERT_FALSE(qt.isNull());
        EXPECT_TRUE(samePixels(ours, qt));
        // 32-bit pixels are opaque, as Format_RGB32 requires of them.
        if (ours.format() == QImage::Format_RGB32) {
            EXPECT_EQ(qAlpha(reinterpret_cast<const QRgb*>(ours.constScanLine(5))[7]), 255);
        }
    }
}

TEST(PictureReader, PngsOfEveryKindComeOutAsQtReadsThem) {
    using namespace png_builder;
    struct Case {
        Colour colour;
        int depth;
        bool transparency; // a palette with alphas, or a transparent grey or colour value
        bool interlaced;
        QImage::Format format;
    };
    const Case cases[] = {
        {Palette, 1, false, false, QImage::Format_Mono},
        {Palette, 2, false, false, QImage::Format_Indexed8},
        {Palette, 4, true, false, QImage::Format_Indexed8},
        {Palette, 8, true, false, QImage::Format_Indexed8},
        {Palette, 1, false, true, QImage::Format_Mono},
        {Grey, 1, false, false, QImage::Format_Mono},
        {Grey, 2, false, false, QImage::Format_Grayscale8},
        {Grey, 4, false, true, QImage::Format_Grayscale8},
        {Grey, 8, false, false, QImage::Format_Grayscale8},
        {Grey, 16, false, false, QImage::Format_Grayscale8},
        {Grey, 2, true, false, QImage::Format_ARGB32},
        {Grey, 8, true, false, QImage::Format_ARGB32},
        {GreyAlpha, 8, false, false, QImage::Format_ARGB32},
        {Rgb, 8, false, false, QImage::Format_RGB32},
        {Rgb, 8, false, true, QImage::Format_RGB32},
        {Rgb, 16, false, false, QImage::Format_RGB32},
        {Rgb, 8, true, false, QImage::Format_ARGB32},
        {Rgba, 8, false, false, QImage::Format_ARGB32},
        {Rgba, 16, false, true, QImage::Format_ARGB32},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "colour type " << c.colour << ", " << c.depth
                                          << " bits" << (c.transparency ? ", transparency" : "")
                                          << (c.interlaced ? ", interlaced" : ""));
        const Layout layout{37, 21, c.colour, c.depth, c.interlaced};
        const int top = (1 << c.depth) - 1;
        const Pixel pixel = [&](int x, int y) {
            QList<int> samples;
            for (int i = 0; i < channels(c.colour); ++i)
                samples << (x * 7 + y * 13 + i * 101) * (top / 31 + 1) % (top + 1);
            return samples;
        };
        QByteArray extra;
        if (c.colour == Palette) {
            QList<QRgb> colours;
            for (int i = 0; i <= top; ++i)
                colours << qRgba(i * 37 % 256, 255 - i * 11 % 256, i * 5 % 256,
                                 c.transparency && i % 3 == 0 ? i * 9 % 256 : 255);
            extra = paletteChunks(colours);
        } else if (c.transparency) {
            QByteArray value;
            for (int i = 0; i < channels(c.colour); ++i) // the colour of pixel (0, 0)
                value += QByteArray(1, '\0') + char(pixel(0, 0).at(i));
            extra = chunk("tRNS", value);
        }
        const QString path = writeFile(dir, QString("%1.png").arg(++n), file(layout, pixel, extra));
        QImage ours;
        ASSERT_TRUE(KV_PictureReader::read(path, "PNG", &ours));
        EXPECT_EQ(ours.format(), c.format);
        const QImage qt = qtRead(path, "png");
        ASSERT_FALSE(qt.isNull());
        // Qt keeps 16 bits a sample, which the editor holds as 8.
        EXPECT_TRUE(samePixels(ours, qt, c.depth == 16 ? 1 : 0));
    }
}

TEST(PictureReader, TheNamedFormatOnly) {
    QTemporaryDir dir;
    const QImage source = colourful(QSize(20, 10));
    const QString path = writeFile(dir, "pic.png", encodedPicture(source, "png"));
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QImage before = image;
    for (const char* format : {"JPEG", "BMP", "GIF", ""})
        EXPECT_FALSE(KV_PictureReader::read(path, format, &image)) << format;
    EXPECT_EQ(image, before);
    EXPECT_TRUE(KV_PictureReader::read(path, "png", &image)); // any case
    EXPECT_EQ(image, source);
}
