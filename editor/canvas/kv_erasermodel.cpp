#include "kv_erasermodel.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

KV_EraserModel::KV_EraserModel(KV_ToolsController* c) : controller(c) {}

KVQ_ImageDocument* KV_EraserModel::document() const {
    return controller ? controller->document() : nullptr;
}

QRect KV_EraserModel::tipAt(QPoint p, int size) {
    return QRect(p.x() - size / 2, p.y() - size / 2, size, size);
}

void KV_EraserModel::press(QMouseEvent* e) {
    if (!document())
        return;
    last = e->position().toPoint();
    strokeBegun = true;
    erase(last, last);
}

void KV_EraserModel::move(QMouseEvent* e) {
    if (!strokeBegun || !document())
        return;
    const QPoint p = e->position().toPoint();
    erase(last, p);
    last = p;
}

void KV_EraserModel::release(QMouseEvent* e) {
    KVQ_ImageDocument* doc = document();
    if (!strokeBegun || !doc)
        return;
    erase(last, e->position().toPoint());
    strokeBegun = false;
    doc->finishChange();
}

void KV_EraserModel::erase(QPoint from, QPoint to) {
    KVQ_ImageDocument* doc = document();
    QPainter* painter = doc->painter();
    const int size = controller->activeEraserSize();
    // One stamp per pixel of the path, from the point nearest on the line at each step of the
    // longer axis. The history is told about the stamps in groups whose bounding boxes stay
    // about two tips wide, so that a long diagonal move does not report a whole rectangle.
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const int group = std::max(size, 1);
    const QColor white(Qt::white);
    for (int first = 0; first <= steps; first += group) {
        const int lastStep = std::min(first + group - 1, steps);
        QRect area;
        const auto pointAt = [&](int i) {
            if (steps == 0)
                return from;
            // Rounded to the nearest pixel, halves away from the start.
            const auto along = [&](int d) {
                const long long n = 2LL * d * i + (d >= 0 ? steps : -steps);
                return int(n / (2LL * steps));
            };
            return from + QPoint(along(dx), along(dy));
        };
        for (int i = first; i <= lastStep; ++i)
            area |= tipAt(pointAt(i), size);
        doc->aboutToChange(area);
        for (int i = first; i <= lastStep; ++i)
            painter->fillRect(tipAt(pointAt(i), size), white);
    }
    doc->updateImage();
}
