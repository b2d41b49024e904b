// Evaluation in every mode, formatting, help and the error paths of evaluation.
#include "mathcomponent.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

class Evaluate : public ::testing::Test {
protected:
    void SetUp() override {
        server.reset(MathComponent::server());
        ASSERT_TRUE(server);
    }
    QString eval(const QString& text, AnsType type = FORMATTED_ANS_NOEXPORT) {
        QString answer;
        code = server->evaluate(text, type, answer);
        return answer;
    }
    void setMode(void (*change)(Modes&)) {
        Modes m = server->getModes();
        change(m);
        server->setModes(m);
    }
    QString errorText(int c) {
        QString text;
        server->errorString(c, text);
        return text;
    }
    std::unique_ptr<KVQ_MathServer> server;
    int code = -1;
};

TEST_F(Evaluate, ExactAndApproximateArithmetic) {
    setMode([](Modes& m) { m.arith = 1; });
    EXPECT_EQ(eval("1/3+1/6"), "1/2");
    EXPECT_EQ(code, 0);
    setMode([](Modes& m) { m.arith = 2; });
    EXPECT_EQ(eval("1/3+1/6"), "0.5");
    EXPECT_EQ(code, 0);
}

TEST_F(Evaluate, AngleUnits) {
    setMode([](Modes& m) { m.angle = 1; });
    EXPECT_EQ(eval("sin(30)"), "0.5");
    setMode([](Modes& m) { m.angle = 0; });
    EXPECT_EQ(eval("sin(30)").left(8), "-0.98803");
}

TEST_F(Evaluate, ComplexDomainAndForms) {
    setMode([](Modes& m) { m.domain = 1; });
    EXPECT_EQ(eval("sqrt(-4)"), "2i");
    setMode([](Modes& m) { m.complexForm = 1; });
    const QString polar = eval("sqrt(-4)");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(polar.contains("e^") && polar.contains("1.5707963")) << polar.toStdString();
}

TEST_F(Evaluate, RealDomainsRefuseNonRealResults) {
    // real-calc (the default): no complex numbers at all.
    for (const char* text : {"sqrt(-4)", "ln(-1)", "asin(2)"}) {
        eval(text);
        EXPECT_NE(code, 0) << text;
        EXPECT_TRUE(errorText(code).contains("not a real number")) << text;
    }
    EXPECT_EQ(eval("sqrt(4)"), "2");
    EXPECT_EQ(code, 0);
    // real-result: complex values on the way, a real answer at the end.
    setMode([](Modes& m) { m.domain = 2; });
    EXPECT_EQ(eval("sqrt(-1)^2"), "-1");
    EXPECT_EQ(code, 0);
    eval("sqrt(-4)");
    EXPECT_NE(code, 0);
}

TEST_F(Evaluate, CommasSeparateArguments) {
    // Every path that parses: evaluation, real values, tables and parsed functions.
    EXPECT_EQ(eval("max(1,2)"), "2");
    double value = 0;
    for (const char* text : {"root(8,3)", "max(1,2)", "max(1,2)"}) {
        ASSERT_EQ(server->GC_RealValue(text, value), 0) << text;
        EXPECT_DOUBLE_EQ(value, 2.0) << text;
    }
    GraphData g{};
    ASSERT_EQ(server->GC_GraphExpression("x+max(1,2)", "x", 1, 1, 1, false, g), 0);
    ASSERT_EQ(g.numPoints, 1u);
    EXPECT_DOUBLE_EQ(g.y[0], 3.0);
    std::free(g.x);
    std::free(g.y);
    std::free(g.flags);
    double slope = 0;
    ASSERT_EQ(server->GC_FDerivative("log(x,2)", "x", 8, slope), 0);
    EXPECT_NEAR(slope, 1 / (8 * std::log(2.0)), 1e-6);
}

TEST_F(Evaluate, UsUnits) {
    setMode([](Modes& m) { m.units = 1; });
    const QString feet = eval("5 km");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(feet.startsWith("16404.19") && feet.endsWith("ft")) << feet.toStdString();
    EXPECT_TRUE(eval("100 oC").startsWith("212")) << eval("100 oC").toStdString();
    // Each dimension gets its own unit: a volume in gallons, an area in square feet.
    EXPECT_TRUE(eval("1 L").endsWith("gal")) << eval("1 L").toStdString();
    EXPECT_TRUE(eval("1 m^2").endsWith("ft^2")) << eval("1 m^2").toStdString();
    setMode([](Modes& m) { m.units = 0; });
    EXPECT_EQ(eval("3 ft"), "914.4 mm");
}

TEST_F(Evaluate, VectorForms) {
    setMode([](Modes& m) {
        m.arith = 2;
        m.angle = 1;
        m.vectorForm = 1;
    });
    EXPECT_EQ(eval("[0, 2, 5]"), "[2  90  5]");
    setMode([](Modes& m) { m.vectorForm = 2; });
    EXPECT_EQ(eval("[0, 0, 3]"), "[3  0  0]");
    EXPECT_EQ(eval("[1, 1, 0]").left(13), "[1.414213562 ");
    EXPECT_TRUE(eval("[1, 1, 0]").endsWith("45  90]"));
    setMode([](Modes& m) { m.vectorForm = 0; });
    EXPECT_EQ(eval("[0, 2, 5]"), "[0  2  5]");
}

TEST_F(Evaluate, LongCalculationsStopAtTheTimeLimit) {
    server->prepare("1");
    eval("99999999!");
    EXPECT_NE(code, 0);
    EXPECT_TRUE(errorText(code).contains("too long"));
    EXPECT_EQ(eval("2+2"), "4");
}

TEST_F(Evaluate, NumberFormats) {
    setMode([](Modes& m) {
        m.arith = 2;
        m.decimalStyle = 1;
        m.digits = 3;
    });
    EXPECT_EQ(eval("2/3"), "0.667");
    setMode([](Modes& m) {
        m.decimalStyle = 0;
        m.digits = 4;
    });
    EXPECT_EQ(eval("2/3"), "0.6667");
    setMode([](Modes& m) {
        m.exponentStyle = 1;
        m.digits = 0;
    });
    EXPECT_EQ(eval("123456*1000"), "1.23456E8");
    EXPECT_EQ(eval("12"), "1.2E1");
    setMode([](Modes& m) { m.exponentStyle = 2; });
    EXPECT_EQ(eval("123456*1000"), "123.456E6");
}

TEST_F(Evaluate, DigitsStopAtTwelve) {
    setMode([](Modes& m) {
        m.arith = 2;
        m.decimalStyle = 1;
        m.digits = 12;
    });
    EXPECT_EQ(server->getModes().digits, 12u);
    EXPECT_EQ(eval("2/3"), "0.666666666667");
    for (unsigned digits : {13u, 255u}) {
        Modes m = server->getModes();
        m.digits = digits;
        server->setModes(m);
        EXPECT_EQ(server->getModes().digits, 12u) << digits;
        EXPECT_EQ(eval("2/3"), "0.666666666667") << digits;
    }
}

TEST_F(Evaluate, AnswerTypes) {
    setMode([](Modes& m) { m.arith = 2; });
    QString answer, full;
    EXPECT_EQ(server->evaluate("1/3", FORMATTED_ANS, answer, full), 0);
    EXPECT_EQ(answer, "0.3333333333");
    EXPECT_EQ(full, "0.3333333333333333");
    EXPECT_EQ(eval("1/3", FULL_PRECISION_ANS_NOEXPORT), "0.3333333333333333");
    const QString mathml = eval("2^10+x", MATHML_ANS_NOEXPORT);
    EXPECT_TRUE(mathml.startsWith("<math") && mathml.contains("<mn>1024</mn>") &&
                mathml.contains("<mi>x</mi>"))
        << mathml.toStdString();
    // The digits mode holds for MathML answers too.
    setMode([](Modes& m) { m.digits = 4; });
    EXPECT_TRUE(eval("2/3", MATHML_ANS_NOEXPORT).contains("<mn>0.6667</mn>"))
        << eval("2/3", MATHML_ANS_NOEXPORT).toStdString();
    setMode([](Modes& m) {
        m.digits = 0;
        m.arith = 1;
    });
    EXPECT_TRUE(eval("1/2", MATHML_ANS_NOEXPORT).contains("<mfrac><mn>1</mn><mn>2</mn></mfrac>"));
    const int bad = server->evaluate("1", AnsType(6), answer);
    EXPECT_NE(bad, 0);
    EXPECT_TRUE(errorText(bad).contains("answer type"));
}

TEST_F(Evaluate, ParseAndFormatDoesNotCalculate) {
    QString answer;
    EXPECT_EQ(server->parseAndFormat("1/3+1/6", FORMATTED_ANS, answer), 0);
    EXPECT_EQ(answer, "1/3 + 1/6");
    EXPECT_NE(server->parseAndFormat("1+(2", FORMATTED_ANS, answer), 0);
}

TEST_F(Evaluate, ExportedAnswerBecomesAns) {
    QString answer;
    ASSERT_EQ(server->evaluate("6*7", FULL_PRECISION_ANS, answer), 0);
    EXPECT_EQ(eval("ans+1"), "43");
    ASSERT_EQ(server->evaluate("1", FULL_PRECISION_ANS_NOEXPORT, answer), 0);
    EXPECT_EQ(eval("ans"), "42");
}

TEST_F(Evaluate, BadInputGivesCodesWithTexts) {
    const struct {
        QString text;
    } cases[] = {{""},
                 {"   "},
                 {"1+(2"},
                 {"2+*3"},
                 {"foo(3)"},
                 {"qwerty+1"},
                 {QString(60000, '1')},
                 {QString(100, '(') + "1" + QString(100, ')')}};
    QSet<QString> texts;
    for (const auto& c : cases) {
        eval(c.text);
        EXPECT_NE(code, 0) << c.text.left(20).toStdString();
        const QString t = errorText(code);
        EXPECT_FALSE(t.isEmpty());
        EXPECT_FALSE(t.startsWith("Unknown error"));
        texts.insert(t);
    }
    EXPECT_GE(texts.size(), 5);
    EXPECT_TRUE(errorText(12345).contains("12345"));
}

TEST_F(Evaluate, WarningsBelongToTheLastCall) {
    QStringList warnings;
    eval("qwerty");
    server->getWarnings(warnings);
    EXPECT_TRUE(warnings.join(" ").contains("qwerty"));
    eval("log(0)");
    server->getWarnings(warnings);
    EXPECT_FALSE(warnings.isEmpty());
    eval("1+1");
    server->getWarnings(warnings);
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(Evaluate, ModesBelongToEachInstance) {
    std::unique_ptr<KVQ_MathServer> other(MathComponent::server());
    ASSERT_TRUE(other);
    setMode([](Modes& m) {
        m.angle = 1;
        m.reserved = 0xabcdef;
    });
    EXPECT_EQ(server->getModes().reserved, 0xabcdefu);
    EXPECT_EQ(other->getModes().angle, 0u);
    QString answer;
    other->evaluate("sin(30)", FORMATTED_ANS_NOEXPORT, answer);
    EXPECT_NE(answer, "0.5");
    EXPECT_EQ(eval("sin(30)"), "0.5");
}

TEST_F(Evaluate, BreakFlagInterruptsTheNextCalculation) {
    EXPECT_FALSE(server->breakFlag(true));
    eval("1+1");
    EXPECT_NE(code, 0);
    EXPECT_TRUE(errorText(code).contains("interrupted"));
    EXPECT_EQ(eval("1+1"), "2");
    EXPECT_FALSE(server->breakFlag(false));
}

TEST_F(Evaluate, HelpOnFunctionsOperatorsAndUnknowns) {
    QString help;
    EXPECT_EQ(server->helpString("sin", help), 0);
    EXPECT_TRUE(help.contains("Sine") && help.contains("sin(")) << help.toStdString();
    EXPECT_EQ(server->helpString("+", help), 0);
    EXPECT_TRUE(help.contains("Addition"));
    EXPECT_EQ(server->helpString("pi", help), 0);
    EXPECT_TRUE(help.contains("3.14159")) << help.toStdString();
    EXPECT_NE(server->helpString("nosuchthing", help), 0);
    EXPECT_NE(server->helpString("", help), 0);
}

TEST_F(Evaluate, FormatFloat) {
    QString text;
    FloatFormat f{};
    f.decimalStyle = 1;
    f.digits = 2;
    server->formatFloat(3.14159, f, 0, text);
    EXPECT_EQ(text, "3.14");
    f.decimalStyle = 0;
    f.exponentStyle = 1;
    f.digits = 3;
    server->formatFloat(12345.0, f, 0, text);
    EXPECT_EQ(text, "1.23E4");
    f.exponentStyle = 2;
    server->formatFloat(12345.0, f, 0, text);
    EXPECT_EQ(text, "12.3E3");
    server->formatFloat(1.0 / 3, 6, text);
    EXPECT_LE(text.size(), 6);
    EXPECT_TRUE(text.startsWith("0.33")) << text.toStdString();
    server->formatFloat(0.0, 10, text);
    EXPECT_EQ(text, "0");
    // Norm style goes over to the exponent form only where plain digits would not do, and
    // writes it as the other styles do.
    f.exponentStyle = 0;
    f.digits = 4;
    server->formatFloat(1234567.891, f, 0, text);
    EXPECT_EQ(text, "1.235E6");
    server->formatFloat(1234.4, f, 0, text);
    EXPECT_EQ(text, "1234");
}

TEST_F(Evaluate, KeywordFileListsTheTable) {
    const char* path = reinterpret_cast<const char*>(1);
    server->keywordFilePath(path);
    ASSERT_NE(path, nullptr);
    QFile file(QString::fromLocal8Bit(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(content.contains("1 1 +\n"));
    EXPECT_TRUE(content.contains(" sin\n"));
}

} // namespace
