#include "qimageio.h"

#include <QByteArray>
#include <QFileInfo>
#include <QImageReader>

#include <set>
#include <string>

const char* QImageIO::formatName(const QByteArray& qt6Name) {
    if (qt6Name.isEmpty())
        return nullptr;
    const QByteArray upper = qt6Name.toUpper();
    if (upper == "BMP")
        return "BMP";
    if (upper == "JPEG" || upper == "JPG")
        return "JPEG";
    // Any other format keeps its (upper-case) name in storage that lives as long as the
    // process; std::set nodes never move, so the returned pointers stay valid.
    static std::set<std::string> names;
    return names.insert(upper.toStdString()).first->c_str();
}

const char* QImageIO::imageFormat(const QString& fileName) {
    // Only a regular file is read: opening a named pipe waits for a writer, and a device may
    // never end.
    if (!QFileInfo(fileName).isFile())
        return nullptr;
    return formatName(QImageReader::imageFormat(fileName));
}

const char* QImageIO::imageFormat(QIODevice* device) {
    return device ? formatName(QImageReader::imageFormat(device)) : nullptr;
}
