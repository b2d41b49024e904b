#include "kv_history.h"

#include "kv_fillstep.h"
#include "kv_picturestep.h"
#include "kv_tilestep.h"
#include "kv_wholestep.h"

#include <QByteArray>
#include <QImage>
#include <QPixmap>

KV_History::KV_History(const QPixmap* picture)
    : picture(picture), budgetBytes(budgetFromEnvironment()) {}

KV_History::~KV_History() = default;

qint64 KV_History::budgetFromEnvironment() {
    const QByteArray value = qgetenv(BudgetVariable);
    if (value.isEmpty())
        return DefaultBudget;
    bool ok = false;
    const qint64 megabytes = value.trimmed().toLongLong(&ok);
    // Up to a terabyte; beyond that the number is a mistake.
    if (!ok || megabytes < 0 || megabytes > (qint64(1) << 20)) {
        qWarning("%s=%s is not a number of megabytes; the undo history keeps %lld MB",
                 BudgetVariable, value.constData(), DefaultBudget >> 20);
        return DefaultBudget;
    }
    return megabytes << 20;
}

void KV_History::setBudget(qint64 bytes) {
    budgetBytes = bytes < 0 ? 0 : bytes;
    keepWithinBudget();
}

void KV_History::setEnabled(bool on) {
    clear();
    enabled = on;
}

quint64 KV_History::state() const {
    return applied > 0 ? steps[applied - 1]->serial : baseSerial;
}

void KV_History::dropRedo() {
    steps.resize(applied);
}

bool KV_History::aboutToChange(const QRect& area) {
    if (!enabled || !picture || area.isEmpty())
        return false;
    bool begun = false;
    if (openWhole)
        return false; // the whole picture is kept already
    if (!openTiles) {
        commit();
        dropRedo();
        auto step = std::make_unique<KV_TileStep>(picture->size());
        openTiles = step.get();
        open = std::move(step);
        begun = true;
    }
    openTiles->keep(*picture, area);
    return begun;
}

bool KV_History::recordFill(KV_FillRecord record) {
    if (!enabled || record.runs.empty())
        return false;
    commit();
    dropRedo();
    open = std::make_unique<KV_FillStep>(std::move(record));
    return true;
}

bool KV_History::replaceWhole(QImage before) {
    if (!enabled || before.isNull())
        return false;
    commit();
    dropRedo();
    open = std::make_unique<KV_WholeStep>(std::move(before));
    openWhole = true;
    return true;
}

bool KV_History::commit() {
    if (!open)
        return false;
    openWhole = false;
    std::unique_ptr<KV_HistoryStep> step = std::move(open);
    KV_TileStep* tiles = openTiles;
    openTiles = nullptr;
    step->settle(*picture);
    if (step->isEmpty())
        return false;
    // Most of the picture changed pixel by pixel: the picture as it was is kept whole instead,
    // which undo and redo exchange rather than copy.
    if (tiles && picture->depth() >= 8 &&
        tiles->pixelBytes() * 2 >=
            qint64(picture->width()) * picture->height() * (picture->depth() / 8)) {
        QImage before = picture->toImage();
        tiles->undo(&before);
        step = std::make_unique<KV_PictureStep>(std::move(before));
    }
    step->serial = nextSerial++;
    steps.push_back(std::move(step));
    applied = steps.size();
    keepWithinBudget();
    return true;
}

void KV_History::keepWithinBudget() {
    qint64 total = 0;
    for (const auto& step : steps)
        total += step->bytes();
    // The oldest steps go first; the last MinimumSteps stay whatever they hold.
    while (total > budgetBytes && steps.size() > std::size_t(MinimumSteps) && applied > 0) {
        total -= steps.front()->bytes();
        baseSerial = steps.front()->serial;
        steps.pop_front();
        --applied;
    }
}

QRect KV_History::undo(QImage* image) {
    if (!canUndo() || !image)
        return QRect();
    KV_HistoryStep* step = steps[--applied].get();
    step->undo(image);
    return step->area();
}

QRect KV_History::redo(QImage* image) {
    if (!canRedo() || !image)
        return QRect();
    KV_HistoryStep* step = steps[applied++].get();
    step->redo(image);
    return step->area();
}

void KV_History::clear() {
    open.reset();
    openTiles = nullptr;
    openWhole = false;
    steps.clear();
    applied = 0;
    baseSerial = nextSerial++;
    savedKnown = false;
}

void KV_History::markSaved() {
    savedSerial = state();
    savedKnown = true;
}

bool KV_History::atSaved() const {
    return savedKnown && savedSerial == state();
}

qint64 KV_History::bytes() const {
    qint64 total = open ? open->bytes() : 0;
    for (const auto& step : steps)
        total += step->bytes();
    return total;
}
