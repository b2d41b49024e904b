#include "kvq_component.h"

#include "kvq_titlebar.h"
#include "kvq_toolbar.h"

#include <QActionGroup>

KVQ_Component::KVQ_Component(QWidget* parent, const char* name, const char*) : QMainWindow(parent) {
    setObjectName(QString::fromUtf8(name));
    setIconSize(QSize(16, 16));
}

KVQ_Component::~KVQ_Component() = default;

void KVQ_Component::placeBottom(KVQ_ToolBar* bar, QToolBar* before) {
    if (!bar)
        return;
    // Keep the caller's choice of shown or hidden across the move into the tool bar area.
    const bool hidden = bar->isHidden();
    if (toolBarArea(bar) != Qt::NoToolBarArea && bar->parentWidget() == this)
        removeToolBar(bar);
    if (before && before != bar && toolBarArea(before) == Qt::BottomToolBarArea) {
        // The view bars share a row of their own, apart from the application bar's.
        removeToolBarBreak(before);
        insertToolBar(before, bar);
        insertToolBarBreak(before);
    } else {
        addToolBar(Qt::BottomToolBarArea, bar);
    }
    bar->setHidden(hidden);
}

void KVQ_Component::setToolBar(KVQ_ToolBar* bar) {
    if (!bar || bar == viewBar)
        return;
    placeBottom(bar, appBar);
    viewBar = bar;
}

void KVQ_Component::setAppToolBar(KVQ_ToolBar* bar) {
    if (!bar || bar == appBar)
        return;
    placeBottom(bar, nullptr);
    appBar = bar;
    // A row of its own, apart from the view bar's.
    if (viewBar && toolBarArea(viewBar) == Qt::BottomToolBarArea)
        insertToolBarBreak(bar);
}

void KVQ_Component::setModeActions(QActionGroup* group, int, int) {
    if (modes)
        disconnect(modes, &QActionGroup::triggered, this, nullptr);
    modes = group;
    if (!group)
        return;
    addActions(group->actions());
    connect(group, &QActionGroup::triggered, this,
            [this](QAction* mode) { currentModeChanged(mode); });
    if (!qobject_cast<KVQ_TitleBar*>(menuWidget())) {
        if (!modeBar) {
            modeBar = new QToolBar(tr("Modes"), this);
            modeBar->setObjectName(QStringLiteral("KVQ_ComponentModes"));
            modeBar->setMovable(false);
            addToolBar(Qt::TopToolBarArea, modeBar);
        }
        modeBar->clear();
        modeBar->addActions(group->actions());
    }
}

void KVQ_Component::setIcon(QPixmap* icon) {
    if (icon != ownedIcon.get())
        ownedIcon.reset(icon);
    setWindowIcon(icon ? QIcon(*icon) : QIcon());
}

void KVQ_Component::currentModeChanged(QAction* mode) {
    emit modeChanged(mode);
}

// Override points kept for the component's subclasses; the base needs nothing extra.
void KVQ_Component::connectNotify(const QMetaMethod& signal) {
    QMainWindow::connectNotify(signal);
}

void KVQ_Component::disconnectNotify(const QMetaMethod& signal) {
    QMainWindow::disconnectNotify(signal);
}
