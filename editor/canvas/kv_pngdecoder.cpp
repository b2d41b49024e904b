#include "kv_pngdecoder.h"

#include <QImage>
#include <QList>

#include <png.h>

namespace {

struct PngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    qint64 maxPixels = 0;
    int damage = 0;
    // The row the rows go to when the file is only checked; freed with the read.
    png_bytep scratch = nullptr;
};

// libpng's own handler would print the message; the file is refused silently instead.
[[noreturn]] void leaveRead(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void countDamage(png_structp png, png_const_charp) {
    // The fifth bit of a chunk type's first letter marks an ancillary chunk. Before the first
    // chunk the type is 0: the signature counts as the picture's own.
    const png_uint_32 chunk = png_get_io_chunk_type(png);
    if (((chunk >> 29) & 1) == 0)
        ++static_cast<PngRead*>(png_get_error_ptr(png))->damage;
}

// Sets libpng's transformations for the rows and says which QImage format they then fill.
QImage::Format transformRows(png_structp png, png_infop info) {
    const int depth = png_get_bit_depth(png, info);
    const int colour = png_get_color_type(png, info);
    const bool transparentColour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_scale_16(png);
    if (colour == PNG_COLOR_TYPE_PALETTE) {
        // One-bit rows are laid out as Format_Mono's, most significant bit first.
        if (depth == 1)
            return QImage::Format_Mono;
        png_set_packing(png);
        return QImage::Format_Indexed8;
    }
    if (colour == PNG_COLOR_TYPE_GRAY && !transparentColour) {
        if (depth == 1)
            return QImage::Format_Mono;
        png_set_expand_gray_1_2_4_to_8(png);
        return QImage::Format_Grayscale8;
    }
    // Colour, grey with alpha, or grey with a transparent value: 32 bits, in the byte order of
    // Format_RGB32 and Format_ARGB32.
    if (transparentColour)
        png_set_tRNS_to_alpha(png);
    if ((colour & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    const bool alpha = transparentColour || (colour & PNG_COLOR_MASK_ALPHA) != 0;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        png_set_bgr(png);
        if (!alpha)
            png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    } else if (alpha) {
        png_set_swap_alpha(png);
    } else {
        png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
    }
    return alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

// The colours of a 1-bit or palette picture: the palette, with its transparency, or black and
// white for 1-bit grey.
QList<QRgb> coloursOf(png_structp png, png_infop info) {
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    png_colorp palette = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &palette, &count);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
    QList<QRgb> colours(count);
    for (int i = 0; i < count; ++i)
        colours[i] = qRgba(palette[i].red, palette[i].green, palette[i].blue,
                           i < alphaCount ? alphas[i] : 255);
    return colours;
}

void readRows(png_structp png, int passes, png_uint_32 height, uchar* bits,
              qsizetype bytesPerLine) {
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, bytesPerLine ? bits + bytesPerLine * y : bits, nullptr);
}

bool decodeFrom(PngRead* read, FILE* stream, QImage* image) {
    png_structp png = read->png;
    png_infop info = read->info;
    png_init_io(png, stream);
    // A CRC failure in any chunk is an error, not only in the picture's own.
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    // The pixel limit below applies, not libpng's limit on each side.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (qint64(width) * height > read->maxPixels)
        return false;
    const QImage::Format format = transformRows(png, info);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (image) {
        // Temporaries made and gone within their statements: nothing is left to destroy when
        // libpng leaves through longjmp.
        *image = QImage(int(width), int(height), format);
        if (image->isNull())
            return false;
        if (format == QImage::Format_Mono || format == QImage::Format_Indexed8)
            image->setColorTable(coloursOf(png, info));
        readRows(png, passes, height, image->bits(), image->bytesPerLine());
    } else {
        read->scratch = static_cast<png_bytep>(png_malloc(png, png_get_rowbytes(png, info)));
        readRows(png, passes, height, read->scratch, 0);
    }
    // Up to the end chunk: the chunks after the pixels are checked too.
    png_read_end(png, nullptr);
    return read->damage == 0;
}

// The frame that libpng's errors return to. Nothing between here and libpng may need a
// destructor: they leave through longjmp.
bool guardedDecode(PngRead* read, FILE* stream, QImage* image) {
    if (setjmp(png_jmpbuf(read->png)))
        return false;
    return decodeFrom(read, stream, image);
}

} // namespace

bool KV_PngDecoder::decode(FILE* stream, qint64 maxPixels, QImage* image) {
    if (!stream)
        return false;
    PngRead read;
    read.maxPixels = maxPixels;
    read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, leaveRead, countDamage);
    if (!read.png)
        return false;
    read.info = png_create_info_struct(read.png);
    const bool sound = read.info && guardedDecode(&read, stream, image);
    png_free(read.png, read.scratch);
    png_destroy_read_struct(&read.png, &read.info, nullptr);
    return sound;
}
