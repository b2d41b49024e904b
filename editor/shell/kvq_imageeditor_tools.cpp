// The mode switches and the buttons of the view tool bars: which tool and tool bar are current,
// the attribute popups, the highlights and the keyboard bookkeeping of pen use.
#include "kvq_imageeditor.h"

#include "kv_toolcodes.h"
#include "kvq_imagedocument.h"
#include "kvq_menubar.h"
#include "kvq_popupmenu.h"
#include "kvq_toolbar.h"

#include <QAction>
#include <QColor>
#include <QToolButton>

#include <iterator>
#include <memory>

namespace {

// The values of each attribute popup, in popup order, with the icon each shows.
const KVQ_imageEditor::PopupEntry LineEndings[] = {{EndingNone, "lineendnone.png"},
                                                   {EndingNoneCircle, "lineendnonecircle.png"},
                                                   {EndingCircleNone, "lineendcirclenone.png"},
                                                   {EndingCircleCircle, "lineendcirclecircle.png"},
                                                   {EndingNoneArrow, "lineendnonearrow.png"},
                                                   {EndingArrowNone, "lineendarrownone.png"},
                                                   {EndingArrowArrow, "lineendarrowarrow.png"}};
// The straight line shows as the plain line.
const KVQ_imageEditor::PopupEntry PencilTools[] = {
    {PencilLine, "lineendnone.png"},
    {PencilFreeForm, "linetypefreeform.png"},
    {PencilConnected, "linetypemultipleconnected.png"}};
const KVQ_imageEditor::PopupEntry Thicknesses[] = {{ThicknessThin, "linewidththin.png"},
                                                   {ThicknessMedium, "linewidthmedium.png"},
                                                   {ThicknessThick, "linewidththick.png"}};
const KVQ_imageEditor::PopupEntry Styles[] = {{StyleSolid, "linestylesolid.png"},
                                              {StyleDashed, "linestyledashed.png"},
                                              {StyleDotted, "linestyledotted.png"}};
const KVQ_imageEditor::PopupEntry Shapes[] = {{ShapeSquare, "square.png"},
                                              {ShapeRoundedSquare, "squareroundcorners.png"},
                                              {ShapeCircle, "circle.png"}};

template <size_t N>
constexpr KVQ_imageEditor::AttributePopup
popup(int attribute, const KVQ_imageEditor::PopupEntry (&entries)[N], int dx, int dy) {
    return {attribute, entries, int(N), dx, dy};
}

const KVQ_imageEditor::AttributePopup LineEndingPopup = popup(AttrLineEnding, LineEndings, 0, 75);
const KVQ_imageEditor::AttributePopup PencilToolPopup = popup(AttrPencilTool, PencilTools, 21, 31);
const KVQ_imageEditor::AttributePopup LineThicknessPopup =
    popup(AttrLineThickness, Thicknesses, 65, 30);
const KVQ_imageEditor::AttributePopup LineStylePopup = popup(AttrLineStyle, Styles, 85, 18);
const KVQ_imageEditor::AttributePopup ShapePopup = popup(AttrShapeTool, Shapes, 0, 30);
const KVQ_imageEditor::AttributePopup ShapeThicknessPopup =
    popup(AttrLineThickness, Thicknesses, 40, 30);

// The actions of each block that the highlight switches.
const int LineListed[] = {0, 1, 2, 3, 4, 5};
const int FillListed[] = {0, 2};
const int ShapeListed[] = {0, 2, 4, 6, 8};

} // namespace

const KVQ_imageEditor::ToolSlot KVQ_imageEditor::ModeSlots[6] = {
    &KVQ_imageEditor::fViewPickerToolOne,   &KVQ_imageEditor::fViewPickerToolTwo,
    &KVQ_imageEditor::fViewPickerToolThree, &KVQ_imageEditor::fViewPickerToolFour,
    &KVQ_imageEditor::fViewPickerToolFive,  &KVQ_imageEditor::fViewPickerToolSix};
const KVQ_imageEditor::ToolSlot KVQ_imageEditor::LineSlots[6] = {
    &KVQ_imageEditor::sLineToolOne,   &KVQ_imageEditor::sLineToolTwo,
    &KVQ_imageEditor::sLineToolThree, &KVQ_imageEditor::sLineToolFour,
    &KVQ_imageEditor::sLineToolFive,  &KVQ_imageEditor::sLineToolSix};
const KVQ_imageEditor::ToolSlot KVQ_imageEditor::FillSlots[3] = {&KVQ_imageEditor::tFillToolOne,
                                                                 &KVQ_imageEditor::tFillToolTwo,
                                                                 &KVQ_imageEditor::tFillToolThree};
const KVQ_imageEditor::ToolSlot KVQ_imageEditor::ShapeSlots[9] = {
    &KVQ_imageEditor::frShapesToolOne,   &KVQ_imageEditor::frShapesToolTwo,
    &KVQ_imageEditor::frShapesToolThree, &KVQ_imageEditor::frShapesToolFour,
    &KVQ_imageEditor::frShapesToolFive,  &KVQ_imageEditor::frShapesToolSix,
    &KVQ_imageEditor::frShapesToolSeven, &KVQ_imageEditor::frShapesToolEight,
    &KVQ_imageEditor::frShapesToolNine};

void KVQ_imageEditor::trackFocus(int level, int& prev, int prevValue, int& current,
                                 int currentValue) {
    if (keyBusy)
        return;
    focusLevel = level;
    prev = prevValue;
    current = currentValue;
}

void KVQ_imageEditor::highlight(QAction* own, QAction* const* block, const int* listed, int count) {
    for (int i = 0; i < count; ++i) {
        QAction* action = block[listed[i]];
        action->setChecked(action == own);
    }
}

void KVQ_imageEditor::highlightLine(int index) {
    highlight(lineActions[index], lineActions, LineListed, int(std::size(LineListed)));
}

void KVQ_imageEditor::highlightFill(int index) {
    highlight(fillActions[index], fillActions, FillListed, int(std::size(FillListed)));
}

void KVQ_imageEditor::highlightShape(int index) {
    highlight(shapeActions[index], shapeActions, ShapeListed, int(std::size(ShapeListed)));
}

bool KVQ_imageEditor::runAttributePopup(QAction* button, const AttributePopup& values) {
    int id = -1;
    {
        // Built for this use and gone with it.
        std::unique_ptr<KVQ_PopupMenu> menu(new KVQ_PopupMenu(this, nullptr));
        for (int i = 0; i < values.count; ++i)
            menu->insertItem(QPixmap(QLatin1String(values.entries[i].icon)), values.entries[i].id);
        menu->move(x() + values.dx, y() + height() - values.dy);
        id = menu->exec();
    }
    for (int i = 0; i < values.count; ++i)
        if (values.entries[i].id == id) {
            if (document)
                document->setToolAttribute(values.attribute, id);
            button->setIcon(QIcon(QPixmap(QLatin1String(values.entries[i].icon))));
            return true;
        }
    return false;
}

KVQ_imageEditor::FocusState KVQ_imageEditor::focusBefore(QActionGroup* group) const {
    return {focusLevel,
            {modeIndex, lineIndex, fillIndex, shapesIndex, prevModeIndex, prevLineIndex,
             prevFillIndex, prevShapesIndex},
            group,
            group == pressedGroup ? highlightBeforePress : group->checkedAction()};
}

void KVQ_imageEditor::restoreFocus(const FocusState& state) {
    focusLevel = state.level;
    int* const indices[] = {&modeIndex,     &lineIndex,     &fillIndex,     &shapesIndex,
                            &prevModeIndex, &prevLineIndex, &prevFillIndex, &prevShapesIndex};
    for (int i = 0; i < 8; ++i)
        *indices[i] = state.indices[i];
    if (state.highlighted)
        state.highlighted->setChecked(true);
    else if (QAction* on = state.group->checkedAction())
        on->setChecked(false);
}

void KVQ_imageEditor::watchButtonPresses() {
    for (QToolButton* button : findChildren<QToolButton*>()) {
        button->setFocusPolicy(Qt::NoFocus);
        QActionGroup* group =
            button->defaultAction() ? button->defaultAction()->actionGroup() : nullptr;
        if (group != lineGroup && group != shapesGroup)
            continue;
        connect(button, &QAbstractButton::pressed, this, [this, group] {
            pressedGroup = group;
            highlightBeforePress = group->checkedAction();
        });
        connect(button, &QAbstractButton::released, this, [this] { pressedGroup = nullptr; });
    }
}

void KVQ_imageEditor::showViewBar(KVQ_ToolBar* bar, int tool) {
    // Choosing a tool leaves the pan mode.
    appActions[0]->setChecked(false);
    for (KVQ_ToolBar* other :
         {lineToolBar, fillToolBar, shapesToolBar, eraserToolBar, textToolBar, selectToolBar})
        if (other != bar)
            other->hide();
    if (bar == lineToolBar) {
        setToolBar(bar);
        bar->show();
    } else {
        bar->show();
        appToolBar->show();
        setToolBar(bar);
    }
    if (document)
        document->setToolAttribute(AttrTool, tool);
    followEraserCursor();
    followTyping();
}

// Mode switches.

void KVQ_imageEditor::fViewPickerToolOne(bool on) {
    trackFocus(1, prevModeIndex, 5, modeIndex, 0);
    if (on)
        showViewBar(lineToolBar, ToolPencil);
}

void KVQ_imageEditor::fViewPickerToolTwo(bool on) {
    trackFocus(1, prevModeIndex, 0, modeIndex, 1);
    if (on)
        showViewBar(fillToolBar, ToolFill);
}

void KVQ_imageEditor::fViewPickerToolThree(bool on) {
    trackFocus(1, prevModeIndex, 1, modeIndex, 2);
    if (on)
        showViewBar(textToolBar, ToolText);
}

void KVQ_imageEditor::fViewPickerToolFour(bool on) {
    trackFocus(1, prevModeIndex, 2, modeIndex, 3);
    if (on)
        showViewBar(shapesToolBar, ToolShape);
}

void KVQ_imageEditor::fViewPickerToolFive(bool on) {
    trackFocus(1, prevModeIndex, 3, modeIndex, 4);
    if (on)
        showViewBar(eraserToolBar, ToolEraser);
}

void KVQ_imageEditor::fViewPickerToolSix(bool on) {
    trackFocus(1, prevModeIndex, 4, modeIndex, 5);
    if (on)
        showViewBar(selectToolBar, ToolSelect);
}

// The pencil and line tool bar.

void KVQ_imageEditor::sLineToolOne(bool) {
    const FocusState before = focusBefore(lineGroup);
    trackFocus(2, prevLineIndex, 5, lineIndex, 0);
    highlightLine(0);
    if (!runAttributePopup(lineActions[0], LineEndingPopup))
        restoreFocus(before);
}

void KVQ_imageEditor::sLineToolTwo(bool) {
    const FocusState before = focusBefore(lineGroup);
    trackFocus(2, prevLineIndex, 0, lineIndex, 1);
    highlightLine(1);
    if (!runAttributePopup(lineActions[1], PencilToolPopup))
        restoreFocus(before);
}

void KVQ_imageEditor::sLineToolThree(bool) {
    trackFocus(2, prevLineIndex, 1, lineIndex, 2);
    highlightLine(2);
    lineActions[2]->setIcon(QIcon(QPixmap(QStringLiteral("linemode.png"))));
}

void KVQ_imageEditor::sLineToolFour(bool) {
    const FocusState before = focusBefore(lineGroup);
    trackFocus(2, prevLineIndex, 2, lineIndex, 3);
    highlightLine(3);
    if (!runAttributePopup(lineActions[3], LineThicknessPopup))
        restoreFocus(before);
}

void KVQ_imageEditor::sLineToolFive(bool) {
    const FocusState before = focusBefore(lineGroup);
    trackFocus(2, prevLineIndex, 3, lineIndex, 4);
    highlightLine(4);
    if (!runAttributePopup(lineActions[4], LineStylePopup))
        restoreFocus(before);
}

void KVQ_imageEditor::sLineToolSix(bool) {
    trackFocus(2, prevLineIndex, 4, lineIndex, 5);
    highlightLine(5);
    pickLineColour();
}

// The fill tool bar: the colour holder shows the fill's colour, the picker chooses it.

void KVQ_imageEditor::tFillToolOne(bool) {
    trackFocus(2, prevFillIndex, 2, fillIndex, 0);
    highlightFill(0);
}

void KVQ_imageEditor::tFillToolTwo(bool) {
    trackFocus(2, prevFillIndex, 0, fillIndex, 1);
}

void KVQ_imageEditor::tFillToolThree(bool) {
    trackFocus(2, prevFillIndex, 1, fillIndex, 2);
    highlightFill(2);
    pickFloodColour();
}

// The shapes tool bar.

void KVQ_imageEditor::frShapesToolOne(bool) {
    const FocusState before = focusBefore(shapesGroup);
    trackFocus(2, prevShapesIndex, 8, shapesIndex, 0);
    highlightShape(0);
    if (!runAttributePopup(shapeActions[0], ShapePopup))
        restoreFocus(before);
}

void KVQ_imageEditor::frShapesToolTwo(bool) {
    trackFocus(2, prevShapesIndex, 0, shapesIndex, 1);
}

void KVQ_imageEditor::frShapesToolThree(bool) {
    trackFocus(2, prevShapesIndex, 0, shapesIndex, 2);
    highlightShape(2);
}

void KVQ_imageEditor::frShapesToolFour(bool) {
    trackFocus(2, prevShapesIndex, 2, shapesIndex, 3);
}

void KVQ_imageEditor::frShapesToolFive(bool) {
    const FocusState before = focusBefore(shapesGroup);
    trackFocus(2, prevShapesIndex, 2, shapesIndex, 4);
    highlightShape(4);
    if (!runAttributePopup(shapeActions[4], ShapeThicknessPopup))
        restoreFocus(before);
}

void KVQ_imageEditor::frShapesToolSix(bool) {
    trackFocus(2, prevShapesIndex, 4, shapesIndex, 5);
}

void KVQ_imageEditor::frShapesToolSeven(bool) {
    trackFocus(2, prevShapesIndex, 4, shapesIndex, 6);
    highlightShape(6);
    // Shapes are filled (black until a colour is chosen), or not filled.
    shapesFillBlack = !shapesFillBlack;
    applyShapeFill();
}

void KVQ_imageEditor::frShapesToolEight(bool) {
    trackFocus(2, prevShapesIndex, 6, shapesIndex, 7);
    qWarning("Shapes Tool 8 test ");
}

void KVQ_imageEditor::frShapesToolNine(bool) {
    trackFocus(2, prevShapesIndex, 6, shapesIndex, 8);
    highlightShape(8);
    pickShapeFill();
}

// Other slots.

void KVQ_imageEditor::pxIconAction() {
    menuBar->setVisible(pxIcon->isChecked());
}
