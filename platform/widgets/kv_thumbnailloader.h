// Thumbnails of pictures, made in the background and kept in Qt's pixmap cache. A request
// answers at once with the cached thumbnail or with nothing; in the latter case the picture is
// read in a worker thread and ready() follows in the GUI thread. The cache key holds the path,
// the file's size and modification time and the bound, so a changed file gets a new thumbnail.
#ifndef KV_THUMBNAILLOADER_H
#define KV_THUMBNAILLOADER_H

#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QString>

#include <memory>

class QImage;

class KV_ThumbnailLoader : public QObject {
    Q_OBJECT

public:
    explicit KV_ThumbnailLoader(const QSize& bound, QObject* parent = nullptr);
    // Work still running is left to finish on its own; its result is dropped.
    ~KV_ThumbnailLoader() override;

    // The cached thumbnail of the file at path, or a null pixmap. When there is none yet and
    // the file was not found unreadable before, one is made in the background.
    QPixmap request(const QString& path);
    // Forgets requests whose work has not started; for when their answers no longer matter.
    void cancelPending();

signals:
    // A thumbnail asked for by request() is in the cache now.
    void ready(const QString& path, const QPixmap& thumbnail);

private:
    struct Link;

    QString keyOf(const QString& path) const;
    void deliver(const QString& key, const QString& path, const QImage& image);

    QSize bound;
    QSet<QString> pending;
    QSet<QString> failed;
    // Shared with the workers: tells them whether this loader still wants their results.
    std::shared_ptr<Link> link;
};

#endif
