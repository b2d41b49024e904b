#include "kv_shapesmodel.h"

#include "kv_qt2paint.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

KV_ShapeModel::KV_ShapeModel(KV_ToolsController* c) : controller(c) {
    if (!controller)
        MessageBox(QStringLiteral("Error in tools controller"));
}

KV_ShapeModel::~KV_ShapeModel() = default;

KVQ_ImageDocument* KV_ShapeModel::document() const {
    return controller ? controller->document() : nullptr;
}

void KV_ShapeModel::MessageBox(QString message) {
    QMessageBox::warning(document(), QStringLiteral("Title"),
                         QStringLiteral("Message ->") + message, QMessageBox::Ok);
}

void KV_ShapeModel::resetFlags() {
    state = 1;
}

QRect KV_ShapeModel::boundingRect(QPoint p) const {
    const int dx = std::abs(start.x() - p.x());
    const int dy = std::abs(start.y() - p.y());
    if (!controller || !controller->controlKey) {
        const int midX = (start.x() + p.x()) / 2;
        const int midY = (start.y() + p.y()) / 2;
        return QRect(midX - dx / 2, midY - dy / 2, dx, dy);
    }
    const int side = dx > dy ? dy : dx;
    const int x = p.x() >= start.x() ? start.x() : start.x() - side;
    const int y = p.y() >= start.y() ? start.y() : start.y() - side;
    return QRect(x, y, side, side);
}

void KV_ShapeModel::paintShape(QPainter* painter, QPoint p) {
    const QRect r = boundingRect(p);
    switch (controller->activeShapeTool()) {
    case ShapeSquare:
        kvqt2::drawRect(painter, r.x(), r.y(), r.width(), r.height());
        break;
    case ShapeCircle:
        kvqt2::drawEllipse(painter, r.x(), r.y(), r.width(), r.height());
        break;
    case ShapeRoundedSquare:
        kvqt2::drawRoundRect(painter, r.x(), r.y(), r.width(), r.height(), 25, 25);
        break;
    default:
        break;
    }
}

QRect KV_ShapeModel::shapeArea(QPoint p) const {
    // The pen reaches half its width outside the box; a pixel more for rounding.
    const int margin = controller->currentPen().width() + 1;
    return boundingRect(p).adjusted(-margin, -margin, margin, margin);
}

void KV_ShapeModel::preview(QPoint p) {
    previewer.show(document(), {shapeArea(p)}, [&](QPainter* painter) {
        painter->setPen(controller->currentPen());
        painter->setBrush(controller->currentBrush());
        paintShape(painter, p);
    });
}

void KV_ShapeModel::mousePress(QMouseEvent* e) {
    if (!document())
        return;
    const QPoint p = e->position().toPoint();
    if (state == 1)
        start = p;
    else
        preview(p);
}

void KV_ShapeModel::drawShape(QMouseEvent* e) {
    if (!document())
        return;
    if (state == 1)
        state = 2;
    preview(e->position().toPoint());
}

void KV_ShapeModel::mouseRelease(QMouseEvent* e) {
    KVQ_ImageDocument* doc = document();
    if (!doc)
        return;
    state = state == 1 ? 2 : 1;
    const QPoint p = e->position().toPoint();
    if (p == start) {
        // Nothing is drawn; the view drops a preview left from the drag.
        doc->showPicture();
        return;
    }
    QPainter* painter = doc->painter();
    painter->setPen(controller->currentPen());
    painter->setBrush(controller->currentBrush());
    doc->aboutToChange(shapeArea(p));
    paintShape(painter, p);
    doc->updateImage();
    doc->finishChange();
}
