// The console's answers against the real math server, where they once went wrong: conversion
// targets in US units, rounding residue in approximate arithmetic, division by zero, the error
// that names what went wrong, time sums, and input typed in UTF-8 or Latin-1.
#include "answerscript.h"

using namespace answers;

namespace {
using ConsoleAnswers = RealConsoleTest;
} // namespace

TEST_F(ConsoleAnswers, AnExplicitTargetWinsInEveryUnitsMode) {
    for (const std::string& modes : {std::string(), UsUnits}) {
        const std::string out = run(evaluate(modes, {"1 mi to km", "5 km to mi"}));
        expectIn(out, answer("1 mi to km", "1.609344 km"));
        expectIn(out, answer("5 km to mi", "3.106855961 mi"));
    }
    // Without a target the result still follows the mode.
    expectIn(run(evaluate(UsUnits, {"1 mi"})), answer("1 mi", "5280 ft"));
}

TEST_F(ConsoleAnswers, ApproximateResiduesOfZeroAreZeroAndPrecisionStays) {
    const std::string out = run(evaluate(Approximate, {"sqrt(2)^2-2", "sqrt(5)*sqrt(5)-5"}));
    expectIn(out, answer("sqrt(2)^2-2", "0"));
    expectIn(out, answer("sqrt(5)*sqrt(5)-5", "0"));
    const std::string full = run(evaluate(Approximate, {"sqrt(2)", "1/3", "pi*1E20"}, true));
    expectIn(full, answer("sqrt(2)", "1.414213562373095"));
    expectIn(full, answer("1/3", "0.3333333333333333"));
    expectIn(full, answer("pi*1E20", "3.141592653589793E20"));
}

TEST_F(ConsoleAnswers, DivisionByZeroKeepsTheAnswerAndWarns) {
    expectIn(run(evaluate("", {"1/0", "1/2"})),
             answer("1/0", "1/0") + "  WARNINGS:\n    The expression divides by zero\n" +
                 "ENTER EXPRESSION (or QUIT)\n" + answer("1/2", "0.5") +
                 "ENTER EXPRESSION (or QUIT)\n");
}

TEST_F(ConsoleAnswers, ErrorsSayWhatWentWrong) {
    const std::string out = run(evaluate("", {"1e999999999", "2+*3", "2+"}));
    expectIn(out, " INPUT = 1e999999999\n" +
                      error("A number in the expression is too large or too small (overflow)") +
                      "  WARNINGS:\n");
    expectIn(out, " INPUT = 2+*3\n" + error("An operator in the expression is misplaced"));
    expectIn(out, " INPUT = 2+\n" + error("Syntax error in the expression"));

    // Derivative and integral: function, variable, then the point or the bounds.
    const std::string numeric =
        run("9\nx^2\ny\n1\n10\n1/x\nx\n-1\n1\n9\nsqrt(x)\nx\n0\n"
            "10\n1/x\nx\n1\n2\n10\nsqrt(x)\nx\n-1\n1\n9\nsqrt(x)\nx\n-1\n0\n");
    const std::string prompts = "function: xvar: x0: ";
    const std::string bounds = "function: xvar: a: b: ";
    expectIn(numeric, prompts + error("Unknown variable: the function depends on a variable other "
                                      "than the one named"));
    expectIn(numeric, bounds + error("The integral diverges"));
    expectIn(numeric, prompts + error("The function is not differentiable at this point"));
    // A pole outside the interval, and a function without real values, keep their answers.
    expectIn(numeric, bounds + "Integral =      0.693147180559945\n");
    expectIn(numeric, bounds + error("The result is not a real number"));
    expectIn(numeric, prompts + error("The result is not a real number"));
}

TEST_F(ConsoleAnswers, TimesInHoursMinutesAndSeconds) {
    for (const std::string& modes : {std::string(), UsUnits}) {
        const std::string out =
            run(evaluate(modes, {"2 h + 30 min", "9000 s", "90 s", "0.5 s", "2 h to min"}));
        expectIn(out, answer("2 h + 30 min", "2 h + 30 min"));
        expectIn(out, answer("9000 s", "2 h + 30 min"));
        expectIn(out, answer("90 s", "1 min + 30 s"));
        expectIn(out, answer("0.5 s", "0.5 s"));
        expectIn(out, answer("2 h to min", "120 min"));
    }
}

TEST_F(ConsoleAnswers, Utf8AndLatin1InputGiveTheSameAnswers) {
    const std::string out = run(evaluate("", {"25 \xC2\xB0"
                                              "C to \xC2\xB0"
                                              "F",
                                              "\xCF\x80*2", "\xE2\x88\x9A(16)",
                                              "2\xC3\x97"
                                              "3",
                                              "5 \xE2\x82\xAC",
                                              "25 \xB0"
                                              "C to \xB0"
                                              "F",
                                              "2\xD7"
                                              "3"}));
    expectIn(out, answer("25 \xC2\xB0"
                         "C to \xC2\xB0"
                         "F",
                         "77 oF"));
    expectIn(out, answer("\xCF\x80*2", "6.283185307"));
    expectIn(out, answer("\xE2\x88\x9A(16)", "4"));
    expectIn(out, answer("2\xC3\x97"
                         "3",
                         "6"));
    expectIn(out, answer("5 \xE2\x82\xAC", "EUR 5"));
    // The same text in Latin-1 bytes.
    EXPECT_EQ(answerAfter(out, "25 \xB0"
                               "C to \xB0"
                               "F"),
              answerAfter(out, "25 \xC2\xB0"
                               "C to \xC2\xB0"
                               "F"));
    EXPECT_EQ(answerAfter(out, "2\xD7"
                               "3"),
              answerAfter(out, "2\xC3\x97"
                               "3"));
}
