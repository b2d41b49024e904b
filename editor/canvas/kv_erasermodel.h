// KV_EraserModel: the eraser. A stroke paints the picture white (the background) with a square
// tip of the controller's eraser size, centred on the pen: the tip is stamped at every pixel of
// the pen's path, so nothing between two pen events is left out. Each stroke, from press to
// release, is one change of the history.
#ifndef KV_ERASERMODEL_H
#define KV_ERASERMODEL_H

#include "kv_tool.h"

#include <QPoint>
#include <QRect>

class KV_ToolsController;
class KVQ_ImageDocument;
class QMouseEvent;

class KV_EraserModel : public KV_Tool {
public:
    explicit KV_EraserModel(KV_ToolsController* controller);
    KV_EraserModel(const KV_EraserModel&) = delete;
    KV_EraserModel& operator=(const KV_EraserModel&) = delete;

    void press(QMouseEvent* e) override;
    void move(QMouseEvent* e) override;
    void release(QMouseEvent* e) override;
    void cancel() override { strokeBegun = false; }

    // The square the tip covers with its centre at p, for a tip of `size` pixels.
    static QRect tipAt(QPoint p, int size);
    // Whether a stroke is under way.
    bool stroking() const { return strokeBegun; }

private:
    KVQ_ImageDocument* document() const;
    // Stamps the tip along the path from `from` to `to` (both ends included) and shows it.
    void erase(QPoint from, QPoint to);

    KV_ToolsController* controller;
    QPoint last;
    bool strokeBegun = false;
};

#endif
