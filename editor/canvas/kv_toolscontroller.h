// KV_ToolsController: the current tool and its attributes; hands the document's pen events to
// the current tool (a KV_Tool chosen by its tool code); the one place where drawing pens and
// brushes are made.
#ifndef KV_TOOLSCONTROLLER_H
#define KV_TOOLSCONTROLLER_H

#include "kv_toolcodes.h"

#include <QBrush>
#include <QColor>
#include <QPen>

#include <memory>
#include <utility>
#include <vector>

class KVQ_ImageDocument;
class KV_PencilModel;
class KV_ShapeModel;
class KV_FillModel;
class KV_EraserModel;
class KV_TextModel;
class KV_SelectionModel;
class KV_Tool;
class QMouseEvent;
class QPainter;

class KV_ToolsController {
public:
    explicit KV_ToolsController(KVQ_ImageDocument* document);
    ~KV_ToolsController();
    KV_ToolsController(const KV_ToolsController&) = delete;
    KV_ToolsController& operator=(const KV_ToolsController&) = delete;

    void init();

    void setControlKey(bool pressed, int key);
    void setToolAttribute(int attribute, int value);
    void setToolColor(int which, QColor color);

    void mousePress(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);
    void draw(QMouseEvent* e);

    int activeTool() const { return tool; }
    int activePencilTool() const { return pencilTool; }
    int activeShapeTool() const { return shapeTool; }
    int activeLineEnding() const { return lineEnding; }
    int activeLineStyle() const { return lineStyle; }
    int activeLineThickness() const { return lineThickness; }
    QColor activeLineColor() const { return lineColor; }
    QColor activeFillColor() const { return fillColor; }
    // Whether shapes are filled (with activeFillColor).
    bool shapesFilled() const { return !noFill; }
    QColor activeFloodColor() const { return floodColor; }
    // The side of the eraser's square tip in pixels; a size outside EraserSizeMin to
    // EraserSizeMax changes nothing.
    int activeEraserSize() const { return eraserSize; }
    void setEraserSize(int size);

    QPen currentPen() const;
    QBrush currentBrush() const;

    // Cancels every tool (whatever is half made is abandoned) and finishes the change that was
    // under way, so that what is already on the picture becomes one step of the history.
    void resetFlags();
    // Asks every tool to put on the picture what it holds over it (see KV_Tool::settle).
    void settleTools();
    // Asks every tool to forget what it holds over the picture (see KV_Tool::abandon).
    void abandonTools();

    // Adds a tool for a tool code; the controller owns it. A code already taken keeps its tool.
    bool addTool(int code, std::unique_ptr<KV_Tool> tool);
    // The tool of a code, or null when the code has none.
    KV_Tool* toolFor(int code) const;
    // The tool that gets the pen events: the one of the active tool code, or null.
    KV_Tool* currentTool() const { return current; }

    // The document the models draw on.
    KVQ_ImageDocument* document() const { return doc; }
    KV_PencilModel* pencilModel() const { return pencil; }
    KV_ShapeModel* shapeModel() const { return shape; }
    KV_FillModel* fillModel() const { return fill; }
    KV_EraserModel* eraserModel() const { return eraser; }
    KV_TextModel* textModel() const { return text; }
    KV_SelectionModel* selectionModel() const { return selection; }

    // Gives a pen a width and the caps and joins that make Qt 6 cover what Qt 2 covered: a
    // one-pixel line includes both end points (Qt 2's thin lines did; Qt 6 needs square caps for
    // that), a wider line ends flat at its end points (Qt 2's flat caps) and meets in miter
    // joins; a point drawn with any of them covers the pen's width (Qt 6 draws points of
    // flat-capped pens as squares). Every pen of the tools gets its width through here.
    static void setPenWidth(QPen& pen, int width);
    // A point of the painter's pen: one pixel for a thin pen, else the pen's width square
    // centred on it (Qt 6's own wide points can come out one pixel too wide).
    static void drawPoint(QPainter* painter, QPoint p);

    // Control key held: read by the shape model (squares and circles). Each pen event sets it
    // from the modifiers it carries, so a release of Control that went to another window is
    // not remembered; setControlKey keeps it in step between pen events.
    bool controlKey = false;

private:
    void followControl(const QMouseEvent* e);
    void chooseTool(int code);

    int tool = ToolPencil;
    int pencilTool = PencilFreeForm;
    int shapeTool = ShapeSquare;
    int lineEnding = EndingNone;
    int lineThickness = ThicknessThin;
    int lineStyle = StyleSolid;
    QColor lineColor = QColor(Qt::black);
    QColor fillColor = QColor::fromRgb(0xffffffffu);
    bool noFill = true;
    QColor floodColor = QColor(Qt::black);
    int eraserSize = EraserSizeDefault;
    KV_PencilModel* pencil = nullptr;
    KV_ShapeModel* shape = nullptr;
    KV_FillModel* fill = nullptr;
    KV_EraserModel* eraser = nullptr;
    KV_TextModel* text = nullptr;
    KV_SelectionModel* selection = nullptr;
    // Every tool with its code, in the order added; owned.
    std::vector<std::pair<int, KV_Tool*>> registry;
    KV_Tool* current = nullptr;
    KVQ_ImageDocument* doc = nullptr;
};

#endif
