// The entries of one folder of the backpack for a list view: ".." when the folder is below the
// backpack's top, then the subfolders, then the documents whose extension is asked for, each
// group sorted by name ignoring case. Hidden entries and anything that leads outside the
// backpack are left out. Pictures show a placeholder until their thumbnail is ready.
#ifndef KV_BACKPACKFOLDERMODEL_H
#define KV_BACKPACKFOLDERMODEL_H

#include <QAbstractListModel>
#include <QPixmap>
#include <QStringList>
#include <QVector>

class KV_ThumbnailLoader;

class KV_BackpackFolderModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Kind { Parent, Folder, Document };
    enum Role { PathRole = Qt::UserRole, KindRole };
    static constexpr int thumbnailSize = 32;

    // root: the backpack folder; extensions: those of the documents listed (empty: all).
    KV_BackpackFolderModel(const QString& root, const QStringList& extensions,
                           QObject* parent = nullptr);

    // Shows the folder at path; a path outside the backpack or missing shows the top.
    void setFolder(const QString& path);
    QString folder() const { return shown; }
    // The shown folder as a user reads it: "Backpack" and the path below it.
    QString folderLabel() const;
    bool atTop() const { return shown == root; }
    // The row of the entry at path, or -1.
    int rowOf(const QString& path) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Entry {
        QString name;
        QString path;
        Kind kind;
        bool picture;
        QPixmap thumbnail;
    };

    void thumbnailReady(const QString& path, const QPixmap& thumbnail);

    QString root;
    QString shown;
    QStringList extensions;
    QVector<Entry> entries;
    QPixmap parentIcon, folderIcon, documentIcon;
    KV_ThumbnailLoader* thumbnails;
};

#endif
