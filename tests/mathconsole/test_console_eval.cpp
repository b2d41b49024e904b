// Evaluation, modes, help and formatting commands (items 1, 2, 3, 16, 17, 18, 19).
#include "fakeconsole.h"

using namespace transcript;

namespace {
const std::string kFullPrecisionQuestion =
    "1. I don't want to see the full precision 1D answer.\n"
    "2. I want to see the full precision 1D answer, too.\n? ";
const std::string kDefaultModeLine =
    "auto radians real-calc a+b*i SI rectangular float norm auto \n";
const std::string kEnter = "ENTER EXPRESSION (or QUIT)\n";
const std::string kWarnings = "  WARNINGS:\n    first warning\n    second warning\n";
} // namespace

TEST(ConsoleEvaluate, FullPrecisionFormErrorsWarningsAndQuit) {
    const std::string input = "1\n2\n2\n1+2\nwarnme\nerrwarn\nquit\nminus\nQUITTER\n0\n";
    const std::string expected =
        atMenu() + ansType + kFullPrecisionQuestion + kDefaultModeLine + kEnter +
        " INPUT = 1+2\n    ANS = eval1(1+2)\nFP1DANS = fp(1+2)\n" + kEnter +
        " INPUT = warnme\n    ANS = eval1(warnme)\nFP1DANS = fp(warnme)\n" + kWarnings + kEnter +
        " INPUT = errwarn\n ERROR: fake failure 7\n" + kWarnings + kEnter +
        " INPUT = quit\n    ANS = eval1(quit)\nFP1DANS = fp(quit)\n" + kEnter +
        " INPUT = minus\n    ANS = \xE2\x88\x92"
        "1\nFP1DANS = fp(minus)\n" +
        kEnter + quit();
    EXPECT_SESSION(runFake(input), expected);
}

TEST(ConsoleEvaluate, FullPrecisionQuestionOnlyForOtherAnswerTypes) {
    // Types 1 and 4 (full precision) skip the question; type 3 answered 1 keeps the short form.
    const std::string input = "1\n1\nx\nQUIT\n1\n4\nQUIT\n1\n3\n1\ny\nQUIT\n0\n";
    const std::string expected = atMenu() + ansType + kDefaultModeLine + kEnter +
                                 " INPUT = x\n   ANS = eval0(x)\n" + kEnter + atMenu() + ansType +
                                 kDefaultModeLine + kEnter + atMenu() + ansType +
                                 kFullPrecisionQuestion + kDefaultModeLine + kEnter +
                                 " INPUT = y\n   ANS = eval2(y)\n" + kEnter + quit();
    EXPECT_SESSION(runFake(input), expected);
}

TEST(ConsoleEvaluate, ParseAndFormatNeverAsksForFullPrecision) {
    EXPECT_SESSION(runFake("16\n5\nx\nerr\nQUIT\n0\n"),
                   atMenu() + ansType + kDefaultModeLine + kEnter +
                       " INPUT = x\n   ANS = pf4(x)\n" + kEnter +
                       " INPUT = err\n ERROR: fake failure 17\n" + kEnter + quit());
}

TEST(ConsoleModes, EditorStoresEachChoiceAndShowsTheRecord) {
    // Domain real-result, decimal style fixed, digits 0, arith approx; then the unnumbered line.
    const std::string input = "2\n3\n2\n7\n2\n9\n0\n1\n3\n0\n1\n1\nQUIT\n0\n";
    auto numbered = [](const char* arith, const char* domain, const char* style,
                       const char* digits) {
        return std::string("1. Arith: ") + arith + "\n2. Angle: radians \n3. Domain: " + domain +
               "\n4. Complex Form: a+b*i \n5. Units: SI \n6. Vector Form: rectangular "
               "\n7. Decimal Style: " +
               style + "\n8. Exponent Style: norm \n9. Digits: " + digits + "\n";
    };
    const std::string which = "Which mode do you want to change? (0 to quit)  ";
    const std::string expected =
        atMenu() + numbered("auto ", "real-calc ", "float ", "auto ") + which +
        "Domain\n1. real-calc\n2. real-result\n3. complex\n? " +
        numbered("auto ", "real-result", "float ", "auto ") + which +
        "Decimal Style\n1. float\n2. fixed\n? " + numbered("auto ", "real-result", "fixed ", "0") +
        which + "Digits ? " + numbered("auto ", "real-result", "fixed ", "0") + which +
        "Arith\n1. auto\n2. exact\n3. approx\n? " +
        numbered("approx ", "real-result", "fixed ", "0") + which + atMenu() + ansType +
        "approx radians real-resulta+b*i SI rectangular fixed norm 0\n" + kEnter + quit();
    EXPECT_SESSION(runFake(input), expected);
}

TEST(ConsoleModes, ValuesWithoutTextWriteNothingAndDigitsUseDecimal) {
    // arith 3 has no text; decimal style fixed with 12 digits.
    const std::string input = "1\n1\nrawmodes c01000003\nQUIT\n6\nQUIT\n0\n";
    EXPECT_SESSION(runFake(input), atMenu() + ansType + kDefaultModeLine + kEnter +
                                       " INPUT = rawmodes c01000003\n   ANS = eval0(rawmodes "
                                       "c01000003)\n" +
                                       kEnter + atMenu() +
                                       "radians real-calc a+b*i SI rectangular fixed norm 12\n" +
                                       kEnter + quit());
}

TEST(ConsoleHelp, HelpTextErrorsAndNoWarningsAfterSuccess) {
    const std::string prompt = "Enter a keyword or operator for help (or QUIT): ";
    EXPECT_SESSION(runFake("3\n+\nwarn\nerrwarn\nQUIT\n0\n"),
                   atMenu() + prompt + "Help for + = about + \xCF\x80\n" + prompt +
                       "Help for warn = about warn \xCF\x80\n" + prompt +
                       " ERROR: fake failure 3\n" + kWarnings + prompt + quit());
}

TEST(ConsoleFormatFloat, DefaultAndSpecifiedFormatsWithAgainLoop) {
    const std::string choose = "1. Default format\n2. Specify format.\n? ";
    const std::string again = "0. Quit, 1. Again ? ";
    EXPECT_SESSION(runFake("17\n10\n1\n2.5\n1\nabc\n0\n17\n5\n2\n2\n3\n7\n-1.25\n0\n0\n"),
                   atMenu() + "maximum width: " + choose + "Enter float: default w10 2.5\n" +
                       again + "Enter float: default w10 0\n" + again + atMenu() +
                       "maximum width: " + choose +
                       "Decimal Style\n1. float\n2. fixed\n? Exponent Style\n1. norm\n2. sci\n"
                       "3. eng\n? Digits ? Enter float: d1 e2 g7 w5 -1.25\n" +
                       again + quit());
}

TEST(ConsoleMisc, BreakFlagKeywordPathAndLatin1Conversion) {
    // The flag starts true and then takes what the server returned.
    EXPECT_SESSION(runFake("18\n18\n19\n21\n0\n"), atMenu() + "Setting breakflag to 1\n" +
                                                       atMenu() + "Setting breakflag to 0\n" +
                                                       atMenu() + atMenu() + "2<?a>\n" + quit());
    EXPECT_SESSION(runFake("19\n0\n", {{"KV_FAKE_KEYWORD_PATH", "/opt/kw/keywords.txt"}}),
                   atMenu() + "keyword file path = /opt/kw/keywords.txt\n" + quit());
}
