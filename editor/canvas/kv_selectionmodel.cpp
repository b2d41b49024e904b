#include "kv_selectionmodel.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>

KV_SelectionModel::KV_SelectionModel(KV_ToolsController* c) : controller(c) {}

KVQ_ImageDocument* KV_SelectionModel::document() const {
    return controller ? controller->document() : nullptr;
}

QRect KV_SelectionModel::pictureRect() const {
    const KVQ_ImageDocument* doc = document();
    return doc ? const_cast<KVQ_ImageDocument*>(doc)->pmScaled()->rect() : QRect();
}

void KV_SelectionModel::showChange(const QRect& before) {
    if (KVQ_ImageDocument* doc = document()) {
        doc->updateOverlay(before);
        doc->updateOverlay(rect);
        doc->updateOverlay(holeRect);
    }
}

// ---- pen events --------------------------------------------------------------------------

void KV_SelectionModel::press(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (hasSelection() && rect.contains(p)) {
        drag = Drag::Moving;
        grab = p - rect.topLeft();
        return;
    }
    putDown();
    forget();
    drag = Drag::Selecting;
    anchor = p;
}

void KV_SelectionModel::move(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QRect before = rect;
    if (drag == Drag::Selecting) {
        const QRect spanned(QPoint(std::min(anchor.x(), p.x()), std::min(anchor.y(), p.y())),
                            QPoint(std::max(anchor.x(), p.x()), std::max(anchor.y(), p.y())));
        rect = spanned & pictureRect();
        showChange(before);
    } else if (drag == Drag::Moving) {
        const QPoint to = p - grab;
        if (to == rect.topLeft())
            return;
        if (!isFloating())
            lift();
        rect.moveTopLeft(to);
        showChange(before);
    }
}

void KV_SelectionModel::release(QMouseEvent* e) {
    // A click (no drag) selects nothing.
    if (drag == Drag::Selecting && e->position().toPoint() == anchor)
        forget();
    drag = Drag::None;
}

void KV_SelectionModel::cancel() {
    drag = Drag::None;
    putDown();
    forget();
}

void KV_SelectionModel::abandon() {
    drag = Drag::None;
    forget();
}

// ---- selection and pieces ----------------------------------------------------------------

void KV_SelectionModel::lift() {
    KVQ_ImageDocument* doc = document();
    if (!doc || !hasSelection())
        return;
    piece = doc->pmScaled()->copy(rect).toImage();
    holeRect = rect;
}

void KV_SelectionModel::select(const QRect& area) {
    putDown();
    const QRect before = rect;
    rect = area.normalized() & pictureRect();
    showChange(before);
}

void KV_SelectionModel::selectAll() {
    select(pictureRect());
}

QImage KV_SelectionModel::selectedImage() const {
    if (isFloating())
        return piece;
    const KVQ_ImageDocument* doc = document();
    if (!doc || !hasSelection())
        return QImage();
    return const_cast<KVQ_ImageDocument*>(doc)->pmScaled()->copy(rect).toImage();
}

void KV_SelectionModel::deleteSelection() {
    KVQ_ImageDocument* doc = document();
    if (!doc || !hasSelection())
        return;
    const QRect area = isFloating() ? holeRect : rect;
    if (!area.isEmpty()) {
        doc->aboutToChange(area);
        doc->painter()->fillRect(area, Qt::white);
        doc->updateImage();
    }
    // Also ends a step begun by enlarging the picture for a paste.
    doc->finishChange();
    forget();
}

QImage KV_SelectionModel::cut() {
    const QImage taken = selectedImage();
    deleteSelection();
    return taken;
}

void KV_SelectionModel::paste(const QImage& image, QPoint at) {
    if (image.isNull())
        return;
    putDown();
    forget();
    piece = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    holeRect = QRect();
    rect = QRect(at, piece.size());
    showChange(QRect());
}

void KV_SelectionModel::putDown() {
    KVQ_ImageDocument* doc = document();
    if (!isFloating() || !doc)
        return;
    doc->aboutToChange(holeRect);
    doc->aboutToChange(rect);
    QPainter* painter = doc->painter();
    painter->save();
    if (!holeRect.isEmpty())
        painter->fillRect(holeRect, Qt::white);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(rect.topLeft(), piece);
    painter->restore();
    doc->updateImage();
    doc->finishChange();
    const QRect before = rect | holeRect;
    piece = QImage();
    holeRect = QRect();
    // The selection stays on what of the piece lies on the picture.
    rect &= pictureRect();
    showChange(before);
}

void KV_SelectionModel::escape() {
    if (isFloating())
        putDown();
    else
        forget();
}

void KV_SelectionModel::forget() {
    const QRect before = rect | holeRect;
    rect = QRect();
    holeRect = QRect();
    piece = QImage();
    if (KVQ_ImageDocument* doc = document())
        doc->updateOverlay(before);
}

void KV_SelectionModel::paintOverlay(QPainter* painter) const {
    const KVQ_ImageDocument* doc = document();
    if (!doc || !hasSelection())
        return;
    if (isFloating()) {
        // Scaled pixel by pixel, as the picture is when enlarged.
        if (!holeRect.isEmpty())
            painter->fillRect(doc->contentsToViewport(holeRect), Qt::white);
        painter->drawImage(doc->contentsToViewport(rect), piece);
    }
    // Black and white dashes just outside the selected pixels, visible on any colour.
    const QRect shown = doc->contentsToViewport(rect).adjusted(-1, -1, 0, 0);
    painter->save();
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(Qt::white, 1));
    painter->drawRect(shown);
    QPen dashes(Qt::black, 1, Qt::CustomDashLine);
    dashes.setDashPattern({4, 4});
    painter->setPen(dashes);
    painter->drawRect(shown);
    painter->restore();
}
