#include "kv_jpegdecoder.h"

#include <QImage>

#include <csetjmp>

#include <jpeglib.h>
// jerror.h after jpeglib.h: the warning codes.
#include <jerror.h>

namespace {

// libjpeg reports errors through error_exit, which must not return, and corrupt data that it
// decodes around through emit_message with a negative level.
struct JpegRead {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf escape;
    qint64 maxPixels;
};

[[noreturn]] void leaveRead(j_common_ptr info) {
    std::longjmp(static_cast<JpegRead*>(info->client_data)->escape, 1);
}

void countDamage(j_common_ptr info, int level) {
    // An unknown JFIF revision concerns the header's version field, not the pixels.
    if (level < 0 && info->err->msg_code != JWRN_JFIF_MAJOR)
        ++info->err->num_warnings;
}

// 32-bit pixels straight from libjpeg, in the byte order of QImage::Format_RGB32; the alpha
// forms set the fourth byte to 0xff, as that format requires.
constexpr J_COLOR_SPACE Rgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// A row of CMYK (as Adobe writes it, inverted) to RGB, the way Qt's reader converts it.
void cmykToRgb(const JSAMPLE* in, QRgb* out, JDIMENSION width) {
    for (JDIMENSION i = 0; i < width; ++i, in += 4) {
        const int k = in[3];
        out[i] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
    }
}

// Rows entropy-decoded only: no inverse DCT or colour conversion, except for the last row, which
// makes libjpeg read up to the end-of-image marker.
void skipRows(j_decompress_ptr info) {
    info->dct_method = JDCT_IFAST;
    info->do_fancy_upsampling = FALSE;
    jpeg_start_decompress(info);
    if (info->output_height > 1)
        jpeg_skip_scanlines(info, info->output_height - 1);
    JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                info->output_width * info->output_components, 1);
    jpeg_read_scanlines(info, row, 1);
}

// Decodes with Qt's reader's settings (libjpeg's default DCT and upsampling) into *image.
bool readRows(j_decompress_ptr info, QImage* image) {
    QImage::Format format;
    switch (info->out_color_space) {
    case JCS_GRAYSCALE:
        format = QImage::Format_Grayscale8;
        break;
    case JCS_RGB:
        info->out_color_space = Rgb32Space;
        format = QImage::Format_RGB32;
        break;
    case JCS_CMYK:
        format = QImage::Format_RGB32;
        break;
    default:
        return false;
    }
    // A temporary made and gone within the statement: nothing is left to destroy when libjpeg
    // leaves through longjmp.
    *image = QImage(int(info->image_width), int(info->image_height), format);
    if (image->isNull())
        return false;
    uchar* const bits = image->bits();
    const qsizetype bytesPerLine = image->bytesPerLine();
    const bool cmyk = info->out_color_space == JCS_CMYK;
    JSAMPARRAY cmykRow = nullptr;
    if (cmyk)
        cmykRow = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                             info->image_width * 4, 1);
    jpeg_start_decompress(info);
    while (info->output_scanline < info->output_height) {
        uchar* line = bits + bytesPerLine * info->output_scanline;
        JSAMPROW row = cmyk ? cmykRow[0] : line;
        jpeg_read_scanlines(info, &row, 1);
        if (cmyk)
            cmykToRgb(row, reinterpret_cast<QRgb*>(line), info->output_width);
    }
    return true;
}

bool decodeFrom(JpegRead* read, FILE* stream, QImage* image) {
    j_decompress_ptr info = &read->info;
    jpeg_stdio_src(info, stream);
    jpeg_read_header(info, TRUE);
    // This also bounds libjpeg's own memory: a progressive picture's coefficients take about
    // 8 bytes a pixel at most (four components).
    if (qint64(info->image_width) * info->image_height > read->maxPixels)
        return false;
    if (image) {
        if (!readRows(info, image))
            return false;
    } else {
        skipRows(info);
    }
    jpeg_finish_decompress(info);
    return info->err->num_warnings == 0;
}

// The frame that libjpeg's errors return to. Nothing between here and libjpeg may need a
// destructor: they leave through longjmp.
bool guardedDecode(JpegRead* read, FILE* stream, QImage* image) {
    if (setjmp(read->escape))
        return false;
    jpeg_create_decompress(&read->info);
    return decodeFrom(read, stream, image);
}

} // namespace

bool KV_JpegDecoder::decode(FILE* stream, qint64 maxPixels, QImage* image) {
    if (!stream)
        return false;
    JpegRead read{};
    read.info.err = jpeg_std_error(&read.errors);
    read.errors.error_exit = leaveRead;
    read.errors.emit_message = countDamage;
    read.info.client_data = &read;
    read.maxPixels = maxPixels;
    const bool sound = guardedDecode(&read, stream, image);
    jpeg_destroy_decompress(&read.info);
    return sound;
}
