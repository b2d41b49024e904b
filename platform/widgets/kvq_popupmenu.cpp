#include "kvq_popupmenu.h"

#include <QActionEvent>
#include <QLabel>
#include <QWidgetAction>

namespace {

// Room around the pixmap of a pixmap-only entry, and its highlight.
constexpr int pixmapMargin = 3;

QLabel* pixmapLabel(QAction* action) {
    auto* entry = qobject_cast<QWidgetAction*>(action);
    return entry ? qobject_cast<QLabel*>(entry->defaultWidget()) : nullptr;
}

} // namespace

KVQ_PopupMenu::KVQ_PopupMenu(QWidget* parent, const char* name) : QMenu(parent) {
    setObjectName(QString::fromUtf8(name));
    connect(this, &QMenu::triggered, this, [this](QAction* action) {
        const int id = idOf(action);
        if (id != -1)
            emit activated(id);
    });
    // The menu paints no highlight behind entries that are widgets; their labels do.
    connect(this, &QMenu::hovered, this, &KVQ_PopupMenu::highlight);
    connect(this, &QMenu::aboutToShow, this, [this] { highlight(nullptr); });
}

int KVQ_PopupMenu::insertItem(const QPixmap& pixmap, int id, int index) {
    return insertItem(pixmap, QString(), id, index);
}

int KVQ_PopupMenu::insertItem(const QString& text, int id, int index) {
    return ids.insert(new QAction(text, this), id, index);
}

int KVQ_PopupMenu::insertItem(const QPixmap& pixmap, const QString& text, int id, int index) {
    if (!text.isEmpty() || pixmap.isNull())
        return ids.insert(new QAction(QIcon(pixmap), text, this), id, index);
    // A pixmap alone is shown at its own size by a label, not squeezed into the icon column;
    // the entry stays an action that keys and clicks trigger like any other.
    auto* action = new QWidgetAction(this);
    action->setIcon(QIcon(pixmap));
    auto* label = new QLabel;
    label->setPixmap(pixmap);
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(pixmapMargin);
    label->setAutoFillBackground(true);
    action->setDefaultWidget(label);
    return ids.insert(action, id, index);
}

void KVQ_PopupMenu::highlight(QAction* current) {
    for (QAction* action : actions())
        if (QLabel* label = pixmapLabel(action))
            label->setBackgroundRole(action == current ? QPalette::Highlight : QPalette::Window);
}

int KVQ_PopupMenu::insertSeparator(int index) {
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    return ids.insert(separator, -1, index);
}

int KVQ_PopupMenu::idOf(QAction* action) const {
    if (!action)
        return -1;
    const int id = ids.id(action);
    if (id != -1)
        return id;
    for (QAction* entry : actions())
        if (auto* sub = qobject_cast<KVQ_PopupMenu*>(entry->menu()); sub && sub != this) {
            const int subId = sub->idOf(action);
            if (subId != -1)
                return subId;
        }
    return -1;
}

int KVQ_PopupMenu::exec() {
    return idOf(QMenu::exec(pos()));
}

int KVQ_PopupMenu::exec(const QPoint& pos, int indexAtPoint) {
    const QList<QAction*> list = actions();
    QAction* at = indexAtPoint >= 0 && indexAtPoint < list.size() ? list.at(indexAtPoint) : nullptr;
    return idOf(QMenu::exec(pos, at));
}

void KVQ_PopupMenu::leaveEvent(QEvent* event) {
    QMenu::leaveEvent(event);
    highlight(activeAction()); // the pen left: no entry is current any more
}

void KVQ_PopupMenu::actionEvent(QActionEvent* event) {
    ids.follow(event);
    QMenu::actionEvent(event);
}
