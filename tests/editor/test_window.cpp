// The editor window as built: menus, actions, tool bars, title bar, meta-object, the factory.
#include "editor_fixture.h"
#include "kvq_imageeditortestobjfactory.h"
#include "kvq_menubar.h"
#include "kvq_popupmenu.h"

#include <QLabel>
#include <QMetaMethod>
#include <QToolBar>

namespace {

QStringList ownSlots(const QMetaObject* meta) {
    QStringList out;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        out << QString::fromLatin1(meta->method(i).methodSignature());
    return out;
}

} // namespace

using Window = EditorTest;

TEST_F(Window, MetaObjectKeepsTheFortyEightSlotsInOrderAndAddsTheViewSlots) {
    const QMetaObject* meta = editor->metaObject();
    EXPECT_STREQ(meta->className(), "KVQ_imageEditor");
    EXPECT_STREQ(meta->superClass()->className(), "KVQ_Component");
    const QStringList expected = {
        "fileNew()", "fileOpen()", "fileSave()", "fileSaveAs()", "fileAbout()", "fileHelp()",
        "getOnlyFileName(QString)", "pxIconAction()", "fViewPickerToolOne(bool)",
        "fViewPickerToolTwo(bool)", "fViewPickerToolThree(bool)", "fViewPickerToolFour(bool)",
        "fViewPickerToolFive(bool)", "fViewPickerToolSix(bool)", "sLineToolOne(bool)",
        "sLineToolTwo(bool)", "sLineToolThree(bool)", "sLineToolFour(bool)", "sLineToolFive(bool)",
        "sLineToolSix(bool)", "tFillToolOne(bool)", "tFillToolTwo(bool)", "tFillToolThree(bool)",
        "frShapesToolOne(bool)", "frShapesToolTwo(bool)", "frShapesToolThree(bool)",
        "frShapesToolFour(bool)", "frShapesToolFive(bool)", "frShapesToolSix(bool)",
        "frShapesToolSeven(bool)", "frShapesToolEight(bool)", "frShapesToolNine(bool)",
        "viewSpecificToolBar(bool)", "apToolBar(bool)", "keyPressEvent(QKeyEvent*)",
        "keyReleaseEvent(QKeyEvent*)", "slotShowPX(bool)", "slotNotImpl()",
        "inputFileName(const char*)", "keyMapping()", "closeAll()", "imageCaption(QString)",
        "filePresentDialog()", "determineInputFormat()", "determineFileFormat(QString)",
        "determineSaveFormat(const char*)", "saveFileWithFormat(int,QString)",
        "appendFormat(int,QString)",
        // The application bar's functions follow the forty-eight; then colours, the eraser's
        // size and the tool by name; then text and selection.
        "undo()", "redo()", "zoomIn()", "zoomOut()", "setZoom(int)", "setLineColor(QString)",
        "setFillColor(QString)", "setShapeFillColor(QString)", "setEraserSize(int)",
        "chooseTool(QString)", "copy()", "cut()", "paste()", "selectAll()", "deleteSelection()",
        "setTextSize(int)", "typeText(QString)"};
    EXPECT_EQ(ownSlots(meta), expected);
    EXPECT_EQ(meta->methodCount() - meta->methodOffset(), 65);
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        const int index = i - meta->methodOffset();
        EXPECT_EQ(m.methodType(), QMetaMethod::Slot) << m.methodSignature().constData();
        EXPECT_EQ(m.access(),
                  index < 38 || index >= 48 ? QMetaMethod::Public : QMetaMethod::Protected)
            << m.methodSignature().constData();
    }
}

TEST_F(Window, FileMenuMenuBarAndAccelerators) {
    EXPECT_EQ(editor->size(), QSize(480, 360));
    KVQ_MenuBar* bar = editor->menuBar;
    EXPECT_EQ(bar->objectName(), "MenuBar");
    ASSERT_EQ(bar->count(), 4);
    const int ids[] = {2, 3, 4, 5};
    const char* titles[] = {"File", "Edit", "Image", "View"};
    KVQ_PopupMenu* menus[] = {editor->fileMenu, editor->editMenu, editor->imageMenu,
                              editor->viewMenu};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bar->idAt(i), ids[i]);
        EXPECT_EQ(bar->findItem(ids[i])->text(), titles[i]);
        EXPECT_EQ(bar->findItem(ids[i])->menu(), menus[i]);
    }
    EXPECT_TRUE(editor->editMenu->actions().isEmpty());
    EXPECT_TRUE(editor->imageMenu->actions().isEmpty());
    EXPECT_TRUE(editor->viewMenu->actions().isEmpty());

    // Seven entries with six separators between them.
    const QList<QAction*> entries = editor->fileMenu->actions();
    ASSERT_EQ(entries.size(), 13);
    QAction* const file[] = {editor->fileNewAction,   editor->fileOpenAction,
                             editor->fileSaveAction,  editor->fileSaveAsAction,
                             editor->fileAboutAction, editor->fileHelpAction,
                             editor->fileExitAction};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(entries[i]->isSeparator(), i % 2 == 1) << i;
        if (i % 2 == 0) {
            EXPECT_EQ(entries[i], file[i / 2]) << i;
        }
    }
    const char* texts[][3] = {{"New", "&New", "Ctrl+N"},   {"Open", "&Open...", "Ctrl+O"},
                              {"Save", "&Save", "Ctrl+S"}, {"Save As", "Save &As...", ""},
                              {"About", "A&bout", ""},     {"Help", "&Help", "Ctrl+H"},
                              {"Quit", "&Quit", "Ctrl+Q"}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(file[i]->iconText(), texts[i][0]);
        EXPECT_EQ(file[i]->text(), texts[i][1]);
        EXPECT_EQ(file[i]->shortcut(), QKeySequence::fromString(texts[i][2])) << texts[i][0];
    }
}

TEST_F(Window, ToolBarsAndInitialStates) {
    EXPECT_EQ(editor->titleBar->text(), "Image1");
    EXPECT_EQ(editor->toolBar(), editor->lineToolBar);
    EXPECT_EQ(editor->KVQ_Component::appToolBar(), editor->appToolBar);
    EXPECT_TRUE(editor->lineToolBar->isVisible());
    EXPECT_TRUE(editor->appToolBar->isVisible());
    EXPECT_FALSE(editor->fillToolBar->isVisible());
    EXPECT_FALSE(editor->shapesToolBar->isVisible());
    EXPECT_EQ(editor->KVQ_Component::modeActions(), editor->modeActions[0]->actionGroup());

    const auto onOnly = [](QAction* const* block, int n, int on) {
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(block[i]->isChecked(), i == on) << qPrintable(block[i]->objectName());
    };
    onOnly(editor->modeActions, 6, 0);
    onOnly(editor->lineActions, 6, 0);
    onOnly(editor->fillActions, 3, 0);
    onOnly(editor->shapeActions, 9, 0);

    // The bars show their blocks in block order.
    EXPECT_EQ(editor->lineToolBar->actions(),
              QList<QAction*>(editor->lineActions, editor->lineActions + 6));
    EXPECT_EQ(editor->fillToolBar->actions(),
              QList<QAction*>(editor->fillActions, editor->fillActions + 3));
    EXPECT_EQ(editor->shapesToolBar->actions(),
              QList<QAction*>(editor->shapeActions, editor->shapeActions + 9));
    // The application bar: its four actions, redo, and the zoom level.
    const QList<QAction*> app = editor->appToolBar->actions();
    ASSERT_EQ(app.size(), 6);
    EXPECT_EQ(app.mid(0, 4), QList<QAction*>(editor->appActions, editor->appActions + 4));
    EXPECT_EQ(app[4], editor->redoAction);
    EXPECT_EQ(editor->appToolBar->widgetForAction(app[5]), editor->zoomLabel);
    EXPECT_EQ(editor->zoomLabel->text(), "100%");
    EXPECT_TRUE(editor->appActions[0]->isCheckable()); // pan is a mode
    for (QAction* action :
         {editor->appActions[1], editor->appActions[2], editor->appActions[3], editor->redoAction})
        EXPECT_FALSE(action->isCheckable()) << qPrintable(action->objectName());
    EXPECT_FALSE(editor->appActions[3]->isEnabled()); // nothing to undo or redo yet
    EXPECT_FALSE(editor->redoAction->isEnabled());
    EXPECT_TRUE(showsIcon(editor->redoAction, "redo.png"));

    // Actions that no widget shows.
    EXPECT_TRUE(editor->pxIcon->associatedObjects().isEmpty());
    EXPECT_TRUE(editor->viewSpecificTool->associatedObjects().isEmpty());
    // Fill action 1 and the odd shape actions reach only their bar (and its buttons).
    const auto onlyOn = [](QAction* action, QWidget* bar) {
        for (QObject* o : action->associatedObjects())
            EXPECT_TRUE(o == bar || (qobject_cast<QToolButton*>(o) && o->parent() == bar))
                << qPrintable(action->objectName()) << " on " << o->metaObject()->className();
    };
    onlyOn(editor->fillActions[1], editor->fillToolBar);
    for (int i : {1, 3, 5, 7})
        onlyOn(editor->shapeActions[i], editor->shapesToolBar);

    // The picture lies right below the 20-pixel band, in the window's central area.
    EXPECT_EQ(doc()->pos(), QPoint(0, 20));
    EXPECT_EQ(editor->centralWidget(), doc());
    EXPECT_EQ(picture().size(), QSize(480, 320));
    EXPECT_TRUE(doc()->saved());
    for (int i = 0; i < 24; ++i)
        EXPECT_NE(editor->actionArray[i], nullptr);
    EXPECT_EQ(editor->actionArray[6], editor->lineActions[0]);
    EXPECT_EQ(editor->actionArray[14], editor->fillActions[2]);
    EXPECT_EQ(editor->actionArray[23], editor->shapeActions[8]);
}

TEST_F(Window, IconsComeFromTheWorkingFolder) {
    EXPECT_TRUE(showsIcon(editor->modeActions[1], "fillmode.png"));
    EXPECT_TRUE(showsIcon(editor->modeActions[5], "last.bmp"));
    EXPECT_TRUE(showsIcon(editor->lineActions[0], "lineendingsidentifier.png"));
    EXPECT_TRUE(showsIcon(editor->shapeActions[7], "activefillcolor.bmp"));

    std::unique_ptr<QPixmap> first(editor->createIcon());
    std::unique_ptr<QPixmap> second(editor->createIcon());
    EXPECT_NE(first.get(), second.get());
    EXPECT_FALSE(first->isNull());
    EXPECT_EQ(first->size(), QSize(16, 16));

    QToolBar* modes = editor->createModeBar();
    EXPECT_EQ(modes->parent(), editor.get());
    EXPECT_EQ(modes->objectName(), "PXToolBar");
    EXPECT_EQ(modes->actions(), QList<QAction*>(editor->modeActions, editor->modeActions + 6));
    EXPECT_TRUE(editor->modeActions[0]->isChecked());
}

TEST_F(Window, FactoryCountsReferencesAndBuildsWindows) {
    QUnknownInterface* unknown = ucm_instantiate();
    ASSERT_NE(unknown, nullptr);
    QUnknownInterface* iface = reinterpret_cast<QUnknownInterface*>(0x1);
    const QUuid other(0x12345678, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
    EXPECT_EQ(unknown->queryInterface(other, &iface), 1u);
    EXPECT_EQ(iface, nullptr);
    EXPECT_EQ(unknown->queryInterface(IID_KVQ_ObjectFactory, &iface), 0u);
    EXPECT_EQ(iface, unknown);
    EXPECT_EQ(unknown->addRef(), 2u); // the count was 2: one from the entry point, one query
    EXPECT_EQ(unknown->release(), 2u);
    auto* factory = static_cast<KVQ_ObjectFactoryInterface*>(iface);

    QObject plain;
    EXPECT_EQ(factory->create(&plain, "x", {}), nullptr);
    EXPECT_TRUE(plain.children().isEmpty());

    QWidget parent;
    QObject* child = factory->create(&parent, "child", {});
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->parent(), &parent);
    EXPECT_STREQ(child->metaObject()->className(), "KVQ_imageEditor");
    EXPECT_EQ(child->objectName(), "child");

    std::unique_ptr<QObject> top(factory->create(nullptr, "top", {}));
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(static_cast<QWidget*>(top.get())->isWindow());

    EXPECT_EQ(factory->release(), 1u);
    EXPECT_EQ(unknown->release(), 0u); // deleted; the windows outlive it
    EXPECT_EQ(child->parent(), &parent);
}

TEST_F(Window, AboutBoxChildrenFontsAndOk) {
    QFont appFont = QApplication::font();
    bool checked = false;
    auto script = std::make_unique<ModalScript>(std::vector<ModalScript::Step>{[&](QWidget* w) {
        EXPECT_STREQ(w->metaObject()->className(), "KVQ_AboutPX");
        EXPECT_EQ(w->objectName(), "about");
        EXPECT_EQ(w->windowTitle(), "About Image Editor");
        // Everything lies below the 20-pixel caption band.
        EXPECT_EQ(w->size(), QSize(353, 183));
        struct Child {
            const char* name;
            QRect geometry;
            int points;
        };
        const Child children[] = {{"TextLabel1", {0, 20, 350, 20}, appFont.pointSize()},
                                  {"TextLabel2", {0, 40, 351, 40}, 8},
                                  {"TextLabel4", {0, 110, 351, 31}, 9},
                                  {"TextLabel3", {0, 80, 351, 20}, 9},
                                  {"PushButton1", {120, 150, 90, 30}, 9}};
        const auto check = [&] {
            for (const Child& c : children) {
                auto* child = w->findChild<QWidget*>(QLatin1String(c.name));
                ASSERT_NE(child, nullptr) << c.name;
                EXPECT_EQ(child->geometry(), c.geometry) << c.name;
                EXPECT_EQ(child->font().family(), "serif") << c.name;
                EXPECT_EQ(child->font().pointSize(), c.points) << c.name;
            }
        };
        check();
        EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("TextLabel2"))->text(),
                  "The current version of this application is 1.0.");
        // The dialog keeps its own fonts when the application's font changes.
        QFont bigger = appFont;
        bigger.setFamily(QStringLiteral("monospace"));
        QApplication::setFont(bigger);
        QApplication::processEvents();
        check();
        QApplication::setFont(appFont);
        checked = true;
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("PushButton1")),
                          Qt::LeftButton);
    }});
    editor->fileAbout();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(script->finished());
    script.reset();

    // Help: the same note each time.
    ModalScript help({ModalScript::key(Qt::Key_Escape), ModalScript::key(Qt::Key_Return)});
    editor->fileHelp();
    editor->fileHelp();
    ASSERT_EQ(help.seen().size(), 2u);
    for (const auto& seen : help.seen()) {
        EXPECT_EQ(seen.caption, "Help");
        EXPECT_EQ(seen.text, "Not Implemented");
    }
}
