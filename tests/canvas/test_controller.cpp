// The tools controller; and what a stroke covers at widths 1, 3 and 5.
#include "canvas_fixture.h"
#include "kv_tool.h"

#include <memory>

class Controller : public CanvasTest {};

TEST_F(Controller, FreshControllerGivesSolidBlackThinPenAndNoBrush) {
    KV_ToolsController* c = tools();
    EXPECT_EQ(c->activeTool(), ToolPencil);
    EXPECT_EQ(c->activePencilTool(), PencilFreeForm);
    EXPECT_EQ(c->activeShapeTool(), ShapeSquare);
    EXPECT_EQ(c->activeLineEnding(), EndingNone);
    EXPECT_EQ(c->activeLineThickness(), ThicknessThin);
    EXPECT_EQ(c->activeLineStyle(), StyleSolid);
    EXPECT_FALSE(c->controlKey);
    EXPECT_EQ(c->activeLineColor(), QColor(Qt::black));
    EXPECT_EQ(c->activeFillColor(), QColor(Qt::white));
    const QPen pen = c->currentPen();
    EXPECT_EQ(pen.style(), Qt::SolidLine);
    EXPECT_EQ(pen.width(), 1);
    EXPECT_EQ(pen.color(), QColor(Qt::black));
    EXPECT_EQ(c->currentBrush().style(), Qt::NoBrush);
}

TEST_F(Controller, FillColourBlackGivesSolidBrushWhiteGivesNone) {
    KV_ToolsController* c = tools();
    c->setToolColor(ColorFill, Qt::black);
    EXPECT_EQ(c->currentBrush().style(), Qt::SolidPattern);
    EXPECT_EQ(c->currentBrush().color(), QColor(Qt::black));
    c->setToolColor(ColorFill, Qt::white);
    EXPECT_EQ(c->currentBrush().style(), Qt::NoBrush);
}

TEST_F(Controller, InvalidColourAndUnknownColourCodeChangeNothing) {
    KV_ToolsController* c = tools();
    c->setToolColor(ColorLine, QColor());
    EXPECT_EQ(c->activeLineColor(), QColor(Qt::black));
    c->setToolColor(9, Qt::red);
    EXPECT_EQ(c->activeLineColor(), QColor(Qt::black));
    EXPECT_EQ(c->activeFillColor(), QColor(Qt::white));
    c->setToolColor(ColorLine, Qt::red);
    EXPECT_EQ(c->currentPen().color(), QColor(Qt::red));
    c->setToolAttribute(AttrLineColorReset, 0);
    EXPECT_EQ(c->activeLineColor(), QColor(Qt::black));
}

TEST_F(Controller, OutOfRangeThicknessAndStyleAreIgnored) {
    KV_ToolsController* c = tools();
    c->setToolAttribute(AttrLineThickness, 4);
    c->setToolAttribute(AttrLineStyle, 0);
    c->setToolAttribute(AttrLineThickness, -1);
    EXPECT_EQ(c->activeLineThickness(), ThicknessThin);
    EXPECT_EQ(c->activeLineStyle(), StyleSolid);
    c->setToolAttribute(AttrLineThickness, ThicknessMedium);
    EXPECT_EQ(c->currentPen().width(), 3);
    c->setToolAttribute(AttrLineThickness, ThicknessThick);
    EXPECT_EQ(c->currentPen().width(), 5);
}

TEST_F(Controller, ShapeToolPenIsAlwaysSolid) {
    KV_ToolsController* c = tools();
    c->setToolAttribute(AttrLineStyle, StyleDotted);
    EXPECT_EQ(c->currentPen().style(), Qt::DotLine);
    c->setToolAttribute(AttrTool, ToolShape);
    EXPECT_EQ(c->currentPen().style(), Qt::SolidLine);
    c->setToolAttribute(AttrTool, ToolPencil);
    c->setToolAttribute(AttrLineStyle, StyleDashed);
    EXPECT_EQ(c->currentPen().style(), Qt::DashLine);
}

TEST_F(Controller, ArrowEndingTurnsStraightLineIntoArrowLineAndBack) {
    KV_ToolsController* c = tools();
    c->setToolAttribute(AttrPencilTool, PencilLine);
    c->setToolAttribute(AttrLineEnding, EndingNoneArrow);
    EXPECT_EQ(c->activePencilTool(), PencilArrowLine);
    c->setToolAttribute(AttrLineEnding, EndingCircleCircle);
    EXPECT_EQ(c->activePencilTool(), PencilLine);
    c->setToolAttribute(AttrLineEnding, EndingArrowNone);
    c->setToolAttribute(AttrLineEnding, EndingArrowArrow);
    EXPECT_EQ(c->activePencilTool(), PencilArrowLine);
}

TEST_F(Controller, ArrowEndingFirstThenStraightLine) {
    KV_ToolsController* c = tools();
    c->setToolAttribute(AttrLineEnding, EndingArrowArrow);
    EXPECT_EQ(c->activePencilTool(), PencilFreeForm); // free-form keeps its code
    c->setToolAttribute(AttrPencilTool, PencilLine);
    EXPECT_EQ(c->activePencilTool(), PencilArrowLine);
    c->setToolAttribute(AttrPencilTool, PencilConnected);
    EXPECT_EQ(c->activePencilTool(), PencilConnected);
}

TEST_F(Controller, UnknownAttributeResetsAllButToolAndPencilTool) {
    for (int attribute : {7, -1}) {
        KV_ToolsController* c = tools();
        c->setToolAttribute(AttrTool, ToolShape);
        c->setToolAttribute(AttrPencilTool, PencilConnected);
        c->setToolAttribute(AttrShapeTool, ShapeCircle);
        c->setToolAttribute(AttrLineEnding, EndingCircleNone);
        c->setToolAttribute(AttrLineThickness, ThicknessThick);
        c->setToolAttribute(AttrLineStyle, StyleDotted);
        c->setToolColor(ColorLine, Qt::red);
        c->setToolColor(ColorFill, Qt::white);
        c->setToolAttribute(attribute, 42);
        EXPECT_EQ(c->activeTool(), ToolShape);
        EXPECT_EQ(c->activePencilTool(), PencilConnected);
        EXPECT_EQ(c->activeShapeTool(), 1);
        EXPECT_EQ(c->activeLineEnding(), 1);
        EXPECT_EQ(c->activeLineThickness(), 1);
        EXPECT_EQ(c->activeLineStyle(), 1);
        EXPECT_EQ(c->activeLineColor(), QColor(Qt::black));
        EXPECT_EQ(c->activeFillColor(), QColor(Qt::black));
        EXPECT_EQ(c->currentBrush().style(), Qt::SolidPattern); // shapes are now filled black
    }
}

TEST_F(Controller, ControlFlagFollowsOnlyTheControlKey) {
    KV_ToolsController* c = tools();
    c->setControlKey(true, Qt::Key_Shift);
    EXPECT_FALSE(c->controlKey);
    c->setControlKey(true, Qt::Key_Control);
    EXPECT_TRUE(c->controlKey);
    c->setControlKey(false, Qt::Key_Shift);
    EXPECT_TRUE(c->controlKey);
    c->setControlKey(false, Qt::Key_Control); // Qt 2's 4129 is Qt 6's 0x01000021
    EXPECT_FALSE(c->controlKey);
}

TEST_F(Controller, DismissedEndingPopupStoresMinusOne) {
    KV_ToolsController* c = tools();
    c->setToolAttribute(AttrPencilTool, PencilLine);
    c->setToolAttribute(AttrLineEnding, EndingArrowArrow);
    ASSERT_EQ(c->activePencilTool(), PencilArrowLine);
    c->setToolAttribute(AttrLineEnding, -1);
    EXPECT_EQ(c->activeLineEnding(), -1);
    EXPECT_EQ(c->activePencilTool(), PencilLine);
    // A straight line then gets no endings at all.
    drag({100, 100}, {200, 100});
    const QImage im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(100, 100, 101, 1));
}

TEST_F(Controller, ToolOutsideOneToThreeIgnoresThePen) {
    useTool(7);
    drag({10, 10}, {100, 100});
    click({50, 50});
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_TRUE(doc->saved());
}

// What a stroke covers at widths 1, 3 and 5: a tap covers the pen's width in both directions, a
// horizontal straight line covers the width across and ends flat at its end points (one-pixel
// lines include the end point, as Qt 2's did), and nothing is anti-aliased.
struct Coverage {
    int thickness;
    int width;
};

class StrokeCoverage : public CanvasTest, public ::testing::WithParamInterface<Coverage> {};

TEST_P(StrokeCoverage, TapAndLineCoverThePenWidth) {
    const Coverage cov = GetParam();
    doc->setToolAttribute(AttrLineThickness, cov.thickness);
    const int half = cov.width / 2;

    usePencil(PencilFreeForm);
    click({50, 50});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(50 - half, 50 - half, cov.width, cov.width));
    EXPECT_EQ(countNonWhite(picture()), cov.width * cov.width);

    doc->newImage();
    usePencil(PencilLine);
    drag({100, 100}, {140, 100});
    const QImage im = picture();
    EXPECT_TRUE(onlyBlackAndWhite(im));
    const int length = cov.width == 1 ? 41 : 40;
    EXPECT_EQ(nonWhiteBox(im), QRect(100, 100 - half, length, cov.width));
    EXPECT_EQ(countNonWhite(im), length * cov.width);

    doc->newImage();
    drag({100, 100}, {100, 140});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(100 - half, 100, cov.width, length));
}

INSTANTIATE_TEST_SUITE_P(Widths, StrokeCoverage,
                         ::testing::Values(Coverage{ThicknessThin, 1}, Coverage{ThicknessMedium, 3},
                                           Coverage{ThicknessThick, 5}));

namespace {

// A tool that only counts what it is given.
class CountingTool : public KV_Tool {
public:
    void press(QMouseEvent*) override { ++presses; }
    void move(QMouseEvent*) override { ++moves; }
    void release(QMouseEvent*) override { ++releases; }
    void cancel() override { ++cancels; }
    int presses = 0;
    int moves = 0;
    int releases = 0;
    int cancels = 0;
};

} // namespace

TEST_F(Controller, PenEventsGoToTheToolOfTheActiveCode) {
    KV_ToolsController* c = tools();
    auto owned = std::make_unique<CountingTool>();
    CountingTool* counting = owned.get();
    ASSERT_TRUE(c->addTool(9, std::move(owned)));
    EXPECT_FALSE(c->addTool(ToolFill, std::make_unique<CountingTool>())); // taken
    EXPECT_EQ(c->toolFor(ToolFill), static_cast<KV_Tool*>(c->fillModel()));
    EXPECT_EQ(c->currentTool(), static_cast<KV_Tool*>(c->pencilModel()));

    useTool(9);
    EXPECT_EQ(c->currentTool(), counting);
    const int cancelled = counting->cancels; // choosing a tool cancels every tool
    EXPECT_GE(cancelled, 1);
    drag({10, 10}, {60, 40}, 3);
    EXPECT_EQ(counting->presses, 1);
    EXPECT_EQ(counting->moves, 3);
    EXPECT_EQ(counting->releases, 1);
    EXPECT_EQ(countNonWhite(picture()), 0); // no other tool drew

    c->resetFlags();
    EXPECT_EQ(counting->cancels, cancelled + 1);
    // A code without a tool: pen events reach nobody.
    useTool(42);
    EXPECT_EQ(c->currentTool(), nullptr);
    drag({10, 10}, {60, 40});
    EXPECT_EQ(counting->presses, 1);
    EXPECT_EQ(countNonWhite(picture()), 0);
}
