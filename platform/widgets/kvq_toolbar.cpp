#include "kvq_toolbar.h"

#include <QActionGroup>
#include <QColor>
#include <QMenu>
#include <QToolButton>

KVQ_ToolBar::KVQ_ToolBar(QWidget* parent, const char* name, const QColor* background)
    : QToolBar(parent) {
    setObjectName(QString::fromUtf8(name));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (background) {
        QPalette p = palette();
        p.setColor(QPalette::Window, *background);
        p.setColor(QPalette::Button, *background);
        setPalette(p);
        setAutoFillBackground(true);
    }
}

void KVQ_ToolBar::addActionGroup(QActionGroup* group, GroupType type) {
    if (!group)
        return;
    if (type == Selector) {
        auto* button = new QToolButton(this);
        auto* menu = new QMenu(button);
        menu->addActions(group->actions());
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        // The bar sizes only the buttons it makes itself.
        button->setIconSize(iconSize());
        connect(this, &QToolBar::iconSizeChanged, button, &QToolButton::setIconSize);
        QAction* current = group->checkedAction();
        button->setDefaultAction(
            current ? current : (group->actions().isEmpty() ? nullptr : group->actions().first()));
        connect(group, &QActionGroup::triggered, button, &QToolButton::setDefaultAction);
        addWidget(button);
        return;
    }
    const QList<QAction*> present = actions();
    for (QAction* action : group->actions())
        if (!present.contains(action))
            addAction(action);
}
