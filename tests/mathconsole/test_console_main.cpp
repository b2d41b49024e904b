// The menu loop, input parsing, end of input, and start-up failures.
#include "fakeconsole.h"

using namespace transcript;

namespace {
const std::string kPolarPrompts = "r function: thetavar: theta0: ";
const std::string kPolarAnswer = "dr/dtheta =                    1.5\n"
                                 "dy/dx     =                   -1.5\n";
} // namespace

TEST(ConsoleMenu, QuittingAtOnceShowsTheDashedLineTwiceAndTheMemoryDifference) {
    EXPECT_SESSION(runFake("0\n"), quit());
}

TEST(ConsoleMenu, SelectionIsTheLeadingNumberOfTheLine) {
    // "12abc" selects 12; blanks before the number are skipped; "+21" is 21.
    const std::string input = "12abc\nr\nt\n1.5\n   12\nr\nt\n1.5\n+21\n0\n";
    const std::string polar = kPolarPrompts + kPolarAnswer;
    EXPECT_SESSION(runFake(input),
                   atMenu() + polar + atMenu() + polar + atMenu() + "2<?a>\n" + quit());
}

TEST(ConsoleMenu, BadSelectionsShowTheMenuAgainWithoutTheDashedLine) {
    const std::string input = "34\n-1\nword\n\n99999999999\n0\n";
    std::string expected = atMenu();
    for (int i = 0; i < 5; ++i)
        expected += outOfRange + menu;
    expected += closing;
    EXPECT_SESSION(runFake(input), expected);
}

TEST(ConsoleMenu, EndOfInputShutsDownLikeChoiceZero) {
    // At the menu, with and without a last line feed, and inside a range loop.
    EXPECT_SESSION(runFake(""), quit());
    EXPECT_SESSION(runFake("21\n0"), atMenu() + "2<?a>\n" + quit());
    EXPECT_SESSION(runFake("99\n"), atMenu() + outOfRange + menu + closing);
}

TEST(ConsoleMenu, EndOfInputInsideCommandsShutsDown) {
    const std::string modeLine = "auto radians real-calc a+b*i SI rectangular float norm auto \n";
    // Evaluate, waiting for an expression.
    EXPECT_SESSION(runFake("1\n2\n1\n1+1\n"),
                   atMenu() + ansType +
                       "1. I don't want to see the full precision 1D answer.\n"
                       "2. I want to see the full precision 1D answer, too.\n? " +
                       modeLine +
                       "ENTER EXPRESSION (or QUIT)\n INPUT = 1+1\n   ANS = eval1(1+1)\n" +
                       "ENTER EXPRESSION (or QUIT)\n" + closing);
    // A number prompt.
    EXPECT_SESSION(runFake("12\nr\nt\n"), atMenu() + kPolarPrompts + closing);
    // Receptor creation count, and item 15's parameter names.
    EXPECT_SESSION(runFake("31\n"), atMenu() + "Number of receptor objects to create: " + closing);
    EXPECT_SESSION(runFake("15\nf\n2\nx\n"),
                   atMenu() + "function: Number of parameters: parm name1: parm name2: " + closing);
}

TEST(ConsoleMenu, HugeParameterCountReadsNamesOneByOne) {
    EXPECT_SESSION(runFake("15\nf\n2147483647\na\nb\n"),
                   atMenu() +
                       "function: Number of parameters: parm name1: parm name2: "
                       "parm name3: " +
                       closing);
}

TEST(ConsoleMenu, LineLongerThanItsBufferIsReadInParts) {
    // The help prompt reads 255 characters; the rest of the line ("QUIT") ends the command.
    const std::string keyword(255, 'k');
    EXPECT_SESSION(runFake("3\n" + keyword + "QUIT\n0\n"),
                   atMenu() + "Enter a keyword or operator for help (or QUIT): Help for " +
                       keyword + " = about " + keyword +
                       " \xCF\x80\nEnter a keyword or operator for help (or QUIT): " + quit());
}

TEST(ConsoleStartup, MissingMathServerGivesOneLineAndStatusOne) {
    for (const char* servers : {"0", "1"}) { // the first instance, then the working one
        const ConsoleResult r = runFake("0\n", {{"KV_FAKE_SERVERS", servers}});
        EXPECT_EQ(r.exitCode, 1) << servers;
        EXPECT_EQ(r.out, "") << servers;
        const std::string line =
            "mathconsole: cannot create a math server (class KVQ_MathServer)\n";
        ASSERT_GE(r.err.size(), line.size());
        EXPECT_EQ(r.err.substr(r.err.size() - line.size()), line) << servers;
    }
}
