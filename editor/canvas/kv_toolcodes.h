// The tool codes of the drawing core, shared with the editor's tool-selection slots. Plain ints, as
// the editor passes them through setToolAttribute and setToolColor.
#ifndef KV_TOOLCODES_H
#define KV_TOOLCODES_H

// Attribute codes: first argument of setToolAttribute. Any other value resets the attributes.
constexpr int AttrTool = 0;
constexpr int AttrLineEnding = 1;
constexpr int AttrPencilTool = 2;
constexpr int AttrLineColorReset = 3;
constexpr int AttrLineThickness = 4;
constexpr int AttrLineStyle = 5;
constexpr int AttrShapeTool = 6;

// Tool codes.
constexpr int ToolPencil = 1;
constexpr int ToolShape = 2;
constexpr int ToolFill = 3;
constexpr int ToolEraser = 4;
constexpr int ToolText = 5;
constexpr int ToolSelect = 6;

// Pencil-tool codes. PencilArrowLine is chosen by the controller, never by the user.
constexpr int PencilFreeForm = 1;
constexpr int PencilLine = 2;
constexpr int PencilConnected = 3;
constexpr int PencilArrowLine = 4;

// Shape codes.
constexpr int ShapeSquare = 1;
constexpr int ShapeCircle = 2;
constexpr int ShapeRoundedSquare = 3;

// Line-ending codes: left end, then right end ("left" is the end with the smaller x).
constexpr int EndingNone = 1;
constexpr int EndingArrowArrow = 2;
constexpr int EndingCircleCircle = 3;
constexpr int EndingArrowNone = 4;
constexpr int EndingNoneArrow = 5;
constexpr int EndingCircleNone = 6;
constexpr int EndingNoneCircle = 7;

// Thickness codes (1, 3 and 5 pixels).
constexpr int ThicknessThin = 1;
constexpr int ThicknessMedium = 2;
constexpr int ThicknessThick = 3;

// Style codes.
constexpr int StyleSolid = 1;
constexpr int StyleDashed = 2;
constexpr int StyleDotted = 3;

// Colour codes: first argument of setToolColor. ColorFill is the shapes' fill, white meaning
// no fill; ColorShapeFill sets it too, with white a colour like any other. ColorFlood is the
// flood fill's colour.
constexpr int ColorLine = 1;
constexpr int ColorFill = 2;
constexpr int ColorFlood = 3;
constexpr int ColorShapeFill = 4;

// Eraser sizes: the side of its square tip in pixels.
constexpr int EraserSizeMin = 1;
constexpr int EraserSizeMax = 64;
constexpr int EraserSizeDefault = 8;

#endif
