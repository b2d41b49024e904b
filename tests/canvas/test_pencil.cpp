// The pencil and line model, driven with the pen through the document's viewport.
#include "canvas_fixture.h"

class Pencil : public CanvasTest {};

TEST_F(Pencil, FreeHandTapDrawsOnePointAndNoEndings) {
    usePencil(PencilFreeForm);
    doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
    click({50, 50});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(50, 50, 1, 1));
    EXPECT_FALSE(doc->saved());
}

TEST_F(Pencil, FreeHandStrokeFollowsThePen) {
    usePencil(PencilFreeForm);
    press({10, 100});
    for (int x = 10; x <= 200; x += 10)
        move({x, 100 + (x % 20 == 0 ? 5 : 0)});
    release({200, 100});
    const QImage im = picture();
    EXPECT_TRUE(onlyBlackAndWhite(im));
    EXPECT_EQ(im.pixel(10, 100), Black);
    EXPECT_EQ(im.pixel(200, 100), Black);
    EXPECT_EQ(nonWhiteBox(im), QRect(10, 100, 191, 6));
    // The press position is not part of the stroke: drawing starts at the first move.
    doc->newImage();
    press({10, 10});
    move({40, 10});
    move({60, 10});
    release({60, 10});
    EXPECT_TRUE(white(10, 10));
    EXPECT_TRUE(black(40, 10));
    EXPECT_TRUE(black(50, 10));
}

TEST_F(Pencil, DashedThinFreeHandShortMovesLeaveIsolatedPoints) {
    usePencil(PencilFreeForm);
    doc->setToolAttribute(AttrLineStyle, StyleDashed);
    press({10, 50});
    for (int x = 10; x <= 100; x += 5) // every move 5 pixels: shorter than 6
        move({x, 50});
    release({100, 50});
    QImage im = picture();
    for (int x = 10; x <= 100; ++x)
        EXPECT_EQ(im.pixel(x, 50) == Black, x % 5 == 0) << x;

    doc->newImage();
    press({10, 50});
    for (int x = 10; x <= 130; x += 6) // 6 pixels: the segments appear
        move({x, 50});
    release({130, 50});
    im = picture();
    int black = 0;
    for (int x = 10; x <= 130; ++x)
        black += im.pixel(x, 50) == Black;
    EXPECT_GT(black, 2 * (130 - 10) / 6 + 10);
}

TEST_F(Pencil, FreeHandEndingsOnlyWhenReleasedAwayFromTheStart) {
    usePencil(PencilFreeForm);
    doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
    // Out and back to the first move position: no endings.
    press({100, 100});
    move({100, 100});
    move({130, 100});
    move({150, 100});
    move({100, 100});
    release({100, 100});
    EXPECT_TRUE(white(96, 100));
    EXPECT_EQ(nonWhiteBox(picture()), QRect(100, 100, 51, 1));

    // Released elsewhere: a dot (rings of radius 1 to 4) at both ends.
    doc->newImage();
    press({100, 100});
    move({100, 100});
    move({130, 100});
    move({150, 100});
    release({150, 100});
    EXPECT_TRUE(black(96, 100));
    EXPECT_TRUE(black(153, 100));
    EXPECT_EQ(nonWhiteBox(picture()), QRect(96, 96, 58, 8));
}

TEST_F(Pencil, FreeHandWithOneMoveUsesTheReleasePositionForDirection) {
    usePencil(PencilFreeForm);
    doc->setToolAttribute(AttrLineEnding, EndingArrowArrow);
    press({100, 100});
    move({100, 100});
    release({200, 100});
    // The point at the release and arrow heads at both ends; no line (one move only).
    EXPECT_TRUE(black(100, 100));
    EXPECT_TRUE(black(200, 100));
    EXPECT_TRUE(black(112, 104)); // the head at the first point points away from the release
    EXPECT_TRUE(black(188, 96));  // the head at the end points along first -> end
    EXPECT_TRUE(white(150, 100));
}

TEST_F(Pencil, StraightLineByDragGetsDotsAtBothEnds) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
    press({50, 50});
    move({80, 60});
    // While dragging only the preview shows the line.
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_EQ(shown().pixel(80, 60), Black);
    move({150, 50});
    release({150, 50});
    const QImage im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(46, 46, 108, 8));
    EXPECT_EQ(im.pixel(100, 50), Black);
    EXPECT_EQ(im.pixel(46, 50), Black);
    EXPECT_EQ(im.pixel(153, 50), Black);
    EXPECT_EQ(im.pixel(100, 51), White);
}

TEST_F(Pencil, StraightLineByTwoClicksLeavesAPointAtTheStart) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
    click({50, 50});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(50, 50, 1, 1)); // zero-length segment, no endings
    press({150, 80});
    EXPECT_EQ(countNonWhite(picture()), 1);
    EXPECT_EQ(shown().pixel(100, 65), Black); // the press previews the line from the start
    release({150, 80});
    const QImage im = picture();
    EXPECT_EQ(im.pixel(100, 65), Black);
    EXPECT_EQ(im.pixel(46, 50), Black);  // dot at the fixed start
    EXPECT_EQ(im.pixel(153, 80), Black); // dot at the end
}

TEST_F(Pencil, DashedThickStraightLineIsSevenParallelThinLines) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineThickness, ThicknessThick);
    doc->setToolAttribute(AttrLineStyle, StyleDashed);
    drag({100, 100}, {100, 200});
    const QImage im = picture();
    EXPECT_TRUE(onlyBlackAndWhite(im));
    // Vertical: offsets of 1, 2 and 3 pixels on both sides, dashed.
    for (int x = 97; x <= 103; ++x) {
        int n = 0;
        for (int y = 100; y <= 200; ++y)
            n += im.pixel(x, y) == Black;
        EXPECT_GT(n, 40) << x;
        EXPECT_LT(n, 90) << x;
    }
    EXPECT_EQ(nonWhiteBox(im).left(), 97);
    EXPECT_EQ(nonWhiteBox(im).right(), 103);
}

TEST_F(Pencil, ConnectedLinesFinishWithinFivePixels) {
    usePencil(PencilConnected);
    drag({20, 20}, {100, 20});
    EXPECT_TRUE(black(60, 20));
    // The marker at the vertex shows on the preview only.
    EXPECT_EQ(shown().pixel(100, 15), Black);
    EXPECT_TRUE(white(100, 15));
    drag({100, 20}, {100, 100});
    EXPECT_TRUE(black(100, 60));
    // Exactly 5 pixels away adds a segment.
    click({105, 100});
    EXPECT_TRUE(black(103, 100));
    EXPECT_TRUE(tools()->pencilModel()->hasPreviousVertex());
    // 4 pixels right of the last vertex finishes the chain.
    click({109, 100});
    EXPECT_TRUE(white(108, 100));
    EXPECT_FALSE(tools()->pencilModel()->hasPreviousVertex());
    // The next press starts a new chain.
    drag({200, 200}, {250, 200});
    EXPECT_TRUE(black(225, 200));
    EXPECT_TRUE(white(150, 150));
}

TEST_F(Pencil, ConnectedLinesGetEndingsAtTheChainEnds) {
    usePencil(PencilConnected);
    doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
    drag({50, 50}, {150, 50});
    drag({150, 50}, {150, 150});
    click({150, 150});            // on the last vertex: finish
    EXPECT_TRUE(black(46, 50));   // dot at the origin
    EXPECT_TRUE(black(150, 153)); // dot at the last vertex
}

TEST_F(Pencil, ArrowArrowNeedsThreeReleasesAfterThePress) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineEnding, EndingArrowArrow);
    ASSERT_EQ(tools()->activePencilTool(), PencilArrowLine);
    KV_PencilModel* m = tools()->pencilModel();
    press({100, 100});
    EXPECT_EQ(m->arrowState(), 4);
    move({150, 100});
    move({200, 100});
    EXPECT_EQ(m->arrowState(), 2);
    release({200, 100}); // 1: lays the shortened line
    EXPECT_EQ(m->arrowState(), 3);
    EXPECT_EQ(m->pendingArrowHead(), 2);
    QImage im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(112, 100, 77, 1)); // stops 12 pixels short of both ends
    press({220, 100});
    move({220, 100});
    release({220, 100}); // 2: the head at the end, pointing on along the line
    EXPECT_EQ(m->arrowState(), 3);
    EXPECT_EQ(m->pendingArrowHead(), 3);
    EXPECT_TRUE(black(200, 100));
    EXPECT_TRUE(black(188, 96));
    EXPECT_TRUE(black(188, 104));
    EXPECT_TRUE(white(100, 100));
    press({80, 100});
    release({80, 100}); // 3: the head at the start
    EXPECT_EQ(m->arrowState(), 1);
    EXPECT_TRUE(black(100, 100));
    EXPECT_TRUE(black(112, 96));
    EXPECT_TRUE(black(112, 104));
    EXPECT_TRUE(onlyBlackAndWhite(picture()));
}

TEST_F(Pencil, AdjustableHeadTurnsWithThePointer) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineEnding, EndingNoneArrow);
    drag({100, 100}, {200, 100});
    // Base point (188, 100); the pointer straight above it turns the head up.
    press({188, 70});
    move({188, 70});
    release({188, 70});
    EXPECT_TRUE(black(188, 89));  // tip 11 above the base
    EXPECT_TRUE(black(193, 100)); // corners 5 left and right of the base
    EXPECT_TRUE(black(183, 100));
    EXPECT_TRUE(white(200, 100)); // no head at the arrow end itself
}

TEST_F(Pencil, VerticalArrowLinesPutTheHeadAtStartOrEnd) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineEnding, EndingArrowNone);
    drag({100, 50}, {100, 150});
    click({100, 20}); // the head follows the pointer: here straight on past the start
    // Base point 11 pixels from the start, corners 5 left and right of it, tip at the start.
    EXPECT_TRUE(black(100, 50));
    EXPECT_TRUE(black(95, 61));
    EXPECT_TRUE(black(105, 61));
    EXPECT_TRUE(white(95, 139));
    EXPECT_TRUE(black(100, 150)); // the line runs to the plain end
    doc->newImage();
    doc->setToolAttribute(AttrLineEnding, EndingNoneArrow);
    drag({100, 50}, {100, 150});
    click({100, 180});
    EXPECT_TRUE(black(100, 150));
    EXPECT_TRUE(black(95, 139));
    EXPECT_TRUE(black(105, 139));
    EXPECT_TRUE(white(95, 61));
    EXPECT_TRUE(black(100, 50));
}

TEST_F(Pencil, ColourChangeKeepsAnArrowLineAttributeChangeAbandonsIt) {
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineEnding, EndingNoneArrow);
    KV_PencilModel* m = tools()->pencilModel();
    drag({100, 100}, {200, 100});
    ASSERT_EQ(m->arrowState(), 3);
    doc->setToolColor(ColorLine, Qt::red);
    EXPECT_EQ(m->arrowState(), 3);
    doc->setToolAttribute(AttrLineThickness, ThicknessThin);
    EXPECT_EQ(m->arrowState(), 1);
    // The shortened line stays, without heads.
    EXPECT_EQ(nonWhiteBox(picture()), QRect(100, 100, 89, 1));
}

TEST_F(Pencil, EachPreviewShowsOnlyTheLatestLine) {
    // Previews follow each other on one buffer: nothing of an earlier preview may remain, and
    // the picture itself stays untouched until the release.
    usePencil(PencilLine);
    press({10, 10});
    move({200, 10});
    EXPECT_EQ(shown().pixel(150, 10), Black);
    move({10, 200});
    const QImage second = shown();
    EXPECT_EQ(second.pixel(150, 10), White);
    EXPECT_EQ(second.pixel(10, 150), Black);
    EXPECT_EQ(nonWhiteBox(picture()), QRect());
    // The picture changed between previews (a preview after a new picture): the buffer follows.
    release({10, 200});
    EXPECT_EQ(nonWhiteBox(picture()).left(), 10);
    doc->newImage();
    press({300, 300});
    move({300, 250});
    const QImage fresh = shown();
    EXPECT_EQ(fresh.pixel(10, 150), White);
    EXPECT_EQ(fresh.pixel(300, 270), Black);
    release({300, 250});
}
