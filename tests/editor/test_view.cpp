// The application bar and the view in the window: undo and redo with the buttons and the keys,
// which are enabled only when they can act; zoom with the buttons, the keys and the slots, and
// drawing while zoomed; the pan mode; a view that fills the window and a menu bar in its own row;
// undoing back to the saved picture.
#include "editor_fixture.h"
#include "kv_recoveryfile.h"
#include "kvq_menubar.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QScrollBar>

namespace {

void send(QWidget* w, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent e(type, key, modifiers);
    QApplication::sendEvent(w, &e);
}

} // namespace

class View : public EditorTest {
public:
    // Control held down around a key, as a person types it.
    void withControl(int k, Qt::KeyboardModifiers more = {}) {
        send(editor.get(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        send(editor.get(), QEvent::KeyPress, k, Qt::ControlModifier | more);
        send(editor.get(), QEvent::KeyRelease, k, Qt::ControlModifier | more);
        send(editor.get(), QEvent::KeyRelease, Qt::Key_Control);
    }
    QAction* undoButton() const { return editor->appActions[3]; }
    QAction* redoButton() const { return editor->redoAction; }
    // The strip of window below the view: where the tool bars begin.
    int toolBarsTop() const {
        int top = editor->height();
        for (QWidget* bar : {static_cast<QWidget*>(editor->appToolBar),
                             static_cast<QWidget*>(editor->lineToolBar)})
            if (bar->isVisible())
                top = std::min(top, bar->geometry().top());
        return top;
    }
};

TEST_F(View, UndoAndRedoButtonsFollowTheHistory) {
    EXPECT_FALSE(undoButton()->isEnabled());
    EXPECT_FALSE(redoButton()->isEnabled());
    const QImage blank = picture();
    stroke(QPoint(40, 40), QPoint(200, 120));
    const QImage drawn = picture();
    ASSERT_NE(drawn, blank);
    EXPECT_TRUE(undoButton()->isEnabled());
    EXPECT_FALSE(redoButton()->isEnabled());

    tap(undoButton());
    EXPECT_EQ(picture(), blank);
    EXPECT_FALSE(undoButton()->isEnabled());
    EXPECT_TRUE(redoButton()->isEnabled());
    tap(redoButton());
    EXPECT_EQ(picture(), drawn);
    EXPECT_TRUE(undoButton()->isEnabled());
    EXPECT_FALSE(redoButton()->isEnabled());

    // A new picture starts an empty history.
    {
        ModalScript script({ModalScript::button(QStringLiteral("No"))});
        editor->fileNew();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_FALSE(undoButton()->isEnabled());
    EXPECT_FALSE(redoButton()->isEnabled());
}

TEST_F(View, ControlZUndoesControlYAndControlShiftZRedo) {
    const QImage blank = picture();
    stroke(QPoint(40, 40), QPoint(200, 120));
    const QImage first = picture();
    tap(editor->modeActions[1]); // fill
    press(QPoint(300, 200));
    release(QPoint(300, 200));
    const QImage second = picture();
    ASSERT_NE(second, first);

    withControl(Qt::Key_Z);
    EXPECT_EQ(picture(), first);
    withControl(Qt::Key_Z);
    EXPECT_EQ(picture(), blank);
    withControl(Qt::Key_Y);
    EXPECT_EQ(picture(), first);
    withControl(Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(picture(), second);
    // Without Control the letters do nothing.
    key(Qt::Key_Z);
    EXPECT_EQ(picture(), second);
}

TEST_F(View, ZoomButtonsKeysAndSlotsShowTheLevel) {
    tap(editor->appActions[2]); // zoom in
    EXPECT_EQ(editor->zoomLabel->text(), "200%");
    withControl(Qt::Key_Plus);
    EXPECT_EQ(editor->zoomLabel->text(), "300%");
    withControl(Qt::Key_Equal); // plus without Shift
    EXPECT_EQ(editor->zoomLabel->text(), "400%");
    withControl(Qt::Key_Minus);
    EXPECT_EQ(editor->zoomLabel->text(), "300%");
    withControl(Qt::Key_0);
    EXPECT_EQ(editor->zoomLabel->text(), "100%");

    // The slots, called by name as a remote control calls them.
    ASSERT_TRUE(QMetaObject::invokeMethod(editor.get(), "setZoom", Q_ARG(int, 13)));
    EXPECT_EQ(editor->zoomLabel->text(), "12.5%");
    EXPECT_FALSE(editor->appActions[1]->isEnabled()); // no smaller level
    EXPECT_TRUE(editor->appActions[2]->isEnabled());
    ASSERT_TRUE(QMetaObject::invokeMethod(editor.get(), "setZoom", Q_ARG(int, 5000)));
    EXPECT_EQ(editor->zoomLabel->text(), "3200%");
    EXPECT_FALSE(editor->appActions[2]->isEnabled());
    ASSERT_TRUE(QMetaObject::invokeMethod(editor.get(), "zoomOut"));
    EXPECT_EQ(editor->zoomLabel->text(), "2400%");
    ASSERT_TRUE(QMetaObject::invokeMethod(editor.get(), "zoomIn"));
    EXPECT_EQ(editor->zoomLabel->text(), "3200%");

    stroke(QPoint(1, 1), QPoint(30, 1));
    ASSERT_TRUE(QMetaObject::invokeMethod(editor.get(), "undo"));
    EXPECT_FALSE(undoButton()->isEnabled());
    ASSERT_TRUE(QMetaObject::invokeMethod(editor.get(), "redo"));
    EXPECT_TRUE(undoButton()->isEnabled());
}

TEST_F(View, DrawingWhileZoomedInLandsOnThePixelsUnderThePen) {
    tap(editor->appActions[2]); // 2:1
    tap(editor->appActions[2]); // 3:1
    ASSERT_EQ(editor->zoomLabel->text(), "300%");
    doc()->setContentsPos(0, 0);
    // Viewport positions: picture (20, 10) to (60, 10) at 3:1.
    stroke(QPoint(61, 31), QPoint(182, 32));
    const QImage im = picture();
    EXPECT_EQ(im.pixel(20, 10), White); // the stroke begins at its first move
    EXPECT_EQ(im.pixel(40, 10), Black);
    EXPECT_EQ(im.pixel(60, 10), Black);
    EXPECT_EQ(im.pixel(61, 10), White);
    EXPECT_EQ(im.pixel(40, 11), White);
}

TEST_F(View, PanModeMovesTheViewUntilAToolIsChosen) {
    doc()->setZoomLevel(5); // 3:1: the picture is larger than the view
    doc()->setContentsPos(0, 0);
    tap(editor->appActions[0]);
    ASSERT_TRUE(editor->appActions[0]->isChecked());
    EXPECT_TRUE(doc()->panMode());
    stroke(QPoint(200, 150), QPoint(100, 100));
    EXPECT_EQ(doc()->scrollPosition(), QPoint(100, 50));
    EXPECT_TRUE(doc()->saved()); // nothing drawn
    EXPECT_FALSE(undoButton()->isEnabled());

    // Choosing a tool leaves the pan mode; the pencil draws again.
    tap(editor->modeActions[0]);
    EXPECT_FALSE(editor->appActions[0]->isChecked());
    EXPECT_FALSE(doc()->panMode());
    stroke(QPoint(200, 150), QPoint(100, 100));
    EXPECT_TRUE(undoButton()->isEnabled());

    // Escape leaves it too, and so does the slot called from outside.
    tap(editor->appActions[0]);
    ASSERT_TRUE(doc()->panMode());
    key(Qt::Key_Escape);
    EXPECT_FALSE(doc()->panMode());
    EXPECT_FALSE(editor->appActions[0]->isChecked());
    editor->apToolBar(true);
    EXPECT_TRUE(editor->appActions[0]->isChecked());
    EXPECT_TRUE(doc()->panMode());
    editor->apToolBar(false);
    EXPECT_FALSE(doc()->panMode());
}

TEST_F(View, TheViewFillsTheWindowAndKeepsItsScrollBarsWhenSmall) {
    const QRect start = doc()->geometry();
    EXPECT_EQ(start.top(), 20);
    EXPECT_EQ(start.width(), 480);
    EXPECT_EQ(start.bottom() + 1, toolBarsTop());

    editor->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(doc()->geometry().top(), 20);
    EXPECT_EQ(doc()->width(), 900);
    EXPECT_EQ(doc()->geometry().bottom() + 1, toolBarsTop());
    EXPECT_GT(doc()->height(), 500);
    // The whole 480x320 picture is in view now: no scroll bars.
    EXPECT_FALSE(doc()->verticalScrollBar()->isVisible());

    editor->resize(250, 200);
    QApplication::processEvents();
    const QRect small = doc()->geometry();
    EXPECT_GE(small.top(), 20);
    EXPECT_LE(small.bottom() + 1, toolBarsTop());
    EXPECT_TRUE(doc()->verticalScrollBar()->isVisible());
    EXPECT_TRUE(doc()->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(small.contains(doc()->verticalScrollBar()->geometry().translated(small.topLeft())));
}

TEST_F(View, TheMenuBarTakesARowOfItsOwn) {
    const int top = doc()->geometry().top();
    editor->menuBar->show();
    QApplication::processEvents();
    EXPECT_GT(doc()->geometry().top(), top);
    const QRect bar(editor->menuBar->mapTo(editor.get(), QPoint(0, 0)), editor->menuBar->size());
    EXPECT_LE(bar.bottom(), doc()->geometry().top() - 1);
    editor->menuBar->hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return doc()->geometry().top() == top; }, 2000));
}

TEST_F(View, UndoingBackToTheSavedPictureAsksNothingAndDropsTheRecoveryFile) {
    const QString file = inBackpack(QStringLiteral("saved.bmp"));
    ASSERT_TRUE(markedPicture(0xff0000ffu).save(file, "BMP"));
    open(file);
    ASSERT_TRUE(doc()->saved());
    stroke(QPoint(100, 100), QPoint(200, 150));
    ASSERT_FALSE(doc()->saved());
    // The recovery file of the unsaved picture appears.
    const QString recoveryFile = editor->recoveryFile()->path();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(recoveryFile); },
                                KV_RecoveryFile::WriteDelayMs + 2000));
    withControl(Qt::Key_Z);
    EXPECT_TRUE(doc()->saved());
    EXPECT_FALSE(QFileInfo::exists(recoveryFile));
    ModalScript none;
    editor->fileNew();
    EXPECT_TRUE(none.seen().empty()) << "asked about changes that were undone";
    EXPECT_EQ(picture().pixel(50, 50), White);
}
