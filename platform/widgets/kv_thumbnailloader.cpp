#include "kv_thumbnailloader.h"

#include "kvq_backpackfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPixmapCache>
#include <QThreadPool>

// What a worker needs to know about the loader that asked it, under the mutex. The loader is
// cleared when it goes, so a worker posts its result only to a live loader; Qt drops events
// posted to an object when the object is deleted.
struct KV_ThumbnailLoader::Link {
    QMutex mutex;
    KV_ThumbnailLoader* loader = nullptr;
    // Work queued under an older generation was cancelled.
    quint64 generation = 0;

    quint64 now() {
        QMutexLocker lock(&mutex);
        return generation;
    }
    void cancelQueued() {
        QMutexLocker lock(&mutex);
        ++generation;
    }
};

KV_ThumbnailLoader::KV_ThumbnailLoader(const QSize& bound, QObject* parent)
    : QObject(parent), bound(bound), link(std::make_shared<Link>()) {
    link->loader = this;
}

KV_ThumbnailLoader::~KV_ThumbnailLoader() {
    QMutexLocker lock(&link->mutex);
    link->loader = nullptr;
    ++link->generation; // what is still queued need not run
}

QString KV_ThumbnailLoader::keyOf(const QString& path) const {
    const QFileInfo info(path);
    return QStringLiteral("kvthumb:%1x%2:%3:%4:%5")
        .arg(bound.width())
        .arg(bound.height())
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(path);
}

QPixmap KV_ThumbnailLoader::request(const QString& path) {
    const QString key = keyOf(path);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    if (pending.contains(key) || failed.contains(key))
        return QPixmap();
    pending.insert(key);
    const quint64 generation = link->now();
    QThreadPool::globalInstance()->start([link = link, generation, key, path, bound = bound] {
        if (link->now() != generation)
            return;
        const QImage image = KVQ_BackpackFile(path).image(bound);
        QMutexLocker lock(&link->mutex);
        if (KV_ThumbnailLoader* loader = link->loader)
            QMetaObject::invokeMethod(
                loader, [loader, key, path, image] { loader->deliver(key, path, image); },
                Qt::QueuedConnection);
    });
    return QPixmap();
}

void KV_ThumbnailLoader::cancelPending() {
    link->cancelQueued();
    pending.clear();
}

void KV_ThumbnailLoader::deliver(const QString& key, const QString& path, const QImage& image) {
    pending.remove(key);
    if (image.isNull()) {
        failed.insert(key);
        return;
    }
    const QPixmap thumbnail = QPixmap::fromImage(image);
    QPixmapCache::insert(key, thumbnail);
    emit ready(path, thumbnail);
}
