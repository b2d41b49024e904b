// The folder of the shared library that holds a given address, for libraries that find their
// installed data relative to themselves.
#ifndef KV_LIBRARYFOLDER_H
#define KV_LIBRARYFOLDER_H

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

// anchor: the address of something defined in the calling library (a static of its own).
// Returns the folder, links resolved, or an empty string.
inline QString kvLibraryFolder(const void* anchor) {
    Dl_info info;
    if (dladdr(anchor, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return QString();
    const QFileInfo file(QFile::decodeName(info.dli_fname));
    const QString canonical = file.canonicalPath();
    return canonical.isEmpty() ? file.absolutePath() : canonical;
}

#endif
