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

int KVQ_PopupMenu::insertItem(const QPixmap& pixmap, int id, int index) {
    return insertItem(pixmap, QString(), id, index);
}

int KVQ_PopupMenu::insertItem(const QString& text, int id, int index) {
    return ids.insert(new QAction(text, this), id, index);
}

int KVQ_PopupMenu::insertItem(const QPixmap& pixmap, const QString& text, int id, int index) {
    auto* action = new QAction(QIcon(pixmap), text, this);
    if (text.isEmpty() && !pixmap.isNull())
        action->setIconVisibleInMenu(true);
    return ids.insert(action, id, index);
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

void KVQ_PopupMenu::actionEvent(QActionEvent* event) {
    ids.follow(event);
    QMenu::actionEvent(event);
}
