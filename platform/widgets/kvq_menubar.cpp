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

int KVQ_MenuBar::insertItem(const QString& text, QMenu* popup, int id, int index) {
    if (!popup)
        return insertItem(text, id, index);
    popup->setTitle(text);
    return ids.insert(popup->menuAction(), id, index);
}

int KVQ_MenuBar::insertItem(const QString& text, int id, int index) {
    return ids.insert(new QAction(text, this), id, index);
}

void KVQ_MenuBar::actionEvent(QActionEvent* event) {
    ids.follow(event);
    QMenuBar::actionEvent(event);
}

void KVQ_MenuBar::showEvent(QShowEvent* event) {
    QMenuBar::showEvent(event);
    // Shown on demand (by a key or the title bar's icon): the keys go to the menus at once.
    setFocus(Qt::PopupFocusReason);
}
