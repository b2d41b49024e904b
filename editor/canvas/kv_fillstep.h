// KV_FillStep: a flood fill in the history: the runs of pixels it filled, with the one colour
// they all had and the one they got. A fill of the whole picture keeps one run per row.
#ifndef KV_FILLSTEP_H
#define KV_FILLSTEP_H

#include "kv_fillrecord.h"
#include "kv_historystep.h"

class KV_FillStep : public KV_HistoryStep {
public:
    explicit KV_FillStep(KV_FillRecord record);

    bool isEmpty() const override { return fill.runs.empty(); }
    QRect area() const override { return bounds; }
    qint64 bytes() const override;
    void undo(QImage* picture) override { paint(picture, fill.before); }
    void redo(QImage* picture) override { paint(picture, fill.after); }

private:
    void paint(QImage* picture, quint32 value) const;

    KV_FillRecord fill;
    QRect bounds;
};

#endif
