#include "kv_backpackfoldermodel.h"

#include "kv_backpack.h"
#include "kv_thumbnailloader.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QStyle>

namespace {

constexpr int side = KV_BackpackFolderModel::thumbnailSize;

// pixmap centred in a transparent square of the thumbnail size, so that every entry has the
// same room for its picture and the names line up.
QPixmap boxed(const QPixmap& pixmap) {
    QPixmap box(side, side);
    box.fill(Qt::transparent);
    QPainter painter(&box);
    painter.drawPixmap((side - pixmap.width()) / 2, (side - pixmap.height()) / 2, pixmap);
    return box;
}

QPixmap boxed(const QIcon& icon) {
    return boxed(icon.pixmap(side, side));
}

bool isPicture(const QFileInfo& info) {
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(info.suffix().toLower().toUtf8());
}

} // namespace

KV_BackpackFolderModel::KV_BackpackFolderModel(const QString& root, const QStringList& extensions,
                                               QObject* parent)
    : QAbstractListModel(parent), root(QDir::cleanPath(QFileInfo(root).absoluteFilePath())),
      shown(this->root), extensions(extensions),
      thumbnails(new KV_ThumbnailLoader(QSize(thumbnailSize, thumbnailSize), this)) {
    const QStyle* style = QApplication::style();
    parentIcon = boxed(style->standardIcon(QStyle::SP_FileDialogToParent));
    folderIcon = boxed(style->standardIcon(QStyle::SP_DirIcon));
    documentIcon = boxed(style->standardIcon(QStyle::SP_FileIcon));
    connect(thumbnails, &KV_ThumbnailLoader::ready, this, &KV_BackpackFolderModel::thumbnailReady);
}

void KV_BackpackFolderModel::setFolder(const QString& path) {
    const QString wanted = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const bool usable = (wanted == root || wanted.startsWith(root + QLatin1Char('/'))) &&
                        QFileInfo(wanted).isDir() && KV_Backpack::contains(wanted);

    beginResetModel();
    thumbnails->cancelPending();
    entries.clear();
    shown = usable ? wanted : root;
    if (shown != root)
        entries.append({QStringLiteral(".."), QFileInfo(shown).path(), Parent, false, {}});
    const QDir dir(shown);
    const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, order))
        if (KV_Backpack::contains(info.absoluteFilePath()))
            entries.append({info.fileName(), info.absoluteFilePath(), Folder, false, {}});
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Readable, order))
        if ((extensions.isEmpty() || extensions.contains(info.suffix(), Qt::CaseInsensitive)) &&
            KV_Backpack::contains(info.absoluteFilePath()))
            entries.append(
                {info.fileName(), info.absoluteFilePath(), Document, isPicture(info), {}});
    endResetModel();

    // Cached thumbnails show at once; the others come through thumbnailReady.
    for (int row = 0; row < entries.size(); ++row)
        if (entries[row].picture)
            if (const QPixmap cached = thumbnails->request(entries[row].path); !cached.isNull()) {
                entries[row].thumbnail = boxed(cached);
                emit dataChanged(index(row), index(row), {Qt::DecorationRole});
            }
}

QString KV_BackpackFolderModel::folderLabel() const {
    const QString below = QDir(root).relativeFilePath(shown);
    return below == QLatin1String(".") ? tr("Backpack") : tr("Backpack") + QLatin1Char('/') + below;
}

int KV_BackpackFolderModel::rowOf(const QString& path) const {
    const QString wanted = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (int row = 0; row < entries.size(); ++row)
        if (entries[row].kind != Parent && entries[row].path == wanted)
            return row;
    return -1;
}

int KV_BackpackFolderModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries.size());
}

QVariant KV_BackpackFolderModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries.size())
        return QVariant();
    const Entry& entry = entries[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return entry.name;
    case Qt::DecorationRole:
        if (!entry.thumbnail.isNull())
            return entry.thumbnail;
        return entry.kind == Parent ? parentIcon : entry.kind == Folder ? folderIcon : documentIcon;
    case PathRole:
        return entry.path;
    case KindRole:
        return int(entry.kind);
    default:
        return QVariant();
    }
}

void KV_BackpackFolderModel::thumbnailReady(const QString& path, const QPixmap& thumbnail) {
    for (int row = 0; row < entries.size(); ++row)
        if (entries[row].picture && entries[row].path == path) {
            entries[row].thumbnail = boxed(thumbnail);
            emit dataChanged(index(row), index(row), {Qt::DecorationRole});
        }
}
