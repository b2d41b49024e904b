#include "resource.h"

#include "kv_libraryfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The folder holding the file this library was loaded from, or an empty string.
QString libraryFolder() {
    static const char anchor = 0;
    return kvLibraryFolder(&anchor);
}

} // namespace

QStringList Resource::searchFolders() {
    QStringList folders =
        qEnvironmentVariable("KV_PICS_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    // The installed picture folder, relative to this library (share/kv/pics beside lib/).
    const QString libraries = libraryFolder();
    if (!libraries.isEmpty())
        folders << QDir::cleanPath(libraries + QStringLiteral("/" KV_PICS_DIR_FROM_LIB));
    return folders;
}

QString Resource::findPixmap(const QString& name) {
    if (name.isEmpty())
        return QString();
    QStringList names = {name};
    if (QFileInfo(name).suffix().isEmpty())
        names << name + QStringLiteral(".png");
    for (const QString& n : names)
        if (QFileInfo(n).isFile())
            return n;
    if (QDir::isAbsolutePath(name))
        return QString();
    for (const QString& folder : searchFolders())
        for (const QString& n : names) {
            const QString path = QDir(folder).filePath(n);
            if (QFileInfo(path).isFile())
                return path;
        }
    return QString();
}

QPixmap Resource::loadPixmap(const QString& name) {
    const QString path = findPixmap(name);
    return path.isNull() ? QPixmap() : QPixmap(path);
}

QImage Resource::loadImage(const QString& name) {
    const QString path = findPixmap(name);
    return path.isNull() ? QImage() : QImage(path);
}
