// KV_FillModel: the flood fill tool. A press paints the 4-connected region of pixels of
// exactly the pressed pixel's colour in the controller's flood colour (black unless another is
// chosen); the fill itself is KV_FillScanner's. It acts on the press alone.
#ifndef KV_FILLMODEL_H
#define KV_FILLMODEL_H

#include "kv_fillscanner.h"
#include "kv_tool.h"

#include <QString>

class KV_ToolsController;
class KVQ_ImageDocument;
class QImage;
class QMouseEvent;

class KV_FillModel : public KV_Tool {
public:
    explicit KV_FillModel(KV_ToolsController* controller);
    ~KV_FillModel() override;
    KV_FillModel(const KV_FillModel&) = delete;
    KV_FillModel& operator=(const KV_FillModel&) = delete;

    void mousePress(QMouseEvent* e);
    // The flood fill of the region of (x, y) with `value`, as KV_FillScanner::fill.
    void fillRegion(QImage* image, unsigned value, int x, int y);
    void MessageBox(QString message);

    // The tool interface: a press fills; nothing is ever half made.
    void press(QMouseEvent* e) override { mousePress(e); }
    void move(QMouseEvent*) override {}
    void release(QMouseEvent*) override {}
    void cancel() override {}

private:
    KVQ_ImageDocument* document() const;

    KV_ToolsController* controller;
    KV_FillScanner scanner;
};

#endif
