#include "kv_backpack.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

QString KV_Backpack::folder() {
    const QString dir = qEnvironmentVariable("KV_BACKPACK_DIR");
    if (!dir.isEmpty())
        return QDir::cleanPath(dir);
    return QDir::homePath() + QStringLiteral("/Documents");
}

bool KV_Backpack::ensureFolder() {
    return QDir().mkpath(folder());
}

QStringList KV_Backpack::documents(const QStringList& extensions) {
    QStringList found;
    QDirIterator it(folder(), QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (extensions.isEmpty() || extensions.contains(info.suffix(), Qt::CaseInsensitive))
            found << info.filePath();
    }
    found.sort(Qt::CaseInsensitive);
    return found;
}
