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
    void TearDown() override { server->ST_ClearSymbolTable(); }
    QString eval(const QString& text) {
        QString answer;
        code = server->evaluate(text, FORMATTED_ANS_NOEXPORT, answer);
        return answer;
    }
    std::unique_ptr<KVQ_MathServer> server;
    int code = -1;
};

TEST_F(Symbols, DefineReadAndDelete) {
    ASSERT_EQ(server->ST_DefVar("myrate", "2*3", 0), 0);
    QString value;
    EXPECT_EQ(server->ST_GetVarValue("myrate", value), 0);
    EXPECT_EQ(value, "2*3");
    EXPECT_EQ(eval("myrate+1"), "7");
    ASSERT_EQ(server->ST_DefVar("simple", "myrate*2", 1), 0);
    EXPECT_EQ(server->ST_GetVarValue("simple", value), 0);
    EXPECT_EQ(value, "12");
    ASSERT_EQ(server->ST_DefVar("lazy", "pi", 2), 0);
    EXPECT_TRUE(eval("lazy").startsWith("3.14159"));
    EXPECT_EQ(eval("round(lazy*100)"), "314");
    EXPECT_EQ(server->ST_DefVar("myrate", "", 0), 0);
    EXPECT_NE(server->ST_GetVarValue("myrate", value), 0);
    EXPECT_EQ(eval("simple"), "12") << "stored by value";
}

TEST_F(Symbols, TypesAndNames) {
    ASSERT_EQ(server->ST_DefVar("e1", "5", 0), 0);
    ASSERT_EQ(server->ST_DefVar("l1", "[1, 2, 3]", 0), 0);
    ASSERT_EQ(server->ST_DefVar("m1", "[[1, 2], [3, 4]]", 0), 0);
    ASSERT_EQ(server->ST_DefVar("s1", "\"hello\"", 0), 0);
    ASSERT_EQ(server->ST_DefVar("myf(u)", "u^2", 0), 0);
    EXPECT_EQ(eval("myf(7)"), "49");
    QStringList names;
    ASSERT_EQ(server->ST_GetVarNames(ANY_TYPE, names), 0);
    EXPECT_EQ(names, (QStringList{"e1", "l1", "m1", "myf", "s1"}));
    const struct {
        const char* name;
        VarType type;
    } expected[] = {{"e1", EXPRESSION_TYPE},
                    {"l1", LIST_TYPE},
                    {"m1", MATRIX_TYPE},
                    {"s1", STRING_TYPE},
                    {"myf", FUNCTION_TYPE}};
    for (const auto& e : expected) {
        VarType t = ANY_TYPE;
        EXPECT_EQ(server->ST_GetVarType(e.name, t), 0);
        EXPECT_EQ(t, e.type) << e.name;
        ASSERT_EQ(server->ST_GetVarNames(e.type, names), 0);
        EXPECT_EQ(names, QStringList{e.name});
    }
    unsigned rows = 9, cols = 9;
    ASSERT_EQ(server->ST_GetDim("m1", rows, cols), 0);
    EXPECT_EQ(rows, 2u);
    EXPECT_EQ(cols, 2u);
    ASSERT_EQ(server->ST_GetDim("l1", rows, cols), 0);
    EXPECT_EQ(rows, 3u);
    EXPECT_EQ(cols, 0u);
    ASSERT_EQ(server->ST_GetVarNamesInExpression("e1*x+pi", names), 0);
    EXPECT_EQ(names, (QStringList{"e1", "pi", "x"}));
    QStringList elements;
    ASSERT_EQ(server->ST_GetList("[10, 20, 30, 40]", 2, 3, FORMATTED_ANS_NOEXPORT, elements), 0);
    EXPECT_EQ(elements, (QStringList{"20", "30"}));
    ASSERT_EQ(server->ST_GetList("l1", 0, 0, FORMATTED_ANS_NOEXPORT, elements), 0);
    EXPECT_EQ(elements, (QStringList{"1", "2", "3"}));
    EXPECT_NE(server->ST_GetList("5", 0, 0, FORMATTED_ANS_NOEXPORT, elements), 0);
    EXPECT_NE(server->ST_GetList("l1", 3, 2, FORMATTED_ANS_NOEXPORT, elements), 0);
    ASSERT_EQ(server->ST_ClearSymbolTable(), 0);
    ASSERT_EQ(server->ST_GetVarNames(ANY_TYPE, names), 0);
    EXPECT_TRUE(names.isEmpty());
}

TEST_F(Symbols, NamesAndBadDefinitions) {
    bool valid = false;
    EXPECT_EQ(server->ST_IsValidVarName("speed2", valid), 0);
    EXPECT_TRUE(valid);
    for (const char* bad : {"2speed", "", "a b", "sin", "pi"}) {
        EXPECT_EQ(server->ST_IsValidVarName(bad, valid), 0);
        EXPECT_FALSE(valid) << bad;
    }
    EXPECT_NE(server->ST_DefVar("sin", "1", 0), 0);
    EXPECT_NE(server->ST_DefVar("2x", "1", 0), 0);
    EXPECT_NE(server->ST_DefVar("v", "1+", 0), 0);
    EXPECT_NE(server->ST_DefVar("v", "1", 7), 0);
    EXPECT_NE(server->ST_DefVar("nothere", "", 0), 0);
    EXPECT_NE(server->ST_DefVar("v", QString(60000, '1'), 0), 0);
    ASSERT_EQ(server->ST_DefVar("f1(u)", "u+1", 0), 0);
    ASSERT_EQ(server->ST_DefVar("f2(u)", "f1(u)*2", 0), 0);
    EXPECT_NE(server->ST_DefVar("f1(u)", "f2(u)", 0), 0) << "a cycle";
    EXPECT_EQ(eval("f2(1)"), "4");
    VarType t;
    EXPECT_NE(server->ST_GetVarType("nothere", t), 0);
    QStringList names;
    EXPECT_NE(server->ST_GetVarNames(VarType(7), names), 0);
}

TEST_F(Symbols, UserVariablesMayTakeTheNamesOfUnits) {
    // "a" and "m" are units to the engine until the user defines them, and again afterwards.
    bool valid = false;
    EXPECT_EQ(server->ST_IsValidVarName("a", valid), 0);
    EXPECT_TRUE(valid);
    ASSERT_EQ(server->ST_DefVar("a", "5", 0), 0);
    ASSERT_EQ(server->ST_DefVar("m", "2", 0), 0);
    EXPECT_EQ(eval("a*m+1"), "11");
    ASSERT_EQ(server->ST_DefVar("a", "", 0), 0);
    ASSERT_EQ(server->ST_DefVar("m", "", 0), 0);
    EXPECT_EQ(eval("3 m"), "3 m") << code;
}

TEST_F(Symbols, TagsAndKeywordsBothWays) {
    unsigned t1 = 0, t2 = 0;
    QString keyword;
    for (const char* k : {"+", "^", "to", "mod", "xor", "sin", "sqrt", "ln", "integrate", "//",
                          "->", "==", "<>", "\xc2\xb0"}) {
        ASSERT_EQ(server->ST_GetTags(k, t1, t2), 0) << k;
        EXPECT_GE(t1, 1u);
        EXPECT_LE(t1, 255u);
        EXPECT_GE(t2, 1u);
        EXPECT_LE(t2, 255u);
        ASSERT_EQ(server->ST_GetKeyword(t1, t2, keyword), 0);
        EXPECT_EQ(keyword, k);
    }
    ASSERT_EQ(server->ST_GetTags("+", t1, t2), 0);
    EXPECT_EQ(t1, 1u);
    EXPECT_EQ(t2, 1u);
    // The table is the same for every instance.
    std::unique_ptr<KVQ_MathServer> other(MathComponent::server());
    unsigned o1 = 0, o2 = 0;
    ASSERT_EQ(server->ST_GetTags("sin", t1, t2), 0);
    ASSERT_EQ(other->ST_GetTags("sin", o1, o2), 0);
    EXPECT_EQ(t1, o1);
    EXPECT_EQ(t2, o2);
    EXPECT_NE(server->ST_GetTags("nosuchop", t1, t2), 0);
    // Every keyword of the table has exactly one pair of tags.
    int entries = 0;
    for (unsigned a = 1; a <= 255; ++a) {
        for (unsigned b = 1; b <= 255; ++b) {
            if (server->ST_GetKeyword(a, b, keyword) != 0)
                continue;
            ++entries;
            ASSERT_EQ(server->ST_GetTags(keyword, t1, t2), 0) << keyword.toStdString();
            EXPECT_EQ(t1 * 256 + t2, a * 256 + b) << keyword.toStdString();
        }
    }
    EXPECT_GT(entries, 200);
    EXPECT_NE(server->ST_GetKeyword(0, 0, keyword), 0);
    EXPECT_NE(server->ST_GetKeyword(255, 255, keyword), 0);
}

} // namespace
