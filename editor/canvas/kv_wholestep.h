// KV_WholeStep: a change that replaces the picture by one of another size (it grows to take a
// pasted picture), kept as the whole picture it replaced. Undo and redo exchange that picture
// with the picture's pixels whatever their sizes; changes made within the step are part of the
// pictures exchanged.
#ifndef KV_WHOLESTEP_H
#define KV_WHOLESTEP_H

#include "kv_historystep.h"

#include <QImage>
#include <QPixmap>

class KV_WholeStep : public KV_HistoryStep {
public:
    explicit KV_WholeStep(QImage before) : kept(std::move(before)) {}

    bool isEmpty() const override { return kept.isNull(); }
    // Both sizes: the larger one covers the smaller, which starts at the same corner.
    QRect area() const override { return kept.rect() | other; }
    qint64 bytes() const override { return qint64(sizeof(*this)) + kept.sizeInBytes(); }
    void settle(const QPixmap& picture) override { other = picture.rect(); }
    void undo(QImage* picture) override { exchange(picture); }
    void redo(QImage* picture) override { exchange(picture); }

private:
    void exchange(QImage* picture) {
        other = picture->rect();
        picture->swap(kept);
    }

    QImage kept;
    QRect other;
};

#endif
