// The framework widgets: ids of menus, indices of message boxes, title and tool bars, the file
// dialogs over the backpack, answered through the active popup or modal widget as a user would.
#include "kv_modalanswer.h"
#include "kvq_backpackfile.h"
#include "kvq_filedialog.h"
#include "kvq_menubar.h"
#include "kvq_messagebox.h"
#include "kvq_popupmenu.h"
#include "kvq_titlebar.h"
#include "kvq_toolbar.h"

#include <QActionGroup>
#include <QDataStream>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>
#include <QWidgetAction>

#include <functional>

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

// An id given again moves to the new item; the item that had it keeps no id and stays.
TEST(PopupMenu, AnIdInUseMovesToTheItemThatTakesIt) {
    KVQ_PopupMenu menu;
    EXPECT_EQ(menu.insertItem(QStringLiteral("first"), 7), 7);
    QAction* first = menu.findItem(7);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(menu.insertItem(QStringLiteral("second"), 7), 7);
    EXPECT_EQ(menu.count(), 2);
    ASSERT_NE(menu.findItem(7), nullptr);
    EXPECT_EQ(menu.findItem(7)->text(), "second");
    EXPECT_EQ(menu.idOf(first), -1);
    EXPECT_EQ(menu.idAt(0), -1);
    EXPECT_EQ(menu.idAt(1), 7);
    EXPECT_EQ(menu.indexOf(7), 1);
    menu.removeItem(7);
    EXPECT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.actions().value(0), first);
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

TEST(PopupMenu, PixmapEntriesShowAtTheirOwnSize) {
    KVQ_PopupMenu menu;
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i) {
        QPixmap p(32, 16);
        p.fill(colors[i]);
        menu.insertItem(p, 10 * (i + 1));
    }
    menu.move(40, 50);

    answerNextModal([&menu, &colors](QWidget* w) {
        EXPECT_LE(w->width(), 60);
        const QImage shown = w->grab().toImage();
        for (int i = 0; i < 3; ++i) {
            const QRect r = menu.actionGeometry(menu.findItem(10 * (i + 1)));
            EXPECT_GE(r.width(), 32);
            EXPECT_GE(r.height(), 16);
            // The whole pixmap is there: its left and right ends, not a squeezed icon.
            const QPoint c = r.center();
            EXPECT_EQ(shown.pixelColor(c.x() - 14, c.y()), colors[i]) << i;
            EXPECT_EQ(shown.pixelColor(c.x() + 14, c.y()), colors[i]) << i;
        }
        keys(w, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    });
    EXPECT_EQ(menu.exec(), 20);

    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Down, Qt::Key_Escape}); });
    EXPECT_EQ(menu.exec(), -1);

    // A pen lands on the picture, which is a child of the menu.
    answerNextModal([&menu](QWidget*) {
        QWidget* picture = static_cast<QWidgetAction*>(menu.findItem(30))->defaultWidget();
        QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
    });
    EXPECT_EQ(menu.exec(), 30);
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

// A list of buttons, more than three: indices in order, Escape gives the escape index; an empty
// list offers "OK".
TEST(MessageBox, ListOfButtons) {
    const QStringList formats{"BMP", "JPG", "PNG", "Cancel"};
    answerNextModal([](QWidget* w) {
        QStringList shown;
        for (QPushButton* b : w->findChildren<QPushButton*>())
            shown << b->text();
        shown.sort();
        EXPECT_EQ(shown, QStringList({"BMP", "Cancel", "JPG", "PNG"}));
        QTest::mouseClick(buttonText(w, "PNG"), Qt::LeftButton);
    });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "f", "t", formats, 0, 3), 2);
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Escape}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "f", "t", formats, 0, 3), 3);
    answerNextModal([](QWidget* w) { keys(w, {Qt::Key_Return}); });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "f", "t", formats, 1, 3), 1);
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(w->findChildren<QPushButton*>().size(), 1);
        keys(w, {Qt::Key_Return});
    });
    EXPECT_EQ(KVQ_MessageBox::information(nullptr, "c", "t", QStringList(), 0, -1), 0);
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
        acts << group.addAction(QIcon(filled(Qt::black)), QString::number(i));
    bar.addActionGroup(&group, KVQ_ToolBar::Buttons);
    EXPECT_EQ(bar.actions(), acts);
    bar.addActionGroup(&group, KVQ_ToolBar::Buttons); // nothing twice
    EXPECT_EQ(bar.actions().size(), 3);
    bar.addAction(acts[0]); // QAction::addTo after the group: still one button
    EXPECT_EQ(bar.actions().size(), 3);
    // Buttons a pen can hit.
    QWidget* button = bar.widgetForAction(acts[1]);
    ASSERT_NE(button, nullptr);
    EXPECT_GE(button->sizeHint().width(), 28);
    EXPECT_GE(button->sizeHint().height(), 28);

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
    EXPECT_GE(shown->sizeHint().height(), 28);
    acts[2]->trigger();
    EXPECT_EQ(shown->defaultAction(), acts[2]);
}

// A backpack of its own: pictures, other documents, subfolders, hidden entries, a picture whose
// header claims 60000 x 60000 pixels, and a link that leads outside.
class FileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(outside.isValid());
        saved = qgetenv("KV_BACKPACK_DIR");
        qputenv("KV_BACKPACK_DIR", QFile::encodeName(dir.path()));
        for (const char* folder : {"holidays/deep", "Zoo", ".hiddendir"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
        picture(path("b.BMP"), QSize(64, 32), Qt::green);
        picture(path("holidays/beach.bmp"), QSize(20, 20), Qt::blue);
        QImage jpeg(8, 8, QImage::Format_RGB32);
        jpeg.fill(Qt::magenta);
        ASSERT_TRUE(jpeg.save(path("a.jpg"), "JPEG"));
        for (const char* name : {"c.txt", ".hidden.jpg", "Zoo/notes.txt"})
            write(name, "x");
        QByteArray huge("BM");
        QDataStream out(&huge, QIODevice::Append);
        out.setByteOrder(QDataStream::LittleEndian);
        out << quint32(54) << quint32(0) << quint32(54) << quint32(40) << qint32(60000)
            << qint32(60000) << quint16(1) << quint16(24) << quint32(0) << quint32(0)
            << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
        write("huge.bmp", huge);
        ASSERT_TRUE(QFile::link(outside.path(), path("out")));
        picture(outside.filePath("far.bmp"), QSize(4, 4), Qt::red);
    }
    void TearDown() override {
        // Thumbnails still being made belong to no dialog any more; let them end here.
        QThreadPool::globalInstance()->waitForDone();
        qputenv("KV_BACKPACK_DIR", saved);
    }

    QString path(const QString& name) const { return QDir::cleanPath(dir.filePath(name)); }
    void write(const QString& name, const QByteArray& data) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    static void picture(const QString& file, QSize size, Qt::GlobalColor color) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(file, "BMP"));
    }

    QTemporaryDir dir, outside;
    QByteArray saved;
};

const QStringList types{"JPG,BMP"}, exts{"jpeg,bmp"};

QListView* viewOf(QWidget* w) {
    return w->findChild<QListView*>();
}

QStringList rows(QWidget* w) {
    QStringList out;
    const QAbstractItemModel* model = viewOf(w)->model();
    for (int i = 0; i < model->rowCount(); ++i)
        out << model->index(i, 0).data().toString();
    return out;
}

QString currentName(QWidget* w) {
    return viewOf(w)->currentIndex().data().toString();
}

QString folderShown(QWidget* w) {
    return w->findChild<QLabel*>("folder")->text();
}

QImage decoration(QWidget* w, const QString& name) {
    const int row = int(rows(w).indexOf(name));
    return row < 0 ? QImage()
                   : viewOf(w)
                         ->model()
                         ->index(row, 0)
                         .data(Qt::DecorationRole)
                         .value<QPixmap>()
                         .toImage();
}

// Lets the event loop run until done() holds or five seconds pass.
bool waitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i)
        QTest::qWait(10);
    return done();
}

TEST_F(FileDialog, OpenShowsOneFolderAtATimeWithSubfoldersFirst) {
    KVQ_BackpackFile file;
    answerNextModal([](QWidget* w) {
        QListView* view = viewOf(w);
        EXPECT_EQ(w->windowTitle(), "Open");
        EXPECT_EQ(folderShown(w), "Backpack");
        EXPECT_EQ(rows(w), QStringList({"holidays", "Zoo", "a.jpg", "b.BMP", "huge.bmp"}));
        EXPECT_EQ(currentName(w), "holidays");
        EXPECT_FALSE(w->findChild<QToolButton*>("up")->isEnabled());
        QTest::keyClick(view, Qt::Key_Backspace); // never above the top
        EXPECT_EQ(folderShown(w), "Backpack");

        QTest::keyClick(view, Qt::Key_Return); // enters, does not choose
        ASSERT_TRUE(w->isVisible());
        EXPECT_EQ(folderShown(w), "Backpack/holidays");
        EXPECT_EQ(rows(w), QStringList({"..", "deep", "beach.bmp"}));
        EXPECT_EQ(currentName(w), "deep");
        QTest::keyClick(view, Qt::Key_Up);
        QTest::keyClick(view, Qt::Key_Return); // ".." goes back, to the folder we came from
        EXPECT_EQ(folderShown(w), "Backpack");
        EXPECT_EQ(currentName(w), "holidays");

        // A double tap: QTest sends only the second press of it.
        const QPoint zoo = view->visualRect(view->model()->index(1, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, zoo);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, zoo);
        EXPECT_EQ(folderShown(w), "Backpack/Zoo");
        EXPECT_EQ(rows(w), QStringList({".."})); // the text file is filtered out
        QTest::mouseClick(w->findChild<QToolButton*>("up"), Qt::LeftButton);
        EXPECT_EQ(folderShown(w), "Backpack");
        EXPECT_EQ(currentName(w), "Zoo");

        QTest::keyClick(view, Qt::Key_Up);
        QTest::keyClick(view, Qt::Key_Return);
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getOpenFile(file, types, exts, QString(), QString(), QString(),
                                            nullptr, nullptr, "Open"));
    EXPECT_EQ(file.path(), path("holidays/beach.bmp"));
}

TEST_F(FileDialog, OpenStartsAtTheBoundFileAndEscapeLeavesItAlone) {
    KVQ_BackpackFile file(path("holidays/beach.bmp"));
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(folderShown(w), "Backpack/holidays");
        EXPECT_EQ(currentName(w), "beach.bmp");
        QTest::keyClick(viewOf(w), Qt::Key_Escape);
    });
    EXPECT_FALSE(KVQ_FileDialog::getOpenFile(file, types, exts));
    EXPECT_EQ(file.path(), path("holidays/beach.bmp"));

    // A file outside the backpack: the dialog starts at the top, and a link that leads out is
    // not offered.
    file.setPath(outside.filePath("far.bmp"));
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(folderShown(w), "Backpack");
        EXPECT_FALSE(rows(w).contains("out"));
        QTest::keyClick(viewOf(w), Qt::Key_End);
        QTest::keyClick(viewOf(w), Qt::Key_Up);
        QTest::keyClick(viewOf(w), Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getOpenFile(file, types, exts));
    EXPECT_EQ(file.path(), path("b.BMP"));

    // Nothing to choose: Return and OK do nothing, Escape dismisses.
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(rows(w), QStringList({"holidays", "Zoo"}));
        EXPECT_FALSE(w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
        EXPECT_TRUE(w->isVisible());
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(KVQ_FileDialog::getOpenFile(file, {"PNG"}, {}));
    EXPECT_EQ(file.path(), path("b.BMP"));
}

TEST_F(FileDialog, ThumbnailsFollowWithoutHoldingTheDialog) {
    KVQ_BackpackFile file;
    write("plain.bmp", "not a picture");
    for (Qt::GlobalColor color : {Qt::green, Qt::red}) {
        if (color == Qt::red) // a changed file gets a new thumbnail
            picture(path("b.BMP"), QSize(32, 32), Qt::red);
        answerNextModal([color](QWidget* w) {
            EXPECT_TRUE(waitUntil(
                [w, color] { return decoration(w, "b.BMP").pixelColor(16, 16) == QColor(color); }));
            // Scaled to fit the square and centred in it: 64 x 32 leaves a band above.
            const QImage thumb = decoration(w, "b.BMP");
            EXPECT_EQ(thumb.size(), QSize(32, 32));
            EXPECT_EQ(thumb.pixelColor(16, 2).alpha(), color == Qt::green ? 0 : 255);
            // Once all work is done, what cannot be read or claims to be huge keeps the
            // placeholder.
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            EXPECT_EQ(decoration(w, "huge.bmp"), decoration(w, "plain.bmp"));
            EXPECT_NE(decoration(w, "a.jpg"), decoration(w, "plain.bmp"));
            QTest::keyClick(viewOf(w), Qt::Key_Escape);
        });
        EXPECT_FALSE(KVQ_FileDialog::getOpenFile(file, types, exts));
    }

    // Many pictures, dismissed at once while their thumbnails are being made.
    for (int i = 0; i < 40; ++i)
        picture(path(QString("Zoo/p%1.bmp").arg(i)), QSize(600, 400), Qt::yellow);
    answerNextModal([](QWidget* w) { QTest::keyClick(viewOf(w), Qt::Key_Escape); });
    EXPECT_FALSE(KVQ_FileDialog::getOpenFile(file, types, exts, "Zoo"));
    EXPECT_FALSE(file.isBound());
}

TEST_F(FileDialog, SaveTakesTheShownFolderAndTheTypedName) {
    const KVQ_BackpackFile current(path("holidays/beach.bmp"));
    KVQ_BackpackFile chosen;
    // Starts in the folder of the current file, with the type shown and no name yet.
    answerNextModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Save As");
        EXPECT_EQ(folderShown(w), "Backpack/holidays");
        EXPECT_EQ(w->findChild<QLabel*>("type")->text(), "JPEG");
        EXPECT_EQ(rows(w), QStringList({"..", "deep", "beach.bmp"}));
        auto* name = w->findChild<QLineEdit*>();
        EXPECT_TRUE(name->text().isEmpty());
        QTest::keyClick(name, Qt::Key_Return); // an empty name is refused
        EXPECT_TRUE(w->isVisible());
        QTest::keyClicks(name, "cat.jpg");
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getSaveFile(current, chosen, "JPEG", QString(), QString(),
                                            QString(), nullptr, nullptr, "Save As"));
    EXPECT_EQ(chosen.path(), path("holidays/cat.jpg"));
    EXPECT_FALSE(QFile::exists(chosen.path())); // the dialog writes nothing

    // From the name field the arrows move in the list: Return enters the folder reached, and
    // reaching a document puts its name in the field.
    answerNextModal([](QWidget* w) {
        auto* name = w->findChild<QLineEdit*>();
        EXPECT_EQ(folderShown(w), "Backpack");
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(name, Qt::Key_Down);
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_EQ(folderShown(w), "Backpack/Zoo");
        EXPECT_EQ(rows(w), QStringList({"..", "notes.txt"}));
        QTest::keyClicks(name, "x.bmp");
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getSaveFile(KVQ_BackpackFile(), chosen, "BMP"));
    EXPECT_EQ(chosen.path(), path("Zoo/x.bmp"));

    answerNextModal([](QWidget* w) {
        auto* name = w->findChild<QLineEdit*>();
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(name, Qt::Key_Down);
        EXPECT_EQ(name->text(), "b.BMP");
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(KVQ_FileDialog::getSaveFile(KVQ_BackpackFile(), chosen, "BMP"));
    EXPECT_EQ(chosen.path(), path("b.BMP"));

    // Names that lead outside the backpack or into missing folders are not accepted.
    KVQ_BackpackFile other;
    answerNextModal([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        auto* ok = w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        for (const char* bad :
             {"../../escape.bmp", "out/x.bmp", "nofolder/x.bmp", "   ", "Zoo/", "holidays"}) {
            edit->setText(bad);
            EXPECT_FALSE(ok->isEnabled()) << bad;
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_TRUE(w->isVisible()) << bad;
        }
        edit->setText("holidays/deep/new");
        EXPECT_TRUE(ok->isEnabled());
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(KVQ_FileDialog::getSaveFile(KVQ_BackpackFile(), other, "BMP"));
    EXPECT_FALSE(other.isBound());
}

} // namespace
