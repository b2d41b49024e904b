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
    const QRgb colour = controller->activeFloodColor().rgb();
    // One pixel is enough to decide whether to fill at all (a whole image would be a copy of
    // the picture while the document paints on it): a region of the fill colour stays as it is.
    if (picture->copy(p.x(), p.y(), 1, 1).toImage().pixel(0, 0) == colour)
        return;
    // The fill works on the picture's pixels directly (taken over without a copy), and hands the
    // history the runs it filled. The colour is opaque, so its value is the same with or
    // without premultiplied alpha; an image without an alpha channel takes it as it is.
    QImage image = doc->takePixels();
    KV_FillRecord record;
    scanner.fill(&image, colour, p.x(), p.y(), &record);
    doc->putPixels(std::move(image));
    doc->recordFill(std::move(record));
    doc->updateImage();
    doc->finishChange();
}

void KV_FillModel::fillRegion(QImage* image, unsigned value, int x, int y) {
    scanner.fill(image, value, x, y);
}
