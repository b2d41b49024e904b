#include "kvq_popupmenu.h"

#include <QActionEvent>

KVQ_PopupMenu::KVQ_PopupMenu(QWidget* parent, const char* name) : QMenu(parent) {
    setObjectName(QString::fromUtf8(name));
    connect(this, &QMenu::triggered, this, [this](QAction* action) {
        const int id = idOf(action);
        if (id != -1)
            emit activated(id);
    });
}

QAction* KVQ_PopupMenu::insertAt(QAction* action, int index) {
    const QList<QAction*> list = actions();
    insertAction(index >= 0 && index < list.size() ? list.at(index) : nullptr, action);
    return action;
}

int KVQ_PopupMenu::insertItem(const QPixmap& pixmap, int id, int index) {
    return insertItem(pixmap, QString(), id, index);
}

int KVQ_PopupMenu::insertItem(const QString& text, int id, int index) {
    return ids.assign(insertAt(new QAction(text, this), index), id);
}

int KVQ_PopupMenu::insertItem(const QPixmap& pixmap, const QString& text, int id, int index) {
    auto* action = new QAction(QIcon(pixmap), text, this);
    if (text.isEmpty() && !pixmap.isNull())
        action->setIconVisibleInMenu(true);
    return ids.assign(insertAt(action, index), id);
}

int KVQ_PopupMenu::insertSeparator(int index) {
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    return ids.assign(insertAt(separator, index), -1);
}

void KVQ_PopupMenu::removeItem(int id) {
    QAction* action = ids.action(id);
    if (!action)
        return;
    removeAction(action);
    if (action->parent() == this)
        delete action;
}

int KVQ_PopupMenu::idAt(int index) const {
    const QList<QAction*> list = actions();
    return index >= 0 && index < list.size() ? ids.id(list.at(index)) : -1;
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

void KVQ_PopupMenu::setItemEnabled(int id, bool enabled) {
    if (QAction* action = ids.action(id))
        action->setEnabled(enabled);
}

bool KVQ_PopupMenu::isItemEnabled(int id) const {
    QAction* action = ids.action(id);
    return action && action->isEnabled();
}

int KVQ_PopupMenu::exec() {
    return idOf(QMenu::exec(pos()));
}

int KVQ_PopupMenu::exec(const QPoint& pos, int indexAtPoint) {
    const QList<QAction*> list = actions();
    QAction* at = indexAtPoint >= 0 && indexAtPoint < list.size() ? list.at(indexAtPoint) : nullptr;
    return idOf(QMenu::exec(pos, at));
}

void KVQ_PopupMenu::actionEvent(QActionEvent* event) {
    if (event->type() == QEvent::ActionAdded)
        ids.ensure(event->action());
    else if (event->type() == QEvent::ActionRemoved)
        ids.forget(event->action());
    QMenu::actionEvent(event);
}
