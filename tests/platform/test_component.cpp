// The component and dialog base classes.
#include "kvq_component.h"
#include "kvq_dialog.h"
#include "kvq_menubar.h"
#include "kvq_titlebar.h"
#include "kvq_toolbar.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class RecordingComponent : public KVQ_Component {
public:
    using KVQ_Component::KVQ_Component;
    void currentModeChanged(QAction* mode) override {
        seen << mode;
        KVQ_Component::currentModeChanged(mode);
    }
    QList<QAction*> seen;
};

TEST(Component, IsAMainWindowWithItsOwnMetaObject) {
    KVQ_Component window(nullptr, "editor", nullptr);
    EXPECT_STREQ(window.metaObject()->className(), "KVQ_Component");
    EXPECT_STREQ(window.metaObject()->superClass()->className(), "QMainWindow");
    EXPECT_EQ(window.objectName(), "editor");
    window.setWindowTitle("Image1");
    EXPECT_EQ(window.windowTitle(), "Image1");
    window.show();
    EXPECT_TRUE(window.isVisible());
    window.grabKeyboard();
    EXPECT_EQ(QWidget::keyboardGrabber(), &window);
    window.releaseKeyboard();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST(Component, ViewBarAndAppBarOnRowsOfTheirOwnAtTheBottom) {
    KVQ_Component window;
    auto* line = new KVQ_ToolBar(&window, "", nullptr);
    auto* fill = new KVQ_ToolBar(&window, "", nullptr);
    auto* app = new KVQ_ToolBar(&window, "", nullptr);
    line->addAction("l");
    fill->addAction("f");
    app->addAction("a");
    fill->hide();
    window.setToolBar(line);
    window.setAppToolBar(app);
    EXPECT_EQ(window.toolBar(), line);
    EXPECT_EQ(window.appToolBar(), app);
    EXPECT_EQ(window.toolBarArea(line), Qt::BottomToolBarArea);
    EXPECT_EQ(window.toolBarArea(app), Qt::BottomToolBarArea);
    window.resize(480, 360);
    window.show();
    // The application bar's row, then the view bar's along the bottom edge.
    EXPECT_GE(line->y(), app->geometry().bottom());
    EXPECT_EQ(line->geometry().bottom(), window.height() - 1);
    const int viewRow = line->y();

    // A mode switch: the caller hides the old bar and shows the new one.
    line->hide();
    fill->show();
    window.setToolBar(fill);
    QCoreApplication::processEvents(); // lets the window lay its bars out again
    EXPECT_EQ(window.toolBar(), fill);
    EXPECT_EQ(window.toolBarArea(fill), Qt::BottomToolBarArea);
    EXPECT_TRUE(fill->isVisible());
    EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(fill->y(), viewRow);
    // A bar hidden by the caller stays hidden when it becomes the view bar.
    fill->hide();
    window.setToolBar(line);
    EXPECT_FALSE(line->isVisible());
}

TEST(Component, ModeActionsCallTheVirtualAndShowInTheTitleBar) {
    RecordingComponent window;
    auto* bar = new KVQ_MenuBar(&window, "MenuBar");
    QActionGroup* modes = new QActionGroup(&window);
    for (int i = 0; i < 6; ++i)
        modes->addAction(new QAction(QString::number(i), &window))->setCheckable(true);
    auto* title = new KVQ_TitleBar("Image1", nullptr, bar, modes, &window, "editor");
    window.setModeActions(modes, 1, 1);
    EXPECT_EQ(window.modeActions(), modes);
    EXPECT_EQ(window.menuWidget(), title);
    EXPECT_EQ(window.findChild<QToolBar*>("KVQ_ComponentModes"), nullptr);
    for (QAction* a : modes->actions())
        EXPECT_TRUE(window.actions().contains(a));
    QAction* emitted = nullptr;
    QObject::connect(&window, &KVQ_Component::modeChanged, [&emitted](QAction* a) { emitted = a; });
    modes->actions().at(3)->trigger();
    ASSERT_EQ(window.seen.size(), 1);
    EXPECT_EQ(window.seen[0], modes->actions().at(3));
    EXPECT_EQ(emitted, modes->actions().at(3));
}

TEST(Component, ModeActionsWithoutTitleBarGetAToolBar) {
    KVQ_Component window;
    QActionGroup modes(&window);
    modes.addAction("one");
    modes.addAction("two");
    window.setModeActions(&modes, 1, 1);
    auto* bar = window.findChild<QToolBar*>("KVQ_ComponentModes");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions(), modes.actions());
}

TEST(Component, OwnsItsIcon) {
    KVQ_Component window;
    QPixmap* first = new QPixmap(16, 16);
    first->fill(Qt::red);
    window.setIcon(first);
    EXPECT_EQ(window.icon(), first);
    EXPECT_FALSE(window.windowIcon().isNull());
    window.setIcon(first); // the same pixmap again is not freed
    QPixmap* second = new QPixmap(8, 8);
    window.setIcon(second); // frees the first
    EXPECT_EQ(window.icon(), second);
}

TEST(Dialog, ModalWithCaptionReturnsWhenHidden) {
    KVQ_Component parent;
    parent.resize(480, 360);
    parent.show();
    KVQ_Dialog dialog(&parent, "about", true, Qt::WindowFlags());
    EXPECT_STREQ(dialog.metaObject()->className(), "KVQ_Dialog");
    EXPECT_EQ(dialog.objectName(), "about");
    EXPECT_TRUE(dialog.isModal());
    dialog.setCaption("About PX");
    EXPECT_EQ(dialog.caption(), "About PX");
    EXPECT_EQ(dialog.windowTitle(), "About PX");
    QPixmap icon(16, 16);
    icon.fill(Qt::blue);
    dialog.setIcon(icon);
    EXPECT_FALSE(dialog.icon().isNull());
    dialog.setIconText("about");
    EXPECT_EQ(dialog.iconText(), "about");
    EXPECT_EQ(dialog.contentsMargins().top(), KVQ_Dialog::CaptionHeight);
    dialog.resize(200, 100);

    bool sawVisible = false;
    QPoint centre;
    QTimer::singleShot(0, [&] {
        sawVisible = dialog.isVisible();
        centre = dialog.frameGeometry().center();
        dialog.hide();
    });
    QTimer::singleShot(5000, &dialog, &QDialog::reject); // never waits longer
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(sawVisible);
    EXPECT_LE((centre - parent.frameGeometry().center()).manhattanLength(), 6);
    // Painting with a caption and icon works off screen too.
    const QImage shot = dialog.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(200, 100));
}

} // namespace
