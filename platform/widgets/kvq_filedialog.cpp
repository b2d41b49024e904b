#include "kvq_filedialog.h"

#include "kv_backpack.h"
#include "kv_backpackdialog.h"
#include "kvq_backpackfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

QStringList splitList(const QStringList& lists) {
    QStringList out;
    for (const QString& l : lists)
        for (const QString& e : l.split(QLatin1Char(','), Qt::SkipEmptyParts))
            out << e.trimmed();
    return out;
}

// The folder to show first: folder inside the backpack when given and present, else the top.
QString startFolder(const QString& folder) {
    const QString backpack = QDir::cleanPath(KV_Backpack::folder());
    if (folder.isNull())
        return backpack;
    const QString path = QDir::cleanPath(QDir(backpack).filePath(folder));
    return QFileInfo(path).isDir() && KV_Backpack::contains(path) ? path : backpack;
}

// The folder of a bound file that lies in the backpack, else null.
QString folderOf(const KVQ_BackpackFile& file) {
    if (!file.isBound())
        return QString();
    const QString folder = QFileInfo(file.path()).absolutePath();
    return QFileInfo(folder).isDir() && KV_Backpack::contains(folder) ? folder : QString();
}

void prepare(QDialog& dialog, const char* name, const QString& caption) {
    if (name)
        dialog.setObjectName(QString::fromUtf8(name));
    dialog.setWindowTitle(caption);
}

} // namespace

bool KVQ_FileDialog::getOpenFile(KVQ_BackpackFile& file, const QStringList& types,
                                 const QStringList& extensions, const QString& folder,
                                 const QString& fileName, const QString&, QWidget* parent,
                                 const char* name, const QString& caption) {
    KV_Backpack::ensureFolder();
    KV_BackpackDialog dialog(KV_BackpackDialog::Open, KV_Backpack::folder(),
                             splitList(types) + splitList(extensions), parent);
    prepare(dialog, name, caption);
    const QString start = startFolder(folder);
    if (!fileName.isNull())
        dialog.select(QDir(start).filePath(fileName));
    else if (const QString bound = folderOf(file);
             !bound.isNull() && (folder.isNull() || QDir(bound) == QDir(start)))
        dialog.select(file.path());
    else
        dialog.showFolder(start);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    file.setPath(dialog.chosenPath());
    return true;
}

bool KVQ_FileDialog::getSaveFile(const KVQ_BackpackFile& current, KVQ_BackpackFile& chosen,
                                 const QString& type, const QString& folder,
                                 const QString& fileName, const QString&, QWidget* parent,
                                 const char* name, const QString& caption) {
    KV_Backpack::ensureFolder();
    KV_BackpackDialog dialog(KV_BackpackDialog::Save, KV_Backpack::folder(), QStringList(), parent);
    prepare(dialog, name, caption);
    const QString currentFolder = folderOf(current);
    dialog.showFolder(folder.isNull() && !currentFolder.isNull() ? currentFolder
                                                                 : startFolder(folder));
    dialog.setSaveType(type);
    if (!fileName.isNull())
        dialog.setName(fileName);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen.setPath(dialog.chosenPath());
    return true;
}
