// Where the backpack lives and what it holds.
#ifndef KV_BACKPACK_H
#define KV_BACKPACK_H

#include <QString>
#include <QStringList>

class KV_Backpack {
public:
    // The backpack folder: $KV_BACKPACK_DIR, or Documents in the home folder.
    static QString folder();
    // Creates the folder when missing; false when it cannot be created.
    static bool ensureFolder();
    // The paths of the documents under the folder (subfolders included, hidden files not),
    // sorted, whose extension matches one of extensions ignoring case; all when it is empty.
    static QStringList documents(const QStringList& extensions);
    // True when path is the folder or lies under it, symbolic links resolved. A path that does
    // not exist yet counts by its nearest existing folder.
    static bool contains(const QString& path);
};

#endif
