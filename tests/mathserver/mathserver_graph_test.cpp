// Point tables and numeric methods.
#include "mathcomponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class Graph : public ::testing::Test {
protected:
    void SetUp() override {
        server.reset(MathComponent::server());
        ASSERT_TRUE(server);
    }
    void TearDown() override {
        std::free(g.x);
        std::free(g.y);
        std::free(g.flags);
        std::free(p.t);
        std::free(p.x);
        std::free(p.y);
        std::free(p.flags);
        std::free(a.values);
    }
    std::unique_ptr<KVQ_MathServer> server;
    GraphData g{};
    ParametricGraphData p{};
    RealArray a{};
};

TEST_F(Graph, PointTableValues) {
    ASSERT_EQ(server->GC_GraphExpression("t^2", "t", 0, 1, 0.25, false, g), 0);
    ASSERT_EQ(g.numPoints, 5u);
    for (uint32_t i = 0; i < g.numPoints; ++i) {
        EXPECT_DOUBLE_EQ(g.x[i], 0.25 * i);
        EXPECT_NEAR(g.y[i], g.x[i] * g.x[i], 1e-14);
        EXPECT_EQ(g.flags[i], 0);
    }
}

TEST_F(Graph, PointFlags) {
    ASSERT_EQ(server->GC_GraphExpression("1/x", "x", -1, 1, 0.5, true, g), 0);
    ASSERT_EQ(g.numPoints, 5u);
    EXPECT_NE(g.flags[2] & (UNDEF | INFINITY_FLAG | MINUS_INFINITY), 0);
    EXPECT_EQ(g.flags[1], 0);
    EXPECT_NE(g.flags[3] & NOT_CONTINUOUS, 0);
    std::free(g.x);
    std::free(g.y);
    std::free(g.flags);
    g = GraphData{};
    ASSERT_EQ(server->GC_GraphExpression("ln(x)", "x", -1, 1, 1, false, g), 0);
    EXPECT_NE(g.flags[0] & UNDEF, 0);
    EXPECT_EQ(g.flags[2], 0);
    std::free(g.x);
    std::free(g.y);
    std::free(g.flags);
    g = GraphData{};
    // A step jumps between 0.9 and 1.1; a smooth curve never does.
    ASSERT_EQ(server->GC_GraphExpression("floor(x)", "x", 0.1, 1.9, 0.2, true, g), 0);
    int jumps = 0;
    for (uint32_t i = 0; i < g.numPoints; ++i)
        jumps += (g.flags[i] & NOT_CONTINUOUS) ? 1 : 0;
    EXPECT_EQ(jumps, 1);
    EXPECT_NE(g.flags[5] & NOT_CONTINUOUS, 0);
    std::free(g.x);
    std::free(g.y);
    std::free(g.flags);
    // The pole of tan between 1.5 and 1.75, after a steep rise; sin crosses zero smoothly.
    for (const char* function : {"tan(x)", "sin(x)"}) {
        g = GraphData{};
        ASSERT_EQ(server->GC_GraphExpression(function, "x", 0, 7, 0.25, true, g), 0);
        std::vector<uint32_t> at;
        for (uint32_t i = 0; i < g.numPoints; ++i)
            if (g.flags[i] & NOT_CONTINUOUS)
                at.push_back(i);
        if (function[0] == 't')
            EXPECT_EQ(at, std::vector<uint32_t>({7, 19})) << function; // pi/2 and 3*pi/2
        else
            EXPECT_TRUE(at.empty()) << function;
        std::free(g.x);
        std::free(g.y);
        std::free(g.flags);
    }
    g = GraphData{};
}

TEST_F(Graph, ParametricTable) {
    ASSERT_EQ(server->GC_GraphParametric("cos(s)", "sin(s)", "s", 0, M_PI, M_PI / 2, false, p), 0);
    ASSERT_EQ(p.numPoints, 3u);
    EXPECT_NEAR(p.x[1], 0, 1e-12);
    EXPECT_NEAR(p.y[1], 1, 1e-12);
    EXPECT_NEAR(p.x[2], -1, 1e-12);
}

TEST_F(Graph, BadTablesAreRefused) {
    EXPECT_NE(server->GC_GraphExpression("x", "x", 0, 1, 0, false, g), 0);
    EXPECT_NE(server->GC_GraphExpression("x", "x", 0, 1, -0.1, false, g), 0);
    EXPECT_NE(server->GC_GraphExpression("x", "x", 0, 1e9, 1, false, g), 0);
    EXPECT_NE(server->GC_GraphExpression("x", "x", 1, 0, 0.1, false, g), 0);
    EXPECT_NE(server->GC_GraphExpression("x", "x", 0, NAN, 0.1, false, g), 0);
    EXPECT_NE(server->GC_GraphExpression("x+", "x", 0, 1, 0.1, false, g), 0);
    EXPECT_NE(server->GC_GraphExpression("x", "2bad", 0, 1, 0.1, false, g), 0);
    EXPECT_NE(server->GC_GraphParametric("t", "t", "t", 0, 1, 0, false, p), 0);
    EXPECT_EQ(g.x, nullptr);
    EXPECT_EQ(p.t, nullptr);
    QString text;
    server->errorString(server->GC_GraphExpression("x", "x", 0, 1e9, 1, false, g), text);
    EXPECT_TRUE(text.contains("100000")) << text.toStdString();
}

TEST_F(Graph, NumericMethods) {
    double x = 0, y = 0;
    ASSERT_EQ(server->GC_FMin("(x-1)^2", "x", -5, 5, 0, x, y), 0);
    EXPECT_NEAR(x, 1, 1e-6);
    EXPECT_NEAR(y, 0, 1e-10);
    ASSERT_EQ(server->GC_FMax("4-(x-2)^2", "x", 0, 3, 100, x, y), 0);
    EXPECT_NEAR(x, 2, 1e-6);
    EXPECT_NEAR(y, 4, 1e-10);
    EXPECT_NE(server->GC_FMin("x", "x", 0, 1, 0.5, x, y), 0) << "monotonic";

    double v = 0;
    ASSERT_EQ(server->GC_FIntegral("x^2", "x", 0, 3, v), 0);
    EXPECT_NEAR(v, 9, 1e-10);
    ASSERT_EQ(server->GC_FIntegral("x^2", "x", 3, 0, v), 0);
    EXPECT_NEAR(v, -9, 1e-10);
    ASSERT_EQ(server->GC_FDerivative("x^3", "x", 2, v), 0);
    EXPECT_NEAR(v, 12, 1e-7);

    ASSERT_EQ(server->GC_FIntersect("cos(x)", "x", "x", 0, 2, 0.5, x, y), 0);
    EXPECT_NEAR(x, 0.7390851332151607, 1e-10);
    EXPECT_NEAR(y, x, 1e-10);
    EXPECT_NE(server->GC_FIntersect("x^2+1", "0", "x", -2, 2, 0, x, y), 0);
}

TEST_F(Graph, Slopes) {
    double dr = 0, dydx = 0, dxdt = 0, dydt = 0;
    // r = 1: the unit circle, slope -cot(theta).
    ASSERT_EQ(server->GC_PolarSlope("1", "th", M_PI / 4, dr, dydx), 0);
    EXPECT_NEAR(dr, 0, 1e-8);
    EXPECT_NEAR(dydx, -1, 1e-8);
    ASSERT_EQ(server->GC_ParametricSlope("t^2", "t^3", "t", 2, dydx, dxdt, dydt), 0);
    EXPECT_NEAR(dxdt, 4, 1e-7);
    EXPECT_NEAR(dydt, 12, 1e-7);
    EXPECT_NEAR(dydx, 3, 1e-7);
}

TEST_F(Graph, RealValuesAndArrays) {
    double v = 0;
    ASSERT_EQ(server->GC_RealValue("sqrt(2)", v), 0);
    EXPECT_DOUBLE_EQ(v, std::sqrt(2.0));
    EXPECT_NE(server->GC_RealValue("5 m", v), 0);
    ASSERT_EQ(server->GC_GetRealArray("[1, 2, 3]", a), 0);
    EXPECT_EQ(a.rows, 3);
    EXPECT_EQ(a.cols, 0);
    EXPECT_EQ(a.values[2], 3);
    std::free(a.values);
    a = RealArray{};
    ASSERT_EQ(server->GC_GetRealArray("[[1, 2], [3, 4], [5, 6]]", a), 0);
    EXPECT_EQ(a.rows, 3);
    EXPECT_EQ(a.cols, 2);
    EXPECT_EQ(a.values[3], 4);
    std::free(a.values);
    a = RealArray{};
    EXPECT_NE(server->GC_GetRealArray("[1, x]", a), 0);
    EXPECT_EQ(a.values, nullptr);
}

TEST_F(Graph, ParseOnceEvaluateMany) {
    ParsedFunction f{};
    ASSERT_EQ(server->GC_EvalFParse("k*sin(w)+c0", f), 0);
    ASSERT_NE(f.data, nullptr);
    char k[] = "k", w[] = "w", c0[] = "c0";
    char* names[] = {k, w, c0, nullptr};
    double values[] = {2, M_PI / 2, 0.5};
    double r = 0;
    ASSERT_EQ(server->GC_EvalF(f, names, values, r), 0);
    EXPECT_NEAR(r, 2.5, 1e-14);
    values[0] = 3;
    ASSERT_EQ(server->GC_EvalF(f, names, values, r), 0);
    EXPECT_NEAR(r, 3.5, 1e-14);
    // Another instance reads the same record.
    std::unique_ptr<KVQ_MathServer> other(MathComponent::server());
    ASSERT_EQ(other->GC_EvalF(f, names, values, r), 0);
    EXPECT_NEAR(r, 3.5, 1e-14);

    char* onlyK[] = {k, nullptr};
    EXPECT_NE(server->GC_EvalF(f, onlyK, values, r), 0) << "w and c0 have no value";
    EXPECT_NE(server->GC_EvalF(f, nullptr, values, r), 0);
    ParsedFunction empty{};
    EXPECT_NE(server->GC_EvalF(empty, names, values, r), 0);
    std::free(f.data);

    ParsedFunction constant{};
    ASSERT_EQ(server->GC_EvalFParse("6*7", constant), 0);
    char* none[] = {nullptr};
    ASSERT_EQ(server->GC_EvalF(constant, none, nullptr, r), 0);
    EXPECT_EQ(r, 42);
    std::free(constant.data);
    ParsedFunction broken{};
    EXPECT_NE(server->GC_EvalFParse("", broken), 0);
    EXPECT_NE(server->GC_EvalFParse("1+", broken), 0);
    EXPECT_NE(server->GC_EvalFParse("(1+a", broken), 0);
    EXPECT_NE(server->GC_EvalFParse(QString(60000, 'x'), broken), 0);
    EXPECT_EQ(broken.data, nullptr);
}

TEST_F(Graph, EvaluationWarningsAreListedOnce) {
    // The overflow of the constant is reported when the function is parsed for these names and
    // again when it is evaluated.
    ParsedFunction f{};
    ASSERT_EQ(server->GC_EvalFParse("exp(x)*1e99999999999", f), 0);
    char x[] = "x";
    char* names[] = {x, nullptr};
    double values[] = {-1};
    double r = 0;
    server->GC_EvalF(f, names, values, r);
    std::free(f.data);
    QStringList warnings;
    server->getWarnings(warnings);
    EXPECT_EQ(warnings.count("Floating point overflow"), 1) << warnings.join('|').toStdString();
}

} // namespace
