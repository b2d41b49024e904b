// Shared fixture of the editor tests: an editor window shown offscreen, started in the icon
// folder as a user's launcher starts it, with a private backpack, its protected state readable
// through EditorProbe, and helpers that use it with the pen and answer its boxes and popups.
#ifndef EDITOR_FIXTURE_H
#define EDITOR_FIXTURE_H

#include "kv_modalscript.h"
#include "kv_toolcodes.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"
#include "kvq_imageeditor.h"
#include "kvq_titlebar.h"
#include "kvq_toolbar.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

// The window with its protected members and slots in reach of the tests.
class EditorProbe : public KVQ_imageEditor {
public:
    using KVQ_imageEditor::KVQ_imageEditor;

    using KVQ_imageEditor::actionArray;
    using KVQ_imageEditor::appActions;
    using KVQ_imageEditor::appendFormat;
    using KVQ_imageEditor::appToolBar;
    using KVQ_imageEditor::backpackFile;
    using KVQ_imageEditor::closeAll;
    using KVQ_imageEditor::controlHeld;
    using KVQ_imageEditor::copyAction;
    using KVQ_imageEditor::currentFileName;
    using KVQ_imageEditor::cutAction;
    using KVQ_imageEditor::determineFileFormat;
    using KVQ_imageEditor::determineInputFormat;
    using KVQ_imageEditor::determineSaveFormat;
    using KVQ_imageEditor::editMenu;
    using KVQ_imageEditor::eraserSizeAction;
    using KVQ_imageEditor::eraserToolBar;
    using KVQ_imageEditor::fileAboutAction;
    using KVQ_imageEditor::fileExitAction;
    using KVQ_imageEditor::fileFilter;
    using KVQ_imageEditor::fileHelpAction;
    using KVQ_imageEditor::fileMenu;
    using KVQ_imageEditor::fileNewAction;
    using KVQ_imageEditor::fileOpenAction;
    using KVQ_imageEditor::filePresentDialog;
    using KVQ_imageEditor::fileSaveAction;
    using KVQ_imageEditor::fileSaveAsAction;
    using KVQ_imageEditor::fillActions;
    using KVQ_imageEditor::fillIndex;
    using KVQ_imageEditor::fillToolBar;
    using KVQ_imageEditor::focusLevel;
    using KVQ_imageEditor::formatCode;
    using KVQ_imageEditor::imageCaption;
    using KVQ_imageEditor::imageMenu;
    using KVQ_imageEditor::inputFileName;
    using KVQ_imageEditor::keyBusy;
    using KVQ_imageEditor::lineActions;
    using KVQ_imageEditor::lineIndex;
    using KVQ_imageEditor::lineToolBar;
    using KVQ_imageEditor::menuBar;
    using KVQ_imageEditor::modeActions;
    using KVQ_imageEditor::modeIndex;
    using KVQ_imageEditor::NoAddressLimit;
    using KVQ_imageEditor::pasteAction;
    using KVQ_imageEditor::prevFillIndex;
    using KVQ_imageEditor::prevLineIndex;
    using KVQ_imageEditor::prevModeIndex;
    using KVQ_imageEditor::prevShapesIndex;
    using KVQ_imageEditor::pxIcon;
    using KVQ_imageEditor::redoAction;
    using KVQ_imageEditor::saveFileWithFormat;
    using KVQ_imageEditor::selectToolBar;
    using KVQ_imageEditor::shapeActions;
    using KVQ_imageEditor::shapesFillBlack;
    using KVQ_imageEditor::shapesFillColour;
    using KVQ_imageEditor::shapesIndex;
    using KVQ_imageEditor::shapesToolBar;
    using KVQ_imageEditor::sizeAcceptable;
    using KVQ_imageEditor::textSizeAction;
    using KVQ_imageEditor::textToolBar;
    using KVQ_imageEditor::titleBar;
    using KVQ_imageEditor::viewMenu;
    using KVQ_imageEditor::viewSpecificTool;
    using KVQ_imageEditor::zoomLabel;
};

constexpr QRgb White = 0xffffffffu;
constexpr QRgb Black = 0xff000000u;

// A white 480x320 picture with a 40x40 block of mark (which JPEG keeps well enough to read
// back).
inline QImage markedPicture(QRgb mark) {
    QImage image(480, 320, QImage::Format_RGB32);
    image.fill(White);
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 80; ++x)
            image.setPixel(x, y, mark);
    return image;
}

class EditorTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { ASSERT_TRUE(QDir::setCurrent(QStringLiteral(KV_PX_ICON_DIR))); }

    void SetUp() override {
        ASSERT_TRUE(backpack.isValid());
        ASSERT_TRUE(state.isValid());
        qputenv("KV_BACKPACK_DIR", QFile::encodeName(backpack.path()));
        // Recovery files of this test's editors go here, and none of another test's is found.
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        open(QString());
    }
    void TearDown() override { editor.reset(); }

    // A fresh editor window, shown, opening picture at start when it is not empty.
    void open(const QString& picture) {
        editor.reset();
        editor = std::make_unique<EditorProbe>(nullptr, "editor", picture);
        editor->move(40, 40); // away from the screen's edges, where popups are pushed inwards
        editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        QApplication::processEvents();
    }

    KVQ_ImageDocument* doc() const { return editor->imageDocument(); }
    KV_ToolsController* tools() const { return doc()->toolsController(); }
    QImage picture() const { return doc()->pmScaled()->toImage(); }
    QString inBackpack(const QString& name) const { return backpack.filePath(name); }

    // The button showing action: on a view tool bar, the application bar or the title bar.
    QToolButton* buttonFor(QAction* action) const {
        for (QToolButton* b : editor->findChildren<QToolButton*>())
            if (b->defaultAction() == action && b->isVisible())
                return b;
        return nullptr;
    }
    // A pen tap on the action's button.
    void tap(QAction* action) {
        QToolButton* button = buttonFor(action);
        ASSERT_NE(button, nullptr) << qPrintable(action->objectName());
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }

    // Pen strokes on the picture, in picture coordinates.
    void press(QPoint p) { QTest::mousePress(doc()->viewport(), Qt::LeftButton, {}, p); }
    void move(QPoint p) {
        QMouseEvent e(QEvent::MouseMove, p, doc()->viewport()->mapToGlobal(p), Qt::NoButton,
                      Qt::LeftButton, {});
        QApplication::sendEvent(doc()->viewport(), &e);
    }
    void release(QPoint p) { QTest::mouseRelease(doc()->viewport(), Qt::LeftButton, {}, p); }
    void stroke(QPoint from, QPoint to) {
        press(from);
        move((from + to) / 2);
        move(to);
        release(to);
        QApplication::processEvents();
    }

    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(editor.get(), Qt::Key(k), m); }
    void keyPress(int k) { QTest::keyPress(editor.get(), Qt::Key(k)); }
    void keyRelease(int k) { QTest::keyRelease(editor.get(), Qt::Key(k)); }

    // The picture in a file, as the same image.
    static bool samePixels(const QImage& a, const QImage& b) {
        return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
    }
    // The icon an action shows is the picture in file.
    static bool showsIcon(QAction* action, const char* file) {
        const QIcon icon = action->icon();
        const QList<QSize> sizes = icon.availableSizes();
        if (sizes.isEmpty())
            return false;
        return icon.pixmap(sizes.first()).toImage().convertToFormat(QImage::Format_ARGB32) ==
               QImage(QLatin1String(file)).convertToFormat(QImage::Format_ARGB32);
    }

    QTemporaryDir backpack;
    QTemporaryDir state;
    std::unique_ptr<EditorProbe> editor;
};

#endif
