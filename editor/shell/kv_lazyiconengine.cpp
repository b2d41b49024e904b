#include "kv_lazyiconengine.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

KV_LazyIconEngine::KV_LazyIconEngine(const QString& fileName) : file(fileName) {}

QIcon KV_LazyIconEngine::icon(const QString& fileName) {
    return QIcon(new KV_LazyIconEngine(fileName));
}

const QPixmap& KV_LazyIconEngine::picture() {
    if (!read) {
        read = true;
        loaded.load(file);
    }
    return loaded;
}

QPixmap KV_LazyIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) {
    const QPixmap& full = picture();
    if (full.isNull())
        return QPixmap();
    QPixmap out = full.size().boundedTo(size) == full.size()
                      ? full
                      : full.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (mode != QIcon::Normal) {
        QStyleOption option;
        option.palette = QApplication::palette();
        out = QApplication::style()->generatedIconPixmap(mode, out, &option);
    }
    return out;
}

void KV_LazyIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                              QIcon::State state) {
    const QPixmap pm = pixmap(rect.size(), mode, state);
    if (pm.isNull())
        return;
    QRect target(QPoint(0, 0), pm.size());
    target.moveCenter(rect.center());
    painter->drawPixmap(target, pm);
}

QSize KV_LazyIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    const QPixmap& full = picture();
    return full.isNull() ? QSize()
                         : full.size().scaled(size.boundedTo(full.size()), Qt::KeepAspectRatio);
}

QList<QSize> KV_LazyIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    const QPixmap& full = picture();
    return full.isNull() ? QList<QSize>() : QList<QSize>{full.size()};
}

bool KV_LazyIconEngine::isNull() {
    return picture().isNull();
}

QString KV_LazyIconEngine::key() const {
    return QStringLiteral("KV_LazyIconEngine");
}

QIconEngine* KV_LazyIconEngine::clone() const {
    return new KV_LazyIconEngine(file);
}
