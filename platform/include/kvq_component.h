// The base of component windows: a main window with a title band at the top (a KVQ_TitleBar
// made with this window as parent), at the bottom the application tool bar and, on a row
// below it, the view tool bar, and mode switches.
#ifndef KVQ_COMPONENT_H
#define KVQ_COMPONENT_H

#include "kvq_toolbar.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QToolBar>

#include <memory>

class KVQ_Component : public QMainWindow {
    Q_OBJECT

public:
    // The third argument is accepted for callers and not used.
    KVQ_Component(QWidget* parent = nullptr, const char* name = nullptr,
                  const char* reserved = nullptr);
    ~KVQ_Component() override;

    // Makes bar the view tool bar, placed before the application tool bar. Showing and hiding
    // the bars is left to the caller.
    void setToolBar(KVQ_ToolBar* bar);
    void setAppToolBar(KVQ_ToolBar* bar);
    // The group's actions become the window's mode switches: their shortcuts work in the window
    // and triggering one calls currentModeChanged. A KVQ_TitleBar of the window shows them;
    // without one they get a tool bar of their own. The two numbers are accepted for callers
    // and not used.
    void setModeActions(QActionGroup* modes, int reserved1, int reserved2);
    // Shows icon as the window icon and takes ownership of it.
    void setIcon(QPixmap* icon);
    // The window's caption.
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    KVQ_ToolBar* toolBar() const { return viewBar; }
    KVQ_ToolBar* appToolBar() const { return appBar; }
    QActionGroup* modeActions() const { return modes; }
    QPixmap* icon() const { return ownedIcon.get(); }

    // Called when a mode switch is triggered; emits modeChanged.
    virtual void currentModeChanged(QAction* mode);

signals:
    void modeChanged(QAction* mode);

protected:
    void connectNotify(const QMetaMethod& signal) override;
    void disconnectNotify(const QMetaMethod& signal) override;

private:
    void placeBottom(KVQ_ToolBar* bar, QToolBar* before);

    QPointer<KVQ_ToolBar> viewBar;
    QPointer<KVQ_ToolBar> appBar;
    QPointer<QActionGroup> modes;
    QPointer<QToolBar> modeBar;
    std::unique_ptr<QPixmap> ownedIcon;
};

#endif
