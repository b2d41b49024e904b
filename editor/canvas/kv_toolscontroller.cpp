#include "kv_toolscontroller.h"

#include "kv_erasermodel.h"
#include "kv_fillmodel.h"
#include "kv_pencilmodel.h"
#include "kv_selectionmodel.h"
#include "kv_shapesmodel.h"
#include "kv_textmodel.h"
#include "kvq_imagedocument.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtGlobal>

KV_ToolsController::KV_ToolsController(KVQ_ImageDocument* document) : doc(document) {
    Q_ASSERT(document);
    init();
}

KV_ToolsController::~KV_ToolsController() {
    current = nullptr;
    pencil = nullptr;
    shape = nullptr;
    fill = nullptr;
    eraser = nullptr;
    text = nullptr;
    selection = nullptr;
    // In the order added: the pencil, the shape and the fill model first.
    for (auto& entry : registry)
        delete entry.second;
    registry.clear();
}

void KV_ToolsController::init() {
    // Once: the constructor calls it.
    if (!registry.empty())
        return;
    pencil = new KV_PencilModel(this);
    addTool(ToolPencil, std::unique_ptr<KV_Tool>(pencil));
    shape = new KV_ShapeModel(this);
    addTool(ToolShape, std::unique_ptr<KV_Tool>(shape));
    fill = new KV_FillModel(this);
    addTool(ToolFill, std::unique_ptr<KV_Tool>(fill));
    eraser = new KV_EraserModel(this);
    addTool(ToolEraser, std::unique_ptr<KV_Tool>(eraser));
    text = new KV_TextModel(this);
    addTool(ToolText, std::unique_ptr<KV_Tool>(text));
    selection = new KV_SelectionModel(this);
    addTool(ToolSelect, std::unique_ptr<KV_Tool>(selection));
    controlKey = false;
    chooseTool(tool);
}

bool KV_ToolsController::addTool(int code, std::unique_ptr<KV_Tool> t) {
    if (!t || toolFor(code))
        return false;
    registry.emplace_back(code, t.release());
    if (code == tool)
        chooseTool(code);
    return true;
}

KV_Tool* KV_ToolsController::toolFor(int code) const {
    for (const auto& entry : registry)
        if (entry.first == code)
            return entry.second;
    return nullptr;
}

void KV_ToolsController::chooseTool(int code) {
    current = toolFor(code);
}

void KV_ToolsController::setControlKey(bool pressed, int key) {
    if (key == Qt::Key_Control)
        controlKey = pressed;
}

void KV_ToolsController::setToolAttribute(int attribute, int value) {
    switch (attribute) {
    case AttrTool:
        resetFlags();
        tool = value;
        chooseTool(value);
        break;
    case AttrLineEnding:
        resetFlags();
        lineEnding = value;
        if (pencilTool == PencilArrowLine)
            pencilTool = PencilLine;
        break;
    case AttrPencilTool:
        resetFlags();
        pencilTool = value;
        break;
    case AttrLineColorReset:
        lineColor = QColor(Qt::black);
        break;
    case AttrLineThickness:
        if (value >= ThicknessThin && value <= ThicknessThick)
            lineThickness = value;
        break;
    case AttrLineStyle:
        if (value >= StyleSolid && value <= StyleDotted)
            lineStyle = value;
        break;
    case AttrShapeTool:
        resetFlags();
        shapeTool = value;
        break;
    default:
        resetFlags();
        shapeTool = ShapeSquare;
        lineEnding = EndingNone;
        lineThickness = ThicknessThin;
        lineStyle = StyleSolid;
        lineColor = QColor(Qt::black);
        fillColor = QColor(Qt::black);
        noFill = false;
        floodColor = QColor(Qt::black);
        break;
    }
    if (lineEnding == EndingArrowArrow || lineEnding == EndingArrowNone ||
        lineEnding == EndingNoneArrow) {
        resetFlags();
        if (pencilTool == PencilLine)
            pencilTool = PencilArrowLine;
    }
}

void KV_ToolsController::setToolColor(int which, QColor color) {
    if (!color.isValid()) {
        qWarning("Invalid Color passed");
        return;
    }
    switch (which) {
    case ColorLine:
        lineColor = color;
        break;
    case ColorFill:
        fillColor = color;
        // Qt 2's QColor equality: validity and the RGB value.
        noFill = (color.rgb() & 0xffffffu) == 0xffffffu;
        break;
    case ColorFlood:
        // A flood fill paints opaque pixels: a region half transparent would hide the fill's
        // edge.
        floodColor = color;
        floodColor.setAlpha(255);
        break;
    case ColorShapeFill:
        fillColor = color;
        noFill = false;
        break;
    default:
        break;
    }
}

void KV_ToolsController::setEraserSize(int size) {
    if (size >= EraserSizeMin && size <= EraserSizeMax)
        eraserSize = size;
}

void KV_ToolsController::followControl(const QMouseEvent* e) {
    controlKey = e->modifiers().testFlag(Qt::ControlModifier);
}

void KV_ToolsController::mousePress(QMouseEvent* e) {
    followControl(e);
    if (current)
        current->press(e);
}

void KV_ToolsController::mouseRelease(QMouseEvent* e) {
    followControl(e);
    if (current)
        current->release(e);
}

void KV_ToolsController::draw(QMouseEvent* e) {
    followControl(e);
    if (current)
        current->move(e);
}

void KV_ToolsController::setPenWidth(QPen& pen, int width) {
    pen.setWidth(width);
    pen.setCapStyle(width <= 1 ? Qt::SquareCap : Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
}

void KV_ToolsController::drawPoint(QPainter* painter, QPoint p) {
    const QPen pen = painter->pen();
    const int w = pen.width();
    if (w <= 1 || pen.style() == Qt::NoPen) {
        painter->drawPoint(p);
        return;
    }
    painter->fillRect(QRect(p.x() - w / 2, p.y() - w / 2, w, w), pen.brush());
}

QPen KV_ToolsController::currentPen() const {
    QPen pen;
    switch (lineStyle) {
    case StyleDashed:
        pen.setStyle(Qt::DashLine);
        break;
    case StyleDotted:
        pen.setStyle(Qt::DotLine);
        break;
    default:
        pen.setStyle(Qt::SolidLine);
        break;
    }
    if (tool == ToolShape)
        pen.setStyle(Qt::SolidLine);
    pen.setColor(lineColor);
    int width = 1;
    if (lineThickness == ThicknessMedium)
        width = 3;
    else if (lineThickness == ThicknessThick)
        width = 5;
    setPenWidth(pen, width);
    return pen;
}

QBrush KV_ToolsController::currentBrush() const {
    if (noFill)
        return QBrush(Qt::NoBrush);
    return QBrush(fillColor, Qt::SolidPattern);
}

void KV_ToolsController::settleTools() {
    for (const auto& entry : registry)
        entry.second->settle();
}

void KV_ToolsController::abandonTools() {
    for (const auto& entry : registry)
        entry.second->abandon();
}

void KV_ToolsController::resetFlags() {
    for (const auto& entry : registry)
        entry.second->cancel();
    if (doc)
        doc->finishChange();
}
