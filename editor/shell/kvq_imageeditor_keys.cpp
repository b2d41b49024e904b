// Keys: Control is tracked and passed to the document (squares and circles); Control with a
// letter runs a file command or opens the menu bar, with Z, Y or Shift+Z undoes or redoes, with
// plus, minus or 0 zooms; Tab moves a highlight (the on state of the actions) over the mode
// switches or over the current tool bar's buttons; Control with Tab switches between the two;
// Return runs the highlighted button; Escape leaves the pan mode. Control with A, C, X or V
// selects all, copies, cuts or pastes; Delete and Escape act on the selection. While text is
// typed, the keys go to the text instead (kvq_imageeditor_edit.cpp).
#include "kvq_imageeditor.h"

#include "kvq_imagedocument.h"
#include "kvq_menubar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

namespace {

// Where each tool bar's buttons start in actionArray.
constexpr int LineBase = 6;
constexpr int FillBase = 12;
constexpr int ShapesBase = 15;

void setOn(QAction* const (&actions)[24], int index, bool on) {
    if (index >= 0 && index < 24 && actions[index])
        actions[index]->setChecked(on);
}

} // namespace

void KVQ_imageEditor::keyPressEvent(QKeyEvent* event) {
    if (typingKey(event)) {
        event->accept();
        return;
    }
    const int key = event->key();
    keyBusy = 1;
    if (key == Qt::Key_Control)
        controlHeld = true;
    // The selection's keys, whether Control is held or not.
    if (key == Qt::Key_Delete || key == Qt::Key_Escape)
        selectionKey(event);
    if (controlHeld) {
        switch (key) {
        case Qt::Key_Tab:
            tabMajorScreen();
            break;
        case Qt::Key_M:
            menuBar->show();
            break;
        case Qt::Key_N:
            fileNew();
            break;
        case Qt::Key_O:
            fileOpen();
            break;
        case Qt::Key_H:
            fileHelp();
            break;
        case Qt::Key_S:
            fileSave();
            break;
        case Qt::Key_Q:
            closeAll();
            break;
        case Qt::Key_Z:
            if (event->modifiers().testFlag(Qt::ShiftModifier))
                redo();
            else
                undo();
            break;
        case Qt::Key_Y:
            redo();
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: // plus without Shift
            zoomIn();
            break;
        case Qt::Key_Minus:
            zoomOut();
            break;
        case Qt::Key_0:
            setZoom(100);
            break;
        case Qt::Key_A:
            selectAll();
            break;
        case Qt::Key_C:
            copy();
            break;
        case Qt::Key_X:
            cut();
            break;
        case Qt::Key_V:
            paste();
            break;
        default:
            break;
        }
    } else if (key == Qt::Key_Tab) {
        tabToolBarButtons();
    } else if (key == Qt::Key_Return) {
        callEvent();
    } else if (key == Qt::Key_Escape) {
        appActions[0]->setChecked(false);
    }
    keyBusy = 0;
    if (key == Qt::Key_Control && document)
        document->setControlKey(true, key);
    event->accept();
}

void KVQ_imageEditor::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control) {
        controlHeld = false;
        if (document)
            document->setControlKey(false, event->key());
    }
    event->accept();
}

bool KVQ_imageEditor::focusNextPrevChild(bool) {
    return false;
}

void KVQ_imageEditor::changeEvent(QEvent* event) {
    KVQ_Component::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    controlHeld = QApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    if (document)
        document->setControlKey(controlHeld, Qt::Key_Control);
}

bool KVQ_imageEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && watched != this && typingText()) {
        auto* child = qobject_cast<QWidget*>(watched);
        if (child && child->window() == this) {
            event->accept();
            return true;
        }
    }
    const bool press = event->type() == QEvent::KeyPress;
    if ((press || event->type() == QEvent::KeyRelease) && watched != this) {
        auto* child = qobject_cast<QWidget*>(watched);
        if (child && child->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (press)
                keyPressEvent(key);
            else
                keyReleaseEvent(key);
            return true;
        }
    }
    return KVQ_Component::eventFilter(watched, event);
}

void KVQ_imageEditor::followFocusWindow(QWindow* now) {
    QWindow* own = windowHandle();
    // A box or popup that takes the keyboard from this window is watched until it closes.
    if (now && own && now != own && focusWindowBefore == own)
        connect(now, &QWindow::visibleChanged, this, &KVQ_imageEditor::boxVisibilityChanged,
                Qt::UniqueConnection);
    focusWindowBefore = now;
}

void KVQ_imageEditor::boxVisibilityChanged(bool visible) {
    if (visible)
        return;
    // Once the box is gone, the keyboard comes back here unless another window has it; without
    // a window manager nothing else would give it back.
    QTimer::singleShot(0, this, [this] {
        const QWindow* focus = QApplication::focusWindow();
        if (isVisible() && (!focus || !focus->isVisible()) && !QApplication::activeModalWidget() &&
            !QApplication::activePopupWidget())
            activateWindow();
    });
}

void KVQ_imageEditor::tabMajorScreen() {
    focusLevel = focusLevel == 1 ? 2 : 1;
    setToolFocus();
}

void KVQ_imageEditor::tabToolBarButtons() {
    if (focusLevel == 1) {
        prevModeIndex = modeIndex;
        modeIndex = modeIndex + 1 == 6 ? 0 : modeIndex + 1;
    } else if (focusLevel == 2) {
        switch (modeIndex) {
        case 0:
            prevLineIndex = lineIndex;
            lineIndex = lineIndex + 1 == 6 ? 0 : lineIndex + 1;
            break;
        case 1:
            prevFillIndex = fillIndex;
            fillIndex = fillIndex + 1 == 3 ? 0 : fillIndex + 1;
            break;
        case 3:
            prevShapesIndex = shapesIndex;
            shapesIndex = shapesIndex + 2 > 8 ? 0 : shapesIndex + 2;
            break;
        default:
            break;
        }
    }
    setToolFocus();
}

void KVQ_imageEditor::setToolFocus() {
    // Switching a mode switch runs its slot (through toggled), so the highlight changes the mode.
    if (focusLevel == 1) {
        setOn(actionArray, prevModeIndex, false);
        setOn(actionArray, modeIndex, true);
        return;
    }
    if (focusLevel != 2)
        return;
    switch (modeIndex) {
    case 0:
        setOn(actionArray, LineBase + prevLineIndex, false);
        setOn(actionArray, LineBase + lineIndex, true);
        break;
    case 1:
        setOn(actionArray, FillBase + prevFillIndex, false);
        setOn(actionArray, FillBase + fillIndex, true);
        break;
    case 3:
        setOn(actionArray, ShapesBase + prevShapesIndex, false);
        setOn(actionArray, ShapesBase + shapesIndex, true);
        break;
    default:
        break;
    }
}

void KVQ_imageEditor::callEvent() {
    if (focusLevel != 2)
        return;
    // Member pointers to virtual slots call through the virtual table.
    const auto run = [this](const ToolSlot* table, int count, int index) {
        if (index >= 0 && index < count)
            (this->*table[index])(true);
    };
    switch (modeIndex) {
    case 0:
        run(LineSlots, 6, lineIndex);
        break;
    case 1:
        run(FillSlots, 3, fillIndex);
        break;
    case 3:
        run(ShapeSlots, 9, shapesIndex);
        break;
    default:
        break;
    }
}
