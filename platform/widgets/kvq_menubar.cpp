#include "kvq_menubar.h"

#include <QActionEvent>
#include <QMenu>

KVQ_MenuBar::KVQ_MenuBar(QWidget* parent, const char* name) : QMenuBar(parent) {
    setObjectName(QString::fromUtf8(name));
    // Shown inside a window on a small screen, never as a native menu bar.
    setNativeMenuBar(false);
    connect(this, &QMenuBar::triggered, this, [this](QAction* action) {
        if (action->parent() == this)
            emit activated(ids.id(action));
    });
}

QAction* KVQ_MenuBar::insertAt(QAction* action, int index) {
    const QList<QAction*> list = actions();
    insertAction(index >= 0 && index < list.size() ? list.at(index) : nullptr, action);
    return action;
}

int KVQ_MenuBar::insertItem(const QString& text, QMenu* popup, int id, int index) {
    if (!popup)
        return insertItem(text, id, index);
    popup->setTitle(text);
    return ids.assign(insertAt(popup->menuAction(), index), id);
}

int KVQ_MenuBar::insertItem(const QString& text, int id, int index) {
    return ids.assign(insertAt(new QAction(text, this), index), id);
}

void KVQ_MenuBar::removeItem(int id) {
    QAction* action = ids.action(id);
    if (!action)
        return;
    removeAction(action);
    if (action->parent() == this)
        delete action;
}

int KVQ_MenuBar::idAt(int index) const {
    const QList<QAction*> list = actions();
    return index >= 0 && index < list.size() ? ids.id(list.at(index)) : -1;
}

void KVQ_MenuBar::setItemEnabled(int id, bool enabled) {
    if (QAction* action = ids.action(id))
        action->setEnabled(enabled);
}

bool KVQ_MenuBar::isItemEnabled(int id) const {
    QAction* action = ids.action(id);
    return action && action->isEnabled();
}

void KVQ_MenuBar::actionEvent(QActionEvent* event) {
    if (event->type() == QEvent::ActionAdded)
        ids.ensure(event->action());
    else if (event->type() == QEvent::ActionRemoved)
        ids.forget(event->action());
    QMenuBar::actionEvent(event);
}

void KVQ_MenuBar::showEvent(QShowEvent* event) {
    QMenuBar::showEvent(event);
    // Shown on demand (by a key or the title bar's icon): the keys go to the menus at once.
    setFocus(Qt::PopupFocusReason);
}
