// kv_makeicons: draws the image editor's icons and writes them into the folder named on the
// command line. Pure shapes on QImage: no fonts, no display, no application object.
#include "kv_iconentry.h"
#include "kv_iconpainter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

QImage render(const KV_IconEntry& icon) {
    // BMP has no alpha channel: those icons get a white ground, the others a transparent one.
    const bool opaque = QString::fromLatin1(icon.name).endsWith(QLatin1String(".bmp"));
    QImage image(icon.width, icon.height,
                 opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    KV_IconPainter icons(painter);
    icon.draw(icons);
    painter.end();
    return image;
}

// Writes through a temporary file so that a failed run never leaves half an icon behind.
bool write(const QImage& image, const QString& path) {
    const QByteArray format = QFileInfo(path).suffix().toLatin1();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, format.constData()) &&
           file.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !std::strcmp(argv[1], "--help")) {
        std::fputs("Usage: kv_makeicons OUTPUT_FOLDER\n", argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "kv_makeicons: cannot create folder %s\n", argv[1]);
        return 1;
    }
    for (const auto* table : {&kvToolIcons(), &kvLineIcons()}) {
        for (const KV_IconEntry& icon : *table) {
            const QString path = QDir(folder).filePath(QString::fromLatin1(icon.name));
            if (!write(render(icon), path)) {
                std::fprintf(stderr, "kv_makeicons: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
