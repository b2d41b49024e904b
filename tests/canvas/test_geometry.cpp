// Line rendering and geometry, by direct calls and on the picture.
#include "canvas_fixture.h"

class Geometry : public CanvasTest {
protected:
    KV_PencilModel* m() { return tools()->pencilModel(); }
};

TEST_F(Geometry, Slope) {
    EXPECT_EQ(m()->slope({3, 0}, {3, 50}), -15.0);
    EXPECT_EQ(m()->slope({0, 0}, {1, 20}), -15.0);
    EXPECT_EQ(m()->slope({0, 0}, {1, -20}), 15.0);
    EXPECT_EQ(m()->slope({0, 0}, {2, -2}), 1.0);
    EXPECT_EQ(m()->slope({0, 0}, {4, 2}), -0.5);
}

TEST_F(Geometry, GetSlopeTurnsBy45Degrees) {
    double s = 1.0;
    EXPECT_EQ(m()->getSlope(&s), 15.0);
    s = 0.0;
    EXPECT_EQ(m()->getSlope(&s), 1.0);
    s = 15.0;
    EXPECT_EQ(m()->getSlope(&s), -1.0);
    EXPECT_EQ(s, -15.0);
    s = -15.0;
    EXPECT_EQ(m()->getSlope(&s), -1.0);
    EXPECT_EQ(s, -15.0);
    s = -1.0;
    EXPECT_EQ(m()->getSlope(&s), 0.0);
    s = 0.9;
    EXPECT_EQ(m()->getSlope(&s), 15.0); // 19 clamped
}

TEST_F(Geometry, DistanceAndArrowPoints) {
    EXPECT_EQ(m()->distancePoints({0, 0}, {3, 4}), 5.0);
    EXPECT_EQ(m()->getArrowPoint(0.0, {100, 0}, 12, {0, 0}), QPoint(88, 0));
    EXPECT_EQ(m()->getArrowPoint(0.0, {100, 0}, 12, {200, 0}), QPoint(112, 0));
    // Equal distances give the second candidate.
    EXPECT_EQ(m()->getArrowPoint(0.0, {100, 0}, 12, {100, 50}), QPoint(88, 0));
    QPoint out[2];
    m()->getArrowEdgePoint(-15.0, {88, 0}, 5, out);
    EXPECT_EQ(out[0], QPoint(88, -4));
    EXPECT_EQ(out[1], QPoint(88, 4));
}

// Arrow heads at known angles: base point and corners.
struct ArrowCase {
    QPoint from, to, base, c0, c1;
};

TEST_F(Geometry, ArrowBasePointsAndCorners) {
    const ArrowCase cases[] = {
        {{0, 0}, {100, 0}, {88, 0}, {88, -4}, {88, 4}},
        {{0, 0}, {0, 100}, {0, 89}, {5, 89}, {-5, 89}},
        {{0, 0}, {100, 100}, {92, 92}, {95, 89}, {89, 95}},
    };
    for (const ArrowCase& c : cases) {
        const QPoint base = m()->getArrowPoint(-m()->slope(c.from, c.to), c.to, 12, c.from);
        EXPECT_EQ(base, c.base);
        double s = m()->slope(c.from, c.to);
        double r = m()->getSlope(&s);
        const double perpendicular = m()->getSlope(&r);
        QPoint e[2];
        m()->getArrowEdgePoint(-perpendicular, base, 5, e);
        EXPECT_EQ(e[0], c.c0);
        EXPECT_EQ(e[1], c.c1);
    }
}

TEST_F(Geometry, ArrowOnThePictureLandsOnItsPoints) {
    // The same three arrows, moved by (200, 150), drawn on the picture.
    const QPoint o(200, 150);
    QPainter* p = doc->painter();
    p->setPen(tools()->currentPen());
    m()->drawArrow(p, o + QPoint(0, 0), o + QPoint(100, 0));
    QImage im = picture();
    EXPECT_EQ(im.pixel(o.x() + 100, o.y()), Black); // tip
    EXPECT_EQ(im.pixel(o.x() + 88, o.y() - 4), Black);
    EXPECT_EQ(im.pixel(o.x() + 88, o.y() + 4), Black);
    EXPECT_EQ(im.pixel(o.x() + 88, o.y() - 5), White);
    EXPECT_EQ(im.pixel(o.x() + 87, o.y()), White);
    EXPECT_EQ(im.pixel(o.x() + 101, o.y()), White);
    EXPECT_EQ(nonWhiteBox(im), QRect(o.x() + 88, o.y() - 4, 13, 9)); // 8 wide across, as in Qt 2
    for (int x = 88; x <= 100; ++x)
        EXPECT_EQ(im.pixel(o.x() + x, o.y()), Black) << x; // the spokes fill the head

    doc->newImage();
    p->setPen(tools()->currentPen());
    m()->drawArrow(p, o, o + QPoint(0, 100));
    im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(o.x() - 5, o.y() + 89, 11, 12)); // 11 long
    EXPECT_EQ(im.pixel(o.x() + 5, o.y() + 89), Black);
    EXPECT_EQ(im.pixel(o.x() - 5, o.y() + 89), Black);

    doc->newImage();
    p->setPen(tools()->currentPen());
    m()->drawArrow(p, o, o + QPoint(100, 100));
    im = picture();
    EXPECT_EQ(im.pixel(o.x() + 100, o.y() + 100), Black);
    EXPECT_EQ(im.pixel(o.x() + 95, o.y() + 89), Black);
    EXPECT_EQ(im.pixel(o.x() + 89, o.y() + 95), Black);
    EXPECT_TRUE(onlyBlackAndWhite(im));
}

TEST_F(Geometry, GetPointsFollowsThePointerIn45DegreeSteps) {
    QPoint t[3];
    m()->getPoints(t, {0, 0}, {88, 0}, {120, 0});
    EXPECT_EQ(t[0], QPoint(100, 0));
    EXPECT_EQ(t[1], QPoint(88, -4));
    EXPECT_EQ(t[2], QPoint(88, 4));
    m()->getPoints(t, {0, 0}, {88, 0}, {88, -30});
    EXPECT_EQ(t[0], QPoint(88, -11));
    EXPECT_EQ(t[1], QPoint(93, 0));
    EXPECT_EQ(t[2], QPoint(83, 0));
    m()->getPoints(t, {0, 0}, {88, 0}, {120, -30});
    EXPECT_EQ(t[0], QPoint(96, -8));
    EXPECT_EQ(t[1], QPoint(91, 3));
    EXPECT_EQ(t[2], QPoint(85, -3));
}

TEST_F(Geometry, NoneCircleWithEqualXPutsTheDotAtP4) {
    doc->setToolAttribute(AttrLineEnding, EndingNoneCircle);
    QPainter* p = doc->painter();
    p->setPen(tools()->currentPen());
    m()->drawEnding(p, {100, 50}, {100, 60}, {100, 90}, {100, 100});
    const QImage im = picture();
    EXPECT_EQ(nonWhiteBox(im), QRect(96, 96, 8, 8));
    doc->newImage();
    doc->setToolAttribute(AttrLineEnding, EndingCircleNone);
    m()->drawEnding(p, {100, 50}, {100, 60}, {100, 90}, {100, 100});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(96, 46, 8, 8));
    // Left and right by x: with P1 right of P4 the "left" dot goes to P4.
    doc->newImage();
    m()->drawEnding(p, {200, 50}, {190, 50}, {60, 50}, {50, 50});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(46, 46, 8, 8));
}

TEST_F(Geometry, DashedMediumLineIsThreeOnePixelRows) {
    doc->setToolAttribute(AttrLineThickness, ThicknessMedium);
    doc->setToolAttribute(AttrLineStyle, StyleDashed);
    QPainter* p = doc->painter();
    p->setPen(tools()->currentPen());
    m()->drawThickLine(p, {100, 100}, {200, 100});
    EXPECT_EQ(p->pen().width(), 1); // the painter keeps the one-pixel pen
    EXPECT_EQ(p->pen().style(), Qt::DashLine);
    const QImage im = picture();
    const QRect box = nonWhiteBox(im);
    EXPECT_EQ(box.top(), 99);
    EXPECT_EQ(box.bottom(), 101);
    EXPECT_EQ(box.left(), 100);
    EXPECT_GE(box.right(), 196); // the pattern may end in a gap
    for (int y = 99; y <= 101; ++y) {
        int n = 0;
        for (int x = 100; x <= 200; ++x)
            n += im.pixel(x, y) == Black;
        EXPECT_GT(n, 50) << y;
        EXPECT_LT(n, 90) << y; // dashed: gaps
    }
}

TEST_F(Geometry, SolidThickLineUsesTheWidePen) {
    doc->setToolAttribute(AttrLineThickness, ThicknessThick);
    QPainter* p = doc->painter();
    p->setPen(tools()->currentPen());
    m()->drawThickLine(p, {100, 100}, {200, 100});
    EXPECT_EQ(nonWhiteBox(picture()), QRect(100, 98, 100, 5));
}

TEST_F(Geometry, SolidEndingPenIsThinner) {
    QPainter* p = doc->painter();
    for (auto [from, to] : {std::pair{1, 1}, {3, 2}, {5, 3}, {2, 1}}) {
        QPen pen(Qt::black);
        pen.setWidth(from);
        pen.setStyle(Qt::DotLine);
        p->setPen(pen);
        m()->setSolidPen(p);
        EXPECT_EQ(p->pen().width(), to);
        EXPECT_EQ(p->pen().style(), Qt::SolidLine);
    }
}

TEST_F(Geometry, FillTriangleDrawsSpokesOnTheDocument) {
    QPoint t[3] = {{100, 50}, {88, 46}, {88, 54}};
    doc->painter()->setPen(tools()->currentPen());
    m()->fillTriangle(t);
    const QImage im = picture();
    EXPECT_EQ(im.pixel(100, 50), Black);
    EXPECT_EQ(im.pixel(89, 50), Black);
    EXPECT_EQ(im.pixel(90, 48), Black);
}
