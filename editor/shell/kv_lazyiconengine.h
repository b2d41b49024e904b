// KV_LazyIconEngine: an icon read from its file only when it is first drawn. The editor has
// dozens of actions, most on bars hidden at start; reading every file (and probing its format)
// up front would slow the window's start.
#ifndef KV_LAZYICONENGINE_H
#define KV_LAZYICONENGINE_H

#include <QIconEngine>
#include <QPixmap>
#include <QString>

class KV_LazyIconEngine : public QIconEngine {
public:
    explicit KV_LazyIconEngine(const QString& fileName);

    // An icon of the picture in fileName, relative to the working folder; empty when the file
    // cannot be read.
    static QIcon icon(const QString& fileName);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    bool isNull() override;
    QString key() const override;
    QIconEngine* clone() const override;

private:
    const QPixmap& picture();

    QString file;
    QPixmap loaded;
    bool read = false;
};

#endif
