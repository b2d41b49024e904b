// Tool selection with the pen: mode switches, tool-bar buttons, attribute popups, highlights and
// the keyboard bookkeeping that pen use keeps.
#include "editor_fixture.h"
#include "kvq_popupmenu.h"

#include <QMenu>

namespace {

// A step that checks a popup's entries and place, then chooses the entry with id (or
// dismisses the popup when id is -1).
ModalScript::Step popupStep(EditorProbe* editor, std::vector<int> ids, int dx, int dy, int id,
                            bool* checked) {
    return [=](QWidget* w) {
        auto* menu = qobject_cast<KVQ_PopupMenu*>(w);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->parentWidget(), editor);
        std::vector<int> shown;
        for (int i = 0; i < menu->count(); ++i)
            shown.push_back(menu->idAt(i));
        EXPECT_EQ(shown, ids);
        EXPECT_EQ(menu->pos(), QPoint(editor->x() + dx, editor->y() + editor->height() - dy));
        *checked = true;
        if (id == -1)
            QTest::keyClick(menu, Qt::Key_Escape);
        else
            ModalScript::entry(
                [id](QMenu* m) { return static_cast<KVQ_PopupMenu*>(m)->findItem(id); })(menu);
    };
}

} // namespace

using Tools = EditorTest;

TEST_F(Tools, ModeSwitchesChangeToolAndBars) {
    tap(editor->modeActions[1]);
    EXPECT_EQ(tools()->activeTool(), ToolFill);
    EXPECT_TRUE(editor->fillToolBar->isVisible());
    EXPECT_TRUE(editor->appToolBar->isVisible());
    EXPECT_FALSE(editor->lineToolBar->isVisible());
    EXPECT_EQ(editor->toolBar(), editor->fillToolBar);
    EXPECT_EQ(editor->modeIndex, 1);
    EXPECT_EQ(editor->prevModeIndex, 0);
    EXPECT_EQ(editor->focusLevel, 1);

    tap(editor->modeActions[3]);
    EXPECT_EQ(tools()->activeTool(), ToolShape);
    EXPECT_TRUE(editor->shapesToolBar->isVisible());
    EXPECT_FALSE(editor->fillToolBar->isVisible());
    EXPECT_EQ(editor->toolBar(), editor->shapesToolBar);
    EXPECT_EQ(editor->modeIndex, 3);
    EXPECT_EQ(editor->prevModeIndex, 2);

    tap(editor->modeActions[0]);
    EXPECT_EQ(tools()->activeTool(), ToolPencil);
    EXPECT_TRUE(editor->lineToolBar->isVisible());
    EXPECT_FALSE(editor->shapesToolBar->isVisible());
    EXPECT_TRUE(editor->appToolBar->isVisible()); // mode one leaves the application bar alone
    EXPECT_EQ(editor->toolBar(), editor->lineToolBar);
    EXPECT_EQ(editor->modeIndex, 0);
    EXPECT_EQ(editor->prevModeIndex, 5);
}

TEST_F(Tools, TextAndSelectionModesChooseTheirToolAndBar) {
    const struct {
        int mode;
        int tool;
        KVQ_ToolBar* bar;
    } modes[] = {{2, ToolText, editor->textToolBar}, {5, ToolSelect, editor->selectToolBar}};
    for (const auto& m : modes) {
        ModalScript none;
        tap(editor->modeActions[m.mode]);
        EXPECT_TRUE(none.seen().empty()) << m.mode;
        EXPECT_EQ(editor->modeIndex, m.mode);
        EXPECT_EQ(tools()->activeTool(), m.tool);
        EXPECT_TRUE(m.bar->isVisible());
        EXPECT_EQ(editor->toolBar(), m.bar);
        EXPECT_FALSE(editor->fillToolBar->isVisible());
        EXPECT_FALSE(editor->lineToolBar->isVisible());
    }
    EXPECT_FALSE(editor->textToolBar->isVisible());
    // Input methods are asked for text only in the text mode.
    EXPECT_FALSE(editor->testAttribute(Qt::WA_InputMethodEnabled));
    tap(editor->modeActions[2]);
    EXPECT_TRUE(editor->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(Tools, LineEndingPopupChoosesAndDismisses) {
    bool checked = false;
    {
        ModalScript script(
            {popupStep(editor.get(), {1, 7, 6, 3, 5, 4, 2}, 0, 75, EndingNoneArrow, &checked)});
        tap(editor->lineActions[0]);
    }
    EXPECT_TRUE(checked);
    EXPECT_EQ(tools()->activeLineEnding(), EndingNoneArrow);
    EXPECT_TRUE(showsIcon(editor->lineActions[0], "lineendnonearrow.png"));
    EXPECT_EQ(editor->focusLevel, 2);
    EXPECT_EQ(editor->lineIndex, 0);
    EXPECT_EQ(editor->prevLineIndex, 5);

    // Dismissed: nothing changes, neither the ending nor the icon nor the highlight and the
    // keyboard's place, which stay on the button used before.
    tap(editor->lineActions[2]);
    ASSERT_TRUE(editor->lineActions[2]->isChecked());
    {
        ModalScript script({popupStep(editor.get(), {1, 7, 6, 3, 5, 4, 2}, 0, 75, -1, &checked)});
        tap(editor->lineActions[0]);
    }
    EXPECT_EQ(tools()->activeLineEnding(), EndingNoneArrow);
    EXPECT_TRUE(showsIcon(editor->lineActions[0], "lineendnonearrow.png"));
    EXPECT_TRUE(editor->lineActions[2]->isChecked());
    EXPECT_FALSE(editor->lineActions[0]->isChecked());
    EXPECT_EQ(editor->lineIndex, 2);
    EXPECT_EQ(editor->prevLineIndex, 1);
    // Every popup built for a use is gone after it.
    EXPECT_TRUE(
        editor->findChildren<KVQ_PopupMenu*>(QString(), Qt::FindDirectChildrenOnly).size() == 4);
}

TEST_F(Tools, PencilToolPopup) {
    bool checked = false;
    {
        ModalScript script(
            {popupStep(editor.get(), {1, 7, 6, 3, 5, 4, 2}, 0, 75, EndingArrowNone, &checked)});
        tap(editor->lineActions[0]);
    }
    // The plain line with an arrow ending becomes the arrow line.
    {
        ModalScript script({popupStep(editor.get(), {2, 1, 3}, 21, 31, PencilLine, &checked)});
        tap(editor->lineActions[1]);
    }
    EXPECT_TRUE(checked);
    EXPECT_EQ(tools()->activePencilTool(), PencilArrowLine);
    EXPECT_TRUE(showsIcon(editor->lineActions[1], "lineendnone.png"));
    {
        ModalScript script({popupStep(editor.get(), {2, 1, 3}, 21, 31, PencilConnected, &checked)});
        tap(editor->lineActions[1]);
    }
    EXPECT_EQ(tools()->activePencilTool(), PencilConnected);
    EXPECT_TRUE(showsIcon(editor->lineActions[1], "linetypemultipleconnected.png"));
    // Dismissed: the tool and the icon stay.
    {
        ModalScript script({popupStep(editor.get(), {2, 1, 3}, 21, 31, -1, &checked)});
        tap(editor->lineActions[1]);
    }
    EXPECT_EQ(tools()->activePencilTool(), PencilConnected);
    EXPECT_TRUE(showsIcon(editor->lineActions[1], "linetypemultipleconnected.png"));
}

TEST_F(Tools, ThicknessAndStylePopupsOfBothBars) {
    bool checked = false;
    {
        ModalScript script({popupStep(editor.get(), {1, 2, 3}, 65, 30, ThicknessThick, &checked)});
        tap(editor->lineActions[3]);
    }
    EXPECT_EQ(tools()->activeLineThickness(), ThicknessThick);
    EXPECT_TRUE(showsIcon(editor->lineActions[3], "linewidththick.png"));
    {
        ModalScript script({popupStep(editor.get(), {1, 2, 3}, 85, 18, StyleDotted, &checked)});
        tap(editor->lineActions[4]);
    }
    EXPECT_EQ(tools()->activeLineStyle(), StyleDotted);
    EXPECT_TRUE(showsIcon(editor->lineActions[4], "linestyledotted.png"));
    EXPECT_EQ(editor->lineIndex, 4);
    EXPECT_EQ(editor->prevLineIndex, 3);
    // Dismissing passes -1, which the controller ignores.
    {
        ModalScript script({popupStep(editor.get(), {1, 2, 3}, 85, 18, -1, &checked)});
        tap(editor->lineActions[4]);
    }
    EXPECT_EQ(tools()->activeLineStyle(), StyleDotted);

    // The shapes bar's thickness button sets the same attribute.
    tap(editor->modeActions[3]);
    {
        ModalScript script({popupStep(editor.get(), {1, 2, 3}, 40, 30, ThicknessMedium, &checked)});
        tap(editor->shapeActions[4]);
    }
    EXPECT_EQ(tools()->activeLineThickness(), ThicknessMedium);
    EXPECT_TRUE(showsIcon(editor->shapeActions[4], "linewidthmedium.png"));
    EXPECT_EQ(editor->shapesIndex, 4);
    EXPECT_EQ(editor->prevShapesIndex, 2);
}

TEST_F(Tools, ShapePopupAndFillToggle) {
    tap(editor->modeActions[3]);
    bool checked = false;
    {
        ModalScript script({popupStep(editor.get(), {1, 3, 2}, 0, 30, ShapeCircle, &checked)});
        tap(editor->shapeActions[0]);
    }
    EXPECT_EQ(tools()->activeShapeTool(), ShapeCircle);
    EXPECT_TRUE(showsIcon(editor->shapeActions[0], "circle.png"));
    {
        ModalScript script({popupStep(editor.get(), {1, 3, 2}, 0, 30, -1, &checked)});
        tap(editor->shapeActions[0]);
    }
    EXPECT_EQ(tools()->activeShapeTool(), ShapeCircle);
    EXPECT_TRUE(showsIcon(editor->shapeActions[0], "circle.png"));

    tap(editor->shapeActions[6]);
    EXPECT_TRUE(editor->shapesFillBlack);
    EXPECT_EQ(tools()->activeFillColor(), QColor(Qt::black));
    tap(editor->shapeActions[6]);
    EXPECT_FALSE(editor->shapesFillBlack);
    EXPECT_EQ(tools()->activeFillColor(), QColor(Qt::white));
    EXPECT_EQ(editor->shapesIndex, 6);
    EXPECT_EQ(editor->prevShapesIndex, 4);
}

TEST_F(Tools, HighlightsBookkeepingAndPlaceholderButtons) {
    tap(editor->lineActions[2]);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(editor->lineActions[i]->isChecked(), i == 2) << i;
    EXPECT_TRUE(showsIcon(editor->lineActions[2], "linemode.png"));
    EXPECT_EQ(editor->lineIndex, 2);
    EXPECT_EQ(editor->prevLineIndex, 1);

    // The colour pickers open the colour popup (Return takes the colour highlighted, the
    // current one; Escape dismisses it).
    {
        ModalScript script({ModalScript::key(Qt::Key_Return)});
        tap(editor->lineActions[5]);
        ASSERT_EQ(script.seen().size(), 1u);
    }
    EXPECT_EQ(tools()->activeLineColor(), QColor(Qt::black));
    EXPECT_TRUE(editor->lineActions[5]->isChecked());

    tap(editor->modeActions[1]);
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        tap(editor->fillActions[2]);
        EXPECT_EQ(script.seen().size(), 1u);
    }
    EXPECT_FALSE(editor->fillActions[0]->isChecked());
    EXPECT_TRUE(editor->fillActions[2]->isChecked());
    tap(editor->fillActions[0]);
    EXPECT_TRUE(editor->fillActions[0]->isChecked());
    EXPECT_FALSE(editor->fillActions[2]->isChecked());
    EXPECT_EQ(editor->fillIndex, 0);
    EXPECT_EQ(editor->prevFillIndex, 2);
    EXPECT_EQ(tools()->activeTool(), ToolFill); // no fill button changes the tool

    tap(editor->modeActions[3]);
    {
        ModalScript script({ModalScript::key(Qt::Key_Return)});
        tap(editor->shapeActions[8]);
        EXPECT_EQ(script.seen().size(), 1u);
    }
    EXPECT_EQ(editor->shapesIndex, 8);
    EXPECT_EQ(editor->prevShapesIndex, 6);

    // During a key press the slots leave the bookkeeping to the key handler.
    editor->keyBusy = 1;
    editor->frShapesToolThree(true);
    editor->tFillToolTwo(true);
    editor->sLineToolThree(true);
    editor->fViewPickerToolTwo(false);
    editor->keyBusy = 0;
    EXPECT_EQ(editor->focusLevel, 2);
    EXPECT_EQ(editor->shapesIndex, 8);
    EXPECT_EQ(editor->prevShapesIndex, 6);
    EXPECT_EQ(editor->fillIndex, 0);
    EXPECT_EQ(editor->lineIndex, 5);
    EXPECT_EQ(editor->modeIndex, 3);
    EXPECT_TRUE(editor->shapeActions[2]->isChecked()); // the highlight still moves
}

TEST_F(Tools, ApplicationBarMenuIconAndQuietSlots) {
    {
        ModalScript none;
        tap(editor->appActions[1]); // zoom out: no box any more
        EXPECT_TRUE(none.seen().empty());
        EXPECT_EQ(editor->zoomLabel->text(), "50%");
    }
    editor->menuBar->show();
    editor->pxIconAction(); // pxIcon is no toggle action, so it is never on: the bar hides
    EXPECT_FALSE(editor->menuBar->isVisible());

    const QImage before = picture();
    ModalScript none;
    editor->viewSpecificToolBar(true);
    editor->slotShowPX(true);
    editor->slotNotImpl();
    editor->tFillToolTwo(true);
    editor->frShapesToolTwo(true);
    EXPECT_TRUE(none.seen().empty());
    EXPECT_TRUE(samePixels(picture(), before));
}
