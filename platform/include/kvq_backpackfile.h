// A reference to one file of the backpack, and an I/O device over it.
#ifndef KVQ_BACKPACKFILE_H
#define KVQ_BACKPACKFILE_H

#include "kv_backpackitem.h"

#include <QFile>
#include <QIODevice>
#include <QImage>

class KVQ_BackpackFile : public KV_BackpackItem, public QIODevice {
public:
    // A reference not yet bound to a file: path() and ext() are null.
    KVQ_BackpackFile();
    explicit KVQ_BackpackFile(const QString& path);
    // Refers to the same file; the copy starts closed.
    KVQ_BackpackFile(const KVQ_BackpackFile& other);
    KVQ_BackpackFile& operator=(const KVQ_BackpackFile& other);
    ~KVQ_BackpackFile() override;

    // Binds the reference to another file, closing the device first.
    void setPath(const QString& path);
    bool isBound() const { return !filePath.isEmpty(); }
    // The file-system path, null when unbound.
    QString path() const { return filePath; }
    // The extension without the dot (after the last dot of the file name), null when unbound.
    QString ext() const;
    // The file name without its folder.
    QString name() const;

    // A thumbnail of a picture, at most 32x32, as image() makes it; null for other files.
    QPixmap pixmap() const override;
    // The picture in the file, scaled down to fit bound (never up); null when the file is no
    // picture Qt reads, or when its header declares more than maxPixels pixels (a few bytes may
    // claim gigabytes). Reads only the file, so it may run in any thread.
    QImage image(const QSize& bound) const;
    static constexpr qint64 maxPixels = 100'000'000;
    bool rename(const QString& newName) override;
    // The size of the open file, or of the file on disk when closed; -1 when unbound or absent.
    qint64 size() const override;
    QDateTime date() const override;

    bool open(OpenMode mode) override;
    void close() override;
    bool flush();
    qint64 pos() const override;
    bool seek(qint64 offset) override;
    bool atEnd() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    QString filePath;
    QFile file;
};

#endif
