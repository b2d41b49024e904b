// KV_History: the changes of the picture that can be taken back and made again. A change is
// recorded while a tool makes it: the tool reports each area before it draws there, and the
// history keeps those pixels for the step under way (a fill hands over its runs instead); the
// finished change is one step. A step that could be redone is dropped when a new change begins.
// The steps share a memory budget: as many are kept as fit, at least the last MinimumSteps,
// the oldest dropped first. The history also knows whether the picture is in the state it had
// when it was last saved.
#ifndef KV_HISTORY_H
#define KV_HISTORY_H

#include "kv_fillrecord.h"

#include <QRect>
#include <QtGlobal>

#include <deque>
#include <memory>

class KV_HistoryStep;
class KV_TileStep;
class QImage;
class QPixmap;

class KV_History {
public:
    static constexpr int MinimumSteps = 10;
    static constexpr qint64 DefaultBudget = qint64(64) << 20;
    // The environment variable that sets the budget, in megabytes.
    static constexpr const char* BudgetVariable = "KV_UNDO_MEMORY_MB";

    // Records the changes of `picture`, which must outlive the history.
    explicit KV_History(const QPixmap* picture);
    ~KV_History();
    KV_History(const KV_History&) = delete;
    KV_History& operator=(const KV_History&) = delete;

    void setBudget(qint64 bytes);
    qint64 budget() const { return budgetBytes; }
    // The budget the environment asks for, else the default; a value that is not a whole
    // number of megabytes is refused with a warning.
    static qint64 budgetFromEnvironment();

    // Switching the recording off or on empties the history.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled; }

    // The picture's `area` is about to change. True when this begins a new step.
    bool aboutToChange(const QRect& area);
    // A fill changed the picture, as `record` says. True when this begins a new step (a step
    // under way is finished first: a fill is a step of its own).
    bool recordFill(KV_FillRecord record);
    // The picture is about to be replaced whole (by one of another size): the step under way is
    // finished and a new one keeps `before`, the picture as it is. Changes reported until the
    // next commit belong to that step. True when a step was begun.
    bool replaceWhole(QImage before);
    // Ends the step under way. True when it became a step (it changed some pixel).
    bool commit();
    bool stepOpen() const { return bool(open); }

    bool canUndo() const { return applied > 0; }
    bool canRedo() const { return applied < steps.size(); }
    int undoSteps() const { return int(applied); }
    int redoSteps() const { return int(steps.size() - applied); }
    // Takes back the last step, or makes the next one again, on the picture's pixels. The area
    // changed, empty when there was nothing to do.
    QRect undo(QImage* picture);
    QRect redo(QImage* picture);

    // Drops every step (and the step under way). No state is then known as saved.
    void clear();
    // The picture's state now is the saved one.
    void markSaved();
    bool atSaved() const;

    // The memory the steps hold, the step under way included.
    qint64 bytes() const;

private:
    quint64 state() const;
    void dropRedo();
    void keepWithinBudget();

    const QPixmap* picture;
    qint64 budgetBytes;
    bool enabled = true;
    std::deque<std::unique_ptr<KV_HistoryStep>> steps;
    std::size_t applied = 0; // steps [0, applied) are done, the rest can be redone
    std::unique_ptr<KV_HistoryStep> open;
    KV_TileStep* openTiles = nullptr; // `open` when it is a tile step
    bool openWhole = false;           // `open` keeps the whole picture
    quint64 nextSerial = 1;
    quint64 baseSerial = 0; // the state before the oldest step kept
    quint64 savedSerial = 0;
    bool savedKnown = false; // whether savedSerial names a state the history can reach
};

#endif
