// The framework widgets: ids of menus, indices of message boxes, title and tool bars, answered
// through the active popup or modal widget as a user would.
#include "kv_modalanswer.h"
#include "kvq_menubar.h"
#include "kvq_messagebox.h"
#include "kvq_popupmenu.h"
#include "kvq_titlebar.h"
#include "kvq_toolbar.h"

#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QPixmap filled(Qt::GlobalColor color) {
    QPixmap p(16, 16);
    p.fill(color);
    return p;
}

void keys(QWidget* w, std::initializer_list<Qt::Key> list) {
    for (Qt::Key k : list)
        QTest::keyClick(w, k);
}

QPushButton* buttonText(QWidget* box, const QString& text) {
    for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

TEST(PopupMenu, IdsIndicesAndAutomaticIds) {
    KVQ_PopupMenu menu(nullptr, "m");
    EXPECT_EQ(menu.objectName(), "m");
    EXPECT_EQ(menu.insertItem(filled(Qt::red), 7), 7);
    EXPECT_EQ(menu.insertItem(filled(Qt::green), 3), 3);
    EXPECT_EQ(menu.insertItem(filled(Qt::blue), 5, 0), 5); // at the front
    const int separator = menu.insertSeparator(-1);
    const int automatic = menu.insertItem(QStringLiteral("text"));
    QAction plain(QStringLiteral("added"));
    menu.addAction(&plain);
    EXPECT_LT(separator, -1);
    EXPECT_LT(automatic, -1);
    EXPECT_NE(separator, automatic);
    EXPECT_EQ(menu.count(), 6);
    EXPECT_EQ(menu.idAt(0), 5);
    EXPECT_EQ(menu.idAt(1), 7);
    EXPECT_EQ(menu.idAt(2), 3);
    EXPECT_EQ(menu.idAt(6), -1);
    EXPECT_EQ(menu.indexOf(3), 2);
    EXPECT_EQ(menu.indexOf(99), -1);
    const int plainId = menu.idOf(&plain);
    EXPECT_LT(plainId, -1);
    EXPECT_NE(plainId, automatic);
    menu.removeItem(7);
    EXPECT_EQ(menu.count(), 5);
    EXPECT_EQ(menu.findItem(7), nullptr);
    EXPECT_EQ(menu.idAt(1), 3);
}

TEST(PopupMenu, ExecReturnsChosenIdOrMinusOne) {
    KVQ_PopupMenu menu;
    menu.insertItem(filled(Qt::red), 10);
    menu.insertItem(filled(Qt::green), 20);
    menu.insertItem(filled(Qt::blue), 30);
    menu.move(40, 50);

    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}); });
    EXPECT_EQ(menu.exec(), 20);
    EXPECT_EQ(menu.pos(), QPoint(40, 50));

    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Down, Qt::Key_Escape}); });
    EXPECT_EQ(menu.exec(), -1);

    answerNextModal([&menu](QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, {}, menu.actionGeometry(menu.findItem(30)).center());
    });
    EXPECT_EQ(menu.exec(), 30);

    // A disabled entry cannot be chosen: the keys skip it.
    menu.setItemEnabled(10, false);
    EXPECT_FALSE(menu.isItemEnabled(10));
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Down, Qt::Key_Return}); });
    EXPECT_EQ(menu.exec(), 20);
}

TEST(PopupMenu, ExecReportsEntriesOfSubmenusAndActionsAddedByOthers) {
    KVQ_PopupMenu menu;
    QAction added(QStringLiteral("added"));
    menu.addAction(&added);
    auto* sub = new KVQ_PopupMenu(&menu);
    sub->setTitle(QStringLiteral("sub"));
    sub->insertItem(QStringLiteral("deep"), 77);
    menu.addMenu(sub);
    EXPECT_EQ(menu.idOf(sub->findItem(77)), 77);
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Down, Qt::Key_Return}); });
    EXPECT_EQ(menu.exec(), menu.idOf(&added));
}

TEST(MenuBar, ItemsCarryIdsAtTheirIndices) {
    QMainWindow window;
    KVQ_MenuBar bar(&window, "MenuBar");
    EXPECT_EQ(bar.objectName(), "MenuBar");
    KVQ_PopupMenu file(&window), edit(&window), image(&window), view(&window);
    EXPECT_EQ(bar.insertItem("File", &file, 2, -1), 2);
    EXPECT_EQ(bar.insertItem("Edit", &edit, 3, -1), 3);
    EXPECT_EQ(bar.insertItem("Image", &image, 4, -1), 4);
    EXPECT_EQ(bar.insertItem("View", &view, 5, 1), 5);
    EXPECT_EQ(bar.count(), 4);
    EXPECT_EQ(bar.idAt(0), 2);
    EXPECT_EQ(bar.idAt(1), 5);
    EXPECT_EQ(bar.idAt(3), 4);
    EXPECT_EQ(bar.indexOf(4), 3);
    EXPECT_EQ(bar.findItem(2)->text(), "File");
    EXPECT_EQ(bar.findItem(2)->menu(), &file);
    const int automatic = bar.insertItem("Plain");
    EXPECT_LT(automatic, -1);
    bar.setItemEnabled(3, false);
    EXPECT_FALSE(bar.isItemEnabled(3));
    EXPECT_TRUE(bar.isItemEnabled(2));
    bar.removeItem(5);
    EXPECT_EQ(bar.count(), 4);
    EXPECT_EQ(bar.idAt(1), 3);
    // A plain item reports its id when chosen.
    int chosen = 0;
    QObject::connect(&bar, &KVQ_MenuBar::activated, [&chosen](int id) { chosen = id; });
    bar.findItem(automatic)->trigger();
    EXPECT_EQ(chosen, automatic);
}

TEST(MessageBox, TextButtonsReturnIndicesAndEscapeTheEscapeIndex) {
    // The changed-document prompt: "Ok" default, Escape counts as "No".
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Return}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "Image Editor", "Save changes?", "Ok", "No",
                                          "Cancel", 0, 1),
              0);
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Escape}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "c", "t", "Ok", "No", "Cancel", 0, 1), 1);
    answerNextModal([](QWidget* w) { QTest::mouseClick(buttonText(w, "Cancel"), Qt::LeftButton); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "c", "t", "Ok", "No", "Cancel", 0, 1), 2);

    // The format question: two buttons, no escape index; Escape dismisses with -1.
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(w->findChildren<QPushButton*>().size(), 2);
        keys(w, {Qt::Key_Escape});
    });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "Save File Format",
                                          "Select the image file type to save.", "BMP", "JPG",
                                          QString(), 0, -1),
              -1);
    answerNextModal([](QWidget* w) { QTest::mouseClick(buttonText(w, "JPG"), Qt::LeftButton); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "f", "t", "BMP", "JPG", QString(), 0, -1), 1);

    // "Cancel" as default: Return answers 1.
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Return}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "Save As", "Overwrite?", "Overwrite", "Cancel",
                                          QString(), 1, -1),
              1);
}

TEST(MessageBox, CaptionTextAndAbsentButtons) {
    answerNextModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Error Message");
        EXPECT_EQ(box->text(), "The Image could not be loaded");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        const QList<QPushButton*> buttons = w->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons[0]->text(), "OK");
        keys(w, {Qt::Key_Return});
    });
    EXPECT_EQ(KVQ_MessageBox::warning(nullptr, "Error Message", "The Image could not be loaded",
                                      "OK", QString(), QString(), 0, -1),
              0);
    // All three texts null: one button still closes the box.
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(w->findChildren<QPushButton*>().size(), 1);
        keys(w, {Qt::Key_Return});
    });
    EXPECT_EQ(
        KVQ_MessageBox::information(nullptr, "c", "t", QString(), QString(), QString(), 0, -1), 0);
}

TEST(MessageBox, CodedButtons) {
    // 0, 1, 0: a single acknowledgement button, answered by Return or Escape.
    answerNextModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(w->findChildren<QPushButton*>().size(), 1);
        keys(w, {Qt::Key_Return});
    });
    EXPECT_EQ(
        KVQ_MessageBox::information(nullptr, "Error Message", "The File doesn't exists", 0, 1, 0),
        KVQ_MessageBox::Ok);
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Escape}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "c", "t", 0, 0, 0), KVQ_MessageBox::Ok);
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Escape}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "c", "t",
                                          KVQ_MessageBox::Yes | KVQ_MessageBox::Default,
                                          KVQ_MessageBox::No | KVQ_MessageBox::Escape),
              KVQ_MessageBox::No);
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Return}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "c", "t", KVQ_MessageBox::Yes,
                                          KVQ_MessageBox::No | KVQ_MessageBox::Default),
              KVQ_MessageBox::No);
}

TEST(TitleBar, TextIconMenuBarAndModes) {
    QMainWindow window;
    auto* menuBar = new KVQ_MenuBar(&window, "MenuBar");
    QActionGroup modes(&window);
    for (int i = 0; i < 6; ++i)
        modes.addAction(new QAction(QIcon(filled(Qt::black)), QString::number(i), &window));
    auto* icon = new QPixmap(filled(Qt::red));
    auto* title = new KVQ_TitleBar("Image1", icon, menuBar, &modes, &window, "editor");
    delete icon; // the title bar keeps its own copy
    EXPECT_EQ(window.menuWidget(), title);
    EXPECT_EQ(title->objectName(), "editor");
    EXPECT_EQ(title->text(), "Image1");
    EXPECT_EQ(title->menuIcon().toImage().pixel(3, 3), QColor(Qt::red).rgb());
    EXPECT_EQ(title->findChild<QLabel*>()->text(), "Image1");
    title->setText("cat");
    EXPECT_EQ(title->findChild<QLabel*>()->text(), "cat");
    {
        QPixmap temporary = filled(Qt::blue);
        title->setMenuIcon(&temporary);
    }
    EXPECT_EQ(title->menuIcon().toImage().pixel(3, 3), QColor(Qt::blue).rgb());
    title->setMenuIcon(nullptr);
    EXPECT_TRUE(title->menuIcon().isNull());

    int modeButtons = 0;
    for (QToolButton* b : title->findChildren<QToolButton*>())
        if (b->defaultAction() && modes.actions().contains(b->defaultAction()))
            ++modeButtons;
    EXPECT_EQ(modeButtons, 6);
    auto* menuButton = title->findChild<QToolButton*>("KVQ_TitleBarMenuIcon");
    ASSERT_NE(menuButton, nullptr);

    window.show();
    EXPECT_FALSE(menuBar->isVisible());
    QTest::mouseClick(menuButton, Qt::LeftButton);
    EXPECT_TRUE(menuBar->isVisible());
    QTest::mouseClick(menuButton, Qt::LeftButton);
    EXPECT_FALSE(menuBar->isVisible());
    menuBar->show(); // as the editor does
    EXPECT_TRUE(menuBar->isVisible());
    delete menuBar; // the editor deletes its menu bar before the title bar
    EXPECT_EQ(title->menuBar(), nullptr);
    title->toggleMenuBar();
}

TEST(ToolBar, GroupsAndSingleActions) {
    QMainWindow window;
    const QColor grey(128, 128, 128);
    KVQ_ToolBar bar(&window, "", &grey);
    EXPECT_EQ(bar.palette().color(QPalette::Window), grey);
    QActionGroup group(&window);
    QList<QAction*> acts;
    for (int i = 0; i < 3; ++i)
        acts << group.addAction(QString::number(i));
    bar.addActionGroup(&group, KVQ_ToolBar::Buttons);
    EXPECT_EQ(bar.actions(), acts);
    bar.addActionGroup(&group, KVQ_ToolBar::Buttons); // nothing twice
    EXPECT_EQ(bar.actions().size(), 3);
    bar.addAction(acts[0]); // QAction::addTo after the group: still one button
    EXPECT_EQ(bar.actions().size(), 3);
    EXPECT_NE(bar.widgetForAction(acts[1]), nullptr);

    KVQ_ToolBar selector(&window, "sel", nullptr);
    acts[1]->setCheckable(true);
    acts[1]->setChecked(true);
    selector.addActionGroup(&group, KVQ_ToolBar::Selector);
    const QList<QToolButton*> buttons = selector.findChildren<QToolButton*>();
    QToolButton* shown = nullptr;
    for (QToolButton* b : buttons)
        if (b->defaultAction() == acts[1])
            shown = b;
    ASSERT_NE(shown, nullptr);
    acts[2]->trigger();
    EXPECT_EQ(shown->defaultAction(), acts[2]);
}

} // namespace
