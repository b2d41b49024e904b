#include "kv_fillmodel.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
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
    // The fill works on the picture's pixels directly (taken over without a copy), and hands the
    // history the runs it filled.
    QImage image = doc->takePixels();
    // The fill paints black: pixel value 0, which an image with an alpha channel would take as
    // transparent, so such an image gets opaque black.
    KV_FillRecord record;
    scanner.fill(&image, image.hasAlphaChannel() ? 0xff000000u : 0u, p.x(), p.y(), &record);
    doc->putPixels(std::move(image));
    doc->recordFill(std::move(record));
    doc->updateImage();
    doc->finishChange();
}

void KV_FillModel::fillRegion(QImage* image, unsigned value, int x, int y) {
    scanner.fill(image, value, x, y);
}
