// The keyboard: Control tracking, Control with a letter, Tab over the modes and the tool-bar
// buttons, Control with Tab between the two levels, Return on the highlighted button.
#include "editor_fixture.h"
#include "kvq_menubar.h"
#include "kvq_popupmenu.h"

#include <QKeyEvent>
#include <QTimer>

namespace {

// A key event as the key handler receives it (no shortcut map in between).
void send(QWidget* w, QEvent::Type type, int key) {
    QKeyEvent e(type, key, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class Keys : public EditorTest {
public:
    void down(int k) { send(editor.get(), QEvent::KeyPress, k); }
    void up(int k) { send(editor.get(), QEvent::KeyRelease, k); }
    // Tab as a person types it: through the window's whole event handling.
    void tab() { QTest::keyClick(editor.get(), Qt::Key_Tab); }
    void controlTab() {
        down(Qt::Key_Control);
        QTest::keyClick(editor.get(), Qt::Key_Tab, Qt::ControlModifier);
        up(Qt::Key_Control);
    }
    std::vector<int> checked(QAction* const* block, int n) const {
        std::vector<int> on;
        for (int i = 0; i < n; ++i)
            if (block[i]->isChecked())
                on.push_back(i);
        return on;
    }
};

TEST_F(Keys, ControlIsTrackedAndReachesTheShapes) {
    down(Qt::Key_Control);
    EXPECT_TRUE(editor->controlHeld);
    EXPECT_TRUE(tools()->controlKey);
    EXPECT_EQ(editor->keyBusy, 0);
    up(Qt::Key_A); // other releases change nothing
    EXPECT_TRUE(editor->controlHeld);
    up(Qt::Key_Control);
    EXPECT_FALSE(editor->controlHeld);
    EXPECT_FALSE(tools()->controlKey);

    // Other keys are consumed without effect.
    const QImage before = picture();
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(editor.get(), &a);
    EXPECT_TRUE(a.isAccepted());
    EXPECT_EQ(editor->focusLevel, 1);
    EXPECT_EQ(editor->modeIndex, 0);
    EXPECT_TRUE(samePixels(picture(), before));
}

TEST_F(Keys, TabWalksTheModesAndChangesTheView) {
    tab();
    EXPECT_EQ(editor->modeIndex, 1);
    EXPECT_EQ(editor->prevModeIndex, 0);
    EXPECT_EQ(checked(editor->modeActions, 6), std::vector<int>{1});
    EXPECT_EQ(tools()->activeTool(), ToolFill);
    EXPECT_TRUE(editor->fillToolBar->isVisible());
    EXPECT_TRUE(editor->appToolBar->isVisible());

    // Onto the text mode: its bar, no box.
    {
        ModalScript none;
        tab();
        EXPECT_TRUE(none.seen().empty());
    }
    EXPECT_EQ(editor->modeIndex, 2);
    EXPECT_EQ(checked(editor->modeActions, 6), std::vector<int>{2});
    EXPECT_EQ(tools()->activeTool(), ToolText);
    EXPECT_TRUE(editor->textToolBar->isVisible());

    tab();
    EXPECT_EQ(editor->modeIndex, 3);
    EXPECT_EQ(tools()->activeTool(), ToolShape);
    EXPECT_TRUE(editor->shapesToolBar->isVisible());
    tab(); // the eraser: no box
    EXPECT_EQ(editor->modeIndex, 4);
    EXPECT_EQ(tools()->activeTool(), ToolEraser);
    EXPECT_TRUE(editor->eraserToolBar->isVisible());
    {
        ModalScript none; // the selection: no box either
        tab();
        EXPECT_TRUE(none.seen().empty());
    }
    EXPECT_EQ(editor->modeIndex, 5);
    EXPECT_EQ(tools()->activeTool(), ToolSelect);
    tab();
    EXPECT_EQ(editor->modeIndex, 0);
    EXPECT_EQ(editor->prevModeIndex, 5);
    EXPECT_EQ(tools()->activeTool(), ToolPencil);
    EXPECT_TRUE(editor->lineToolBar->isVisible());
    EXPECT_FALSE(editor->shapesToolBar->isVisible());
}

TEST_F(Keys, ControlTabSwitchesLevelsAndTabWalksTheLineBar) {
    // At start both mode indices are 0: returning to level 1 switches mode 0 off and on again,
    // and its slot puts the pencil view back.
    controlTab();
    EXPECT_EQ(editor->focusLevel, 2);
    EXPECT_EQ(checked(editor->lineActions, 6), std::vector<int>{0});
    doc()->setToolAttribute(AttrTool, ToolFill);
    controlTab();
    EXPECT_EQ(editor->focusLevel, 1);
    EXPECT_EQ(tools()->activeTool(), ToolPencil);
    EXPECT_TRUE(editor->modeActions[0]->isChecked());

    controlTab();
    for (int expected : {1, 2, 3, 4, 5, 0}) {
        tab();
        EXPECT_EQ(editor->lineIndex, expected);
        EXPECT_EQ(checked(editor->lineActions, 6), std::vector<int>{expected});
    }
    EXPECT_EQ(editor->prevLineIndex, 5);
    EXPECT_EQ(editor->modeIndex, 0); // the modes stay where they were
}

TEST_F(Keys, ReturnRunsTheHighlightedButton) {
    {
        ModalScript none;
        down(Qt::Key_Return); // level 1: nothing
        EXPECT_TRUE(none.seen().empty());
        EXPECT_EQ(editor->focusLevel, 1);
    }

    controlTab();
    {
        ModalScript script({ModalScript::entry(
            [](QMenu* m) { return static_cast<KVQ_PopupMenu*>(m)->findItem(EndingArrowArrow); })});
        down(Qt::Key_Return);
        ASSERT_EQ(script.seen().size(), 1u);
        EXPECT_EQ(script.seen()[0].caption, "popup");
    }
    EXPECT_EQ(tools()->activeLineEnding(), EndingArrowArrow);
    EXPECT_EQ(editor->keyBusy, 0);

    // In the fill view Return on button 1 does nothing visible; on button 2 it shows its box.
    controlTab();
    tab();
    controlTab();
    tab();
    EXPECT_EQ(editor->fillIndex, 1);
    down(Qt::Key_Return);
    tab();
    {
        // The colour popup: Right moves the highlight from black to the next colour, Return
        // takes it.
        ModalScript script({[](QWidget* w) {
            QTest::keyClick(w, Qt::Key_Right);
            QTest::keyClick(w, Qt::Key_Return);
        }});
        down(Qt::Key_Return);
        EXPECT_EQ(script.seen().size(), 1u);
    }
    EXPECT_EQ(tools()->activeFloodColor(), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(checked(editor->fillActions, 3), std::vector<int>{2});
}

TEST_F(Keys, ShapesBarVisitsEvenButtonsAndFollowsThePen) {
    editor->fillActions[2]->setChecked(true);
    tab();
    {
        ModalScript script({ModalScript::key(Qt::Key_Return)});
        tab(); // mode 2 says not implemented on the way
    }
    tab();
    ASSERT_EQ(editor->modeIndex, 3);
    controlTab();
    // Before the first step the previous shapes index is -1: entry 14, the last fill action,
    // is switched off.
    EXPECT_FALSE(editor->fillActions[2]->isChecked());
    EXPECT_EQ(checked(editor->shapeActions, 9), std::vector<int>{0});
    for (int expected : {2, 4, 6, 8, 0}) {
        tab();
        EXPECT_EQ(editor->shapesIndex, expected);
        EXPECT_EQ(checked(editor->shapeActions, 9), std::vector<int>{expected});
    }

    // After the pen used an odd button, Tab goes on over the odd ones and back to 0 after 7.
    tap(editor->shapeActions[1]);
    EXPECT_EQ(editor->shapesIndex, 1);
    for (int expected : {3, 5, 7, 0}) {
        tab();
        EXPECT_EQ(editor->shapesIndex, expected);
    }

    // A slot reached by Return leaves the bookkeeping to the keys.
    tap(editor->shapeActions[1]);
    tab();
    EXPECT_EQ(editor->prevShapesIndex, 1);
    down(Qt::Key_Return); // shape button 3: nothing but the bookkeeping, skipped
    EXPECT_EQ(editor->prevShapesIndex, 1);
    EXPECT_EQ(editor->shapesIndex, 3);
}

TEST_F(Keys, ControlReleaseSeenElsewhereLeavesControlHeld) {
    down(Qt::Key_Control);
    QWidget other;
    send(&other, QEvent::KeyRelease, Qt::Key_Control);
    EXPECT_TRUE(editor->controlHeld);
    tab(); // acts as Control with Tab
    EXPECT_EQ(editor->focusLevel, 2);
    EXPECT_EQ(editor->modeIndex, 0);
    up(Qt::Key_Control);
    tab();
    EXPECT_EQ(editor->lineIndex, 1);
}

TEST_F(Keys, ControlWithLettersRunsCommands) {
    down(Qt::Key_Control);
    editor->menuBar->hide();
    down(Qt::Key_M);
    EXPECT_TRUE(editor->menuBar->isVisible());

    {
        ModalScript script({ModalScript::key(Qt::Key_Return)});
        down(Qt::Key_H);
        EXPECT_EQ(script.texts(), QStringList{"Not Implemented"});
        EXPECT_EQ(script.seen()[0].caption, "Help");
    }

    // New and Quit ask first when the picture changed; Cancel keeps it. Back from a box the
    // window reads Control from the keyboard again, so Control is pressed anew each time.
    stroke(QPoint(10, 10), QPoint(100, 10));
    ASSERT_FALSE(doc()->saved());
    const QImage drawn = picture();
    {
        ModalScript script({ModalScript::button("Cancel"), ModalScript::button("Cancel")});
        down(Qt::Key_Control);
        down(Qt::Key_N);
        down(Qt::Key_Control);
        down(Qt::Key_Q);
        EXPECT_EQ(script.texts(), QStringList({"The document has been changed. Save it.",
                                               "The document has been changed. Save it."}));
        EXPECT_EQ(script.seen()[0].caption, "Save");
        EXPECT_EQ(script.seen()[1].caption, "Image Editor");
    }
    EXPECT_TRUE(samePixels(picture(), drawn));

    // Open shows the open dialog.
    {
        ModalScript script({ModalScript::button("No"), ModalScript::key(Qt::Key_Escape)});
        down(Qt::Key_Control);
        down(Qt::Key_O);
        ASSERT_EQ(script.seen().size(), 2u);
        EXPECT_EQ(script.seen()[1].caption, "Open");
    }
    EXPECT_TRUE(samePixels(picture(), drawn)); // dismissed with changes kept: left as it is

    // Save of a picture never saved asks for the format first.
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        down(Qt::Key_Control);
        down(Qt::Key_S);
        EXPECT_EQ(script.texts(), QStringList{"Select the image file type to save."});
    }

    // New after "No": a white picture named Image1.
    {
        ModalScript script({ModalScript::button("No")});
        down(Qt::Key_Control);
        down(Qt::Key_N);
    }
    EXPECT_EQ(picture().pixel(50, 10), White);
    EXPECT_EQ(editor->titleBar->text(), "Image1");
    up(Qt::Key_Control);
}

TEST_F(Keys, ControlQEndsTheEventLoop) {
    QTimer::singleShot(0, [this] {
        down(Qt::Key_Control);
        down(Qt::Key_Q);
    });
    QObject guard; // the time limit ends with the test
    QTimer::singleShot(5000, &guard, [] { QApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    up(Qt::Key_Control);
}

// A key typed while some child of the window holds the focus reaches the key handler as well.
TEST_F(Keys, KeysReachTheHandlerWhateverChildHasTheFocus) {
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    QWidget* child = editor->titleBar;
    child->setFocusPolicy(Qt::StrongFocus);
    child->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), child);
    QTest::keyClick(child, Qt::Key_Tab);
    EXPECT_EQ(editor->modeIndex, 1);
    EXPECT_EQ(tools()->activeTool(), ToolFill);
}

// Control held when a box opens and let go inside it neither makes squares afterwards nor turns
// the next Tab into Control with Tab.
TEST_F(Keys, ControlLetGoInABoxIsNotHeldAfterwards) {
    tap(editor->modeActions[3]); // shapes
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    down(Qt::Key_Control);
    {
        ModalScript script({ModalScript::button("OK")}); // closed with the pen
        down(Qt::Key_H);
        EXPECT_EQ(script.texts(), QStringList{"Not Implemented"});
    }
    QApplication::processEvents();
    stroke(QPoint(100, 100), QPoint(220, 130));
    const QImage drawn = picture();
    QRect box;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != White)
                box |= QRect(x, y, 1, 1);
    EXPECT_EQ(box, QRect(100, 100, 120, 30));
    EXPECT_FALSE(editor->controlHeld);
    {
        ModalScript none;
        tab(); // Tab alone, not Control with Tab: the next mode, the eraser
        EXPECT_TRUE(none.seen().empty());
    }
    EXPECT_EQ(editor->focusLevel, 1);
    EXPECT_EQ(editor->modeIndex, 4);
}
