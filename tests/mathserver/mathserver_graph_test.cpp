// Point tables and numeric methods.
#include "mathcomponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

class Graph : public ::testing::Test {
protected:
    void SetUp() override {
        server.reset(MathComponent::server());
        ASSERT_TRUE(server);
    }
    std::unique_ptr<KVQ_MathServer> server;
};

TEST_F(Graph, PointTableValues) {
    GraphData g{};
    ASSERT_EQ(server->GC_GraphExpression("x^2", "x", 0, 1, 0.25, false, g), 0);
    ASSERT_EQ(g.numPoints, 5u);
    for (uint32_t i = 0; i < g.numPoints; ++i) {
        EXPECT_DOUBLE_EQ(g.x[i], 0.25 * i);
        EXPECT_NEAR(g.y[i], g.x[i] * g.x[i], 1e-14);
        EXPECT_EQ(g.flags[i], 0);
    }
    std::free(g.x);
    std::free(g.y);
    std::free(g.flags);
}

} // namespace
