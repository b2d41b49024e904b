#include "kv_componentregistry.h"

#include "kv_libraryfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QtGlobal>

namespace {

// The folder holding the file this library was loaded from, or an empty string.
QString libraryFolder() {
    static const char anchor = 0;
    return kvLibraryFolder(&anchor);
}

} // namespace

KV_ComponentRegistry& KV_ComponentRegistry::shared() {
    static KV_ComponentRegistry registry;
    const QString path = qEnvironmentVariable("KV_COMPONENT_PATH");
    if (!registry.scanned || path != registry.scannedPath) {
        registry.rescan();
        registry.scannedPath = path;
        registry.scanned = true;
    }
    return registry;
}

QStringList KV_ComponentRegistry::searchFolders() {
    QStringList folders;
    const QString extra = qEnvironmentVariable("KV_COMPONENT_PATH");
    for (const QString& f : extra.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << f;
    const QString libraries = libraryFolder();
    if (!libraries.isEmpty())
        folders << QDir::cleanPath(libraries + QStringLiteral("/" KV_COMPONENT_DIR_FROM_LIB));
    folders.removeDuplicates();
    return folders;
}

void KV_ComponentRegistry::rescan() {
    libraries.clear();
    order.clear();
    for (const QString& folder : searchFolders()) {
        const QDir dir(folder);
        if (!dir.exists())
            continue;
        const QStringList indexes =
            dir.entryList({QStringLiteral("*.index")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& index : indexes)
            readIndex(dir.filePath(index));
    }
}

void KV_ComponentRegistry::readIndex(const QString& indexFile) {
    QFile file(indexFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("KVQ_ORB: cannot read component index %s", qPrintable(indexFile));
        return;
    }
    const QDir base = QFileInfo(indexFile).absoluteDir();
    QTextStream in(&file);
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNo;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() != 2) {
            qWarning("KVQ_ORB: %s:%d: expected \"ClassName library-file\"", qPrintable(indexFile),
                     lineNo);
            continue;
        }
        const QString& className = fields.at(0);
        if (libraries.contains(className))
            continue;
        libraries.insert(className, QDir::cleanPath(base.absoluteFilePath(fields.at(1))));
        order << className;
    }
}

QString KV_ComponentRegistry::libraryFor(const QString& className) const {
    return libraries.value(className);
}

QString KV_ComponentRegistry::findLibrary(const QString& className) {
    QString library = libraryFor(className);
    if (library.isEmpty()) {
        rescan();
        library = libraryFor(className);
    }
    return library;
}
