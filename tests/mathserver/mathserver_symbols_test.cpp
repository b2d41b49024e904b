// The symbol table, lists, dimensions, tags and keywords.
#include "mathcomponent.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class Symbols : public ::testing::Test {
protected:
    void SetUp() override {
        server.reset(MathComponent::server());
        ASSERT_TRUE(server);
        server->ST_ClearSymbolTable();
    }
    std::unique_ptr<KVQ_MathServer> server;
};

TEST_F(Symbols, DefineReadAndDelete) {
    ASSERT_EQ(server->ST_DefVar("myrate", "2*3", 0), 0);
    QString value;
    EXPECT_EQ(server->ST_GetVarValue("myrate", value), 0);
    EXPECT_EQ(value, "2*3");
    QString answer;
    EXPECT_EQ(server->evaluate("myrate+1", FORMATTED_ANS_NOEXPORT, answer), 0);
    EXPECT_EQ(answer, "7");
    EXPECT_EQ(server->ST_DefVar("myrate", "", 0), 0);
    EXPECT_NE(server->ST_GetVarValue("myrate", value), 0);
}

} // namespace
