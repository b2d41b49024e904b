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

bool KV_Backpack::contains(const QString& path) {
    const QString root = QFileInfo(folder()).canonicalFilePath();
    if (root.isEmpty() || path.isEmpty())
        return false;
    // Walk up to the nearest part that exists, so that a name still to be created is judged
    // by the folder it would go into.
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return false;
        rest = existing.mid(slash) + rest;
        existing.truncate(slash);
    }
    const QString real = QDir::cleanPath(QFileInfo(existing).canonicalFilePath() + rest);
    return real == root || real.startsWith(root + QLatin1Char('/'));
}
