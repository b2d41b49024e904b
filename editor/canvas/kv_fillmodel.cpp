#include "kv_fillmodel.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

KV_FillModel::KV_FillModel(KV_ToolsController* c) : controller(c) {
    if (!controller)
        MessageBox(QStringLiteral("Error in tools controller"));
}

KV_FillModel::~KV_FillModel() = default;

KVQ_ImageDocument* KV_FillModel::document() const {
    return controller ? controller->document() : nullptr;
}

void KV_FillModel::MessageBox(QString message) {
    QMessageBox::warning(document(), QStringLiteral("Title"),
                         QStringLiteral("Message ->") + message, QMessageBox::Ok);
}

void KV_FillModel::mousePress(QMouseEvent* e) {
    KVQ_ImageDocument* doc = document();
    if (!doc)
        return;
    const QPoint p = e->position().toPoint();
    QPixmap* picture = doc->pmScaled();
    if (!QRect(0, 0, picture->width(), picture->height()).contains(p))
        return;
    // One pixel is enough to decide whether to fill at all (a whole image would be a copy of
    // the picture while the document paints on it).
    if (picture->copy(p.x(), p.y(), 1, 1).toImage().pixel(0, 0) == 0xff000000u)
        return;
    // The picture is converted to an image and back once: with the painter ended and the pixmap
    // let go, the image holds the only reference to the pixels, so neither step copies them.
    QPainter* painter = doc->painter();
    if (painter->isActive())
        painter->end();
    QImage image = picture->toImage();
    *picture = QPixmap();
    // The fill paints black: pixel value 0, which an image with an alpha channel would take as
    // transparent, so such an image gets opaque black.
    fillRegion(&image, image.hasAlphaChannel() ? 0xff000000u : 0u, p.x(), p.y());
    *picture = QPixmap::fromImage(std::move(image));
    painter->begin(picture);
    doc->updateImage();
}

void KV_FillModel::fillRegion(QImage* image, unsigned value, int x, int y) {
    scanner.fill(image, value, x, y);
}
