#include "resource.h"

#include <QDir>
#include <QFileInfo>

QStringList Resource::searchFolders() {
    QStringList folders =
        qEnvironmentVariable("KV_PICS_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders << QStringLiteral(KV_INSTALLED_PICS_DIR);
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
