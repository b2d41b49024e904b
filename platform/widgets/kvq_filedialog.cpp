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

// The folder to show: folder inside the backpack when given and present, else the backpack.
QString shownFolder(const QString& folder) {
    const QString backpack = QDir::cleanPath(KV_Backpack::folder());
    if (folder.isNull())
        return backpack;
    const QString path = QDir::cleanPath(QDir(backpack).filePath(folder));
    return QFileInfo(path).isDir() && path.startsWith(backpack) ? path : backpack;
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
    KV_BackpackDialog dialog(KV_BackpackDialog::Open, shownFolder(folder),
                             splitList(types) + splitList(extensions), parent);
    prepare(dialog, name, caption);
    if (!fileName.isNull())
        dialog.select(QDir(shownFolder(folder)).filePath(fileName));
    else if (file.isBound())
        dialog.select(file.path());
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
    QString start = shownFolder(folder);
    const QString backpack = QDir::cleanPath(KV_Backpack::folder());
    if (folder.isNull() && current.isBound()) {
        const QString currentFolder = QFileInfo(current.path()).absolutePath();
        if (currentFolder.startsWith(backpack))
            start = currentFolder;
    }
    KV_BackpackDialog dialog(KV_BackpackDialog::Save, start, QStringList(), parent);
    prepare(dialog, name, caption);
    dialog.setSaveType(type);
    if (!fileName.isNull())
        dialog.setName(fileName);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen.setPath(dialog.chosenPath());
    return true;
}
