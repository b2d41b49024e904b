// KV_PictureStep: a change of most of the picture in the history, kept as the whole picture it
// replaced. Undo and redo exchange that picture with the picture's pixels, without copying
// them, so taking back a change of every pixel costs no more than a small one.
#ifndef KV_PICTURESTEP_H
#define KV_PICTURESTEP_H

#include "kv_historystep.h"

#include <QImage>

class KV_PictureStep : public KV_HistoryStep {
public:
    explicit KV_PictureStep(QImage before) : kept(std::move(before)) {}

    bool isEmpty() const override { return kept.isNull(); }
    QRect area() const override { return kept.rect(); }
    qint64 bytes() const override { return qint64(sizeof(*this)) + kept.sizeInBytes(); }
    void undo(QImage* picture) override { exchange(picture); }
    void redo(QImage* picture) override { exchange(picture); }

private:
    void exchange(QImage* picture) {
        if (picture->size() == kept.size())
            picture->swap(kept);
    }

    QImage kept;
};

#endif
