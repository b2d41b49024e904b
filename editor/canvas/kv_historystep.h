// KV_HistoryStep: one change of the picture in the history, kept as what it replaced, so that
// it can be taken back (undo) and made again (redo) on the picture's pixels.
#ifndef KV_HISTORYSTEP_H
#define KV_HISTORYSTEP_H

#include <QRect>
#include <QtGlobal>

class QImage;
class QPixmap;

class KV_HistoryStep {
public:
    virtual ~KV_HistoryStep() = default;

    // Called once the change is complete, with the picture as the change left it.
    virtual void settle(const QPixmap& picture) { Q_UNUSED(picture); }
    // True when the change left every pixel as it was.
    virtual bool isEmpty() const = 0;
    // The part of the picture the step changes.
    virtual QRect area() const = 0;
    // The memory the step holds.
    virtual qint64 bytes() const = 0;
    // The step's change on the picture's pixels: taken back, and made again. They alternate,
    // starting with undo.
    virtual void undo(QImage* picture) = 0;
    virtual void redo(QImage* picture) = 0;

    // Numbers the states of the picture: the state after this step.
    quint64 serial = 0;
};

#endif
