// The mode switches and the buttons of the view tool bars: which tool and tool bar are current,
// the attribute popups, the highlights and the keyboard bookkeeping of pen use.
#include "kvq_imageeditor.h"

#include "kv_toolcodes.h"
#include "kvq_imagedocument.h"
#include "kvq_menubar.h"
#include "kvq_messagebox.h"
#include "kvq_popupmenu.h"
#include "kvq_toolbar.h"

#include <QAction>
#include <QColor>

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

int KVQ_imageEditor::runAttributePopup(QAction* button, const AttributePopup& values) {
    int id = -1;
    {
        // Built for this use and gone with it.
        std::unique_ptr<KVQ_PopupMenu> menu(new KVQ_PopupMenu(this, nullptr));
        for (int i = 0; i < values.count; ++i)
            menu->insertItem(QPixmap(QLatin1String(values.entries[i].icon)), values.entries[i].id);
        menu->move(x() + values.dx, y() + height() - values.dy);
        id = menu->exec();
    }
    grabKeyboard();
    if (document)
        document->setToolAttribute(values.attribute, id);
    for (int i = 0; i < values.count; ++i)
        if (values.entries[i].id == id) {
            button->setIcon(QIcon(QPixmap(QLatin1String(values.entries[i].icon))));
            break;
        }
    return id;
}

bool KVQ_imageEditor::isPopupEntry(const AttributePopup& values, int id) {
    for (int i = 0; i < values.count; ++i)
        if (values.entries[i].id == id)
            return true;
    return false;
}

void KVQ_imageEditor::notImplemented() {
    KVQ_MessageBox::information(this, QStringLiteral("Image Editor"),
                                QStringLiteral("Not Implemented"), QString(), QString(), QString(),
                                0, -1);
}

void KVQ_imageEditor::showViewBar(KVQ_ToolBar* bar, int tool) {
    for (KVQ_ToolBar* other : {lineToolBar, fillToolBar, shapesToolBar})
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
}

void KVQ_imageEditor::placeholderMode(bool on, int prevMode, int mode) {
    releaseKeyboard();
    trackFocus(1, prevModeIndex, prevMode, modeIndex, mode);
    if (on)
        notImplemented();
    grabKeyboard();
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
    placeholderMode(on, 1, 2);
}

void KVQ_imageEditor::fViewPickerToolFour(bool on) {
    trackFocus(1, prevModeIndex, 2, modeIndex, 3);
    if (on)
        showViewBar(shapesToolBar, ToolShape);
}

void KVQ_imageEditor::fViewPickerToolFive(bool on) {
    placeholderMode(on, 3, 4);
}

void KVQ_imageEditor::fViewPickerToolSix(bool on) {
    placeholderMode(on, 4, 5);
}

// The pencil and line tool bar.

void KVQ_imageEditor::sLineToolOne(bool) {
    trackFocus(2, prevLineIndex, 5, lineIndex, 0);
    releaseKeyboard();
    highlightLine(0);
    runAttributePopup(lineActions[0], LineEndingPopup);
}

void KVQ_imageEditor::sLineToolTwo(bool) {
    trackFocus(2, prevLineIndex, 0, lineIndex, 1);
    releaseKeyboard();
    highlightLine(1);
    const int id = runAttributePopup(lineActions[1], PencilToolPopup);
    if (!isPopupEntry(PencilToolPopup, id) && document)
        document->setToolAttribute(AttrPencilTool, PencilFreeForm);
}

void KVQ_imageEditor::sLineToolThree(bool) {
    trackFocus(2, prevLineIndex, 1, lineIndex, 2);
    highlightLine(2);
    lineActions[2]->setIcon(QIcon(QPixmap(QStringLiteral("linemode.png"))));
}

void KVQ_imageEditor::sLineToolFour(bool) {
    trackFocus(2, prevLineIndex, 2, lineIndex, 3);
    releaseKeyboard();
    highlightLine(3);
    runAttributePopup(lineActions[3], LineThicknessPopup);
}

void KVQ_imageEditor::sLineToolFive(bool) {
    trackFocus(2, prevLineIndex, 3, lineIndex, 4);
    releaseKeyboard();
    highlightLine(4);
    runAttributePopup(lineActions[4], LineStylePopup);
}

void KVQ_imageEditor::sLineToolSix(bool) {
    trackFocus(2, prevLineIndex, 4, lineIndex, 5);
    highlightLine(5);
    notImplemented();
}

// The fill tool bar: no button changes the tool's attributes.

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
    notImplemented();
}

// The shapes tool bar.

void KVQ_imageEditor::frShapesToolOne(bool) {
    trackFocus(2, prevShapesIndex, 8, shapesIndex, 0);
    releaseKeyboard();
    highlightShape(0);
    const int id = runAttributePopup(shapeActions[0], ShapePopup);
    if (!isPopupEntry(ShapePopup, id) && document)
        document->setToolAttribute(AttrShapeTool, ShapeSquare);
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
    trackFocus(2, prevShapesIndex, 2, shapesIndex, 4);
    releaseKeyboard();
    highlightShape(4);
    runAttributePopup(shapeActions[4], ShapeThicknessPopup);
}

void KVQ_imageEditor::frShapesToolSix(bool) {
    trackFocus(2, prevShapesIndex, 4, shapesIndex, 5);
}

void KVQ_imageEditor::frShapesToolSeven(bool) {
    trackFocus(2, prevShapesIndex, 4, shapesIndex, 6);
    highlightShape(6);
    // Shapes are filled black, or not filled (white stands for no fill).
    shapesFillBlack = !shapesFillBlack;
    if (document)
        document->setToolColor(ColorFill, shapesFillBlack ? QColor(Qt::black) : QColor(Qt::white));
}

void KVQ_imageEditor::frShapesToolEight(bool) {
    trackFocus(2, prevShapesIndex, 6, shapesIndex, 7);
    qWarning("Shapes Tool 8 test ");
}

void KVQ_imageEditor::frShapesToolNine(bool) {
    trackFocus(2, prevShapesIndex, 6, shapesIndex, 8);
    highlightShape(8);
    notImplemented();
}

// Other slots.

void KVQ_imageEditor::pxIconAction() {
    if (pxIcon->isChecked()) {
        releaseKeyboard();
        menuBar->show();
    } else {
        menuBar->hide();
        grabKeyboard();
    }
}

void KVQ_imageEditor::apToolBar(bool) {
    notImplemented();
}
