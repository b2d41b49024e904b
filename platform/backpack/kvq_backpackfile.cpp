#include "kvq_backpackfile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>

KVQ_BackpackFile::KVQ_BackpackFile() = default;

KVQ_BackpackFile::KVQ_BackpackFile(const QString& path) : filePath(path), file(path) {}

KVQ_BackpackFile::KVQ_BackpackFile(const KVQ_BackpackFile& other)
    : KV_BackpackItem(), QIODevice(), filePath(other.filePath), file(other.filePath) {}

KVQ_BackpackFile& KVQ_BackpackFile::operator=(const KVQ_BackpackFile& other) {
    if (this != &other)
        setPath(other.filePath);
    return *this;
}

KVQ_BackpackFile::~KVQ_BackpackFile() {
    if (isOpen())
        close();
}

void KVQ_BackpackFile::setPath(const QString& path) {
    if (isOpen())
        close();
    filePath = path;
    file.setFileName(path);
}

QString KVQ_BackpackFile::ext() const {
    if (filePath.isNull())
        return QString();
    const QString fileName = name();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QStringLiteral("") : fileName.mid(dot + 1);
}

QString KVQ_BackpackFile::name() const {
    return QFileInfo(filePath).fileName();
}

QPixmap KVQ_BackpackFile::pixmap() const {
    // Pixmaps need the GUI side of Qt; command-line users get no picture.
    if (!isBound() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QPixmap();
    return QPixmap::fromImage(image(QSize(32, 32)));
}

QImage KVQ_BackpackFile::image(const QSize& bound) const {
    // Only a regular file is read: opening a named pipe would wait for a writer.
    if (!isBound() || bound.isEmpty() || !QFileInfo(filePath).isFile())
        return QImage();
    QImageReader reader(filePath);
    // The header alone gives the size; decoding waits until the size is known to be sane. A BMP
    // stored top row first gives its height as negative.
    QSize full = reader.size();
    full.setHeight(qAbs(full.height()));
    if (!full.isValid() || qint64(full.width()) * full.height() > maxPixels)
        return QImage();
    if (full.width() > bound.width() || full.height() > bound.height())
        reader.setScaledSize(full.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return reader.read();
}

bool KVQ_BackpackFile::rename(const QString& newName) {
    if (!isBound() || newName.isEmpty() || newName.contains(QLatin1Char('/')) ||
        newName == QLatin1String(".") || newName == QLatin1String(".."))
        return false;
    const QString target = QFileInfo(filePath).dir().filePath(newName);
    if (QFileInfo::exists(target))
        return false;
    if (isOpen())
        close();
    if (!QFile::rename(filePath, target))
        return false;
    setPath(target);
    return true;
}

qint64 KVQ_BackpackFile::size() const {
    if (file.isOpen())
        return file.size();
    const QFileInfo info(filePath);
    return isBound() && info.exists() ? info.size() : -1;
}

QDateTime KVQ_BackpackFile::date() const {
    const QFileInfo info(filePath);
    return isBound() && info.exists() ? info.lastModified() : QDateTime();
}

bool KVQ_BackpackFile::open(OpenMode mode) {
    if (!isBound() || isOpen()) {
        setErrorString(isBound() ? QStringLiteral("already open")
                                 : QStringLiteral("not bound to a file"));
        return false;
    }
    if (!file.open(mode)) {
        setErrorString(file.errorString());
        return false;
    }
    // QFile buffers already; a second buffer here would only copy.
    return QIODevice::open(mode | QIODevice::Unbuffered);
}

void KVQ_BackpackFile::close() {
    QIODevice::close();
    file.close();
}

bool KVQ_BackpackFile::flush() {
    return file.flush();
}

qint64 KVQ_BackpackFile::pos() const {
    return QIODevice::pos();
}

bool KVQ_BackpackFile::seek(qint64 offset) {
    if (!file.seek(offset))
        return false;
    return QIODevice::seek(offset);
}

bool KVQ_BackpackFile::atEnd() const {
    return QIODevice::atEnd();
}

qint64 KVQ_BackpackFile::readData(char* data, qint64 maxSize) {
    const qint64 n = file.read(data, maxSize);
    if (n < 0)
        setErrorString(file.errorString());
    return n;
}

qint64 KVQ_BackpackFile::writeData(const char* data, qint64 maxSize) {
    const qint64 n = file.write(data, maxSize);
    if (n < 0)
        setErrorString(file.errorString());
    return n;
}
