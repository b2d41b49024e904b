#include "kv_itemids.h"

#include <QAction>
#include <QActionEvent>
#include <QWidget>

int KV_ItemIds::assign(QAction* action, int id) {
    if (id < 0)
        id = nextAutomatic--;
    if (QAction* previous = this->action(id); previous && previous != action)
        ids.remove(previous);
    ids.insert(action, id);
    return id;
}

int KV_ItemIds::insert(QAction* action, int id, int index) {
    const QList<QAction*> list = owner->actions();
    owner->insertAction(index >= 0 && index < list.size() ? list.at(index) : nullptr, action);
    return assign(action, id);
}

void KV_ItemIds::remove(int id) {
    QAction* item = action(id);
    if (!item)
        return;
    owner->removeAction(item);
    if (item->parent() == owner)
        delete item;
}

int KV_ItemIds::idAt(int index) const {
    const QList<QAction*> list = owner->actions();
    return index >= 0 && index < list.size() ? id(list.at(index)) : -1;
}

QAction* KV_ItemIds::action(int id) const {
    for (auto it = ids.constBegin(); it != ids.constEnd(); ++it)
        if (it.value() == id)
            return it.key();
    return nullptr;
}

void KV_ItemIds::setEnabled(int id, bool enabled) {
    if (QAction* item = action(id))
        item->setEnabled(enabled);
}

bool KV_ItemIds::isEnabled(int id) const {
    const QAction* item = action(id);
    return item && item->isEnabled();
}

void KV_ItemIds::follow(const QActionEvent* event) {
    if (event->type() == QEvent::ActionAdded && !ids.contains(event->action()))
        assign(event->action(), -1);
    else if (event->type() == QEvent::ActionRemoved)
        ids.remove(event->action());
}
