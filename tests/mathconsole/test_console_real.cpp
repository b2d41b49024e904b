// The console against the real math server and symbol-watch hub: what a user sees end to end.
// Answers whose wording belongs to the engine are checked for their meaning only.
#include "consolerun.h"
#include "transcript.h"

#include <gtest/gtest.h>

using namespace transcript;

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(ConsoleRealServer, EvaluatesAndShutsDown) {
    const ConsoleResult r = runRealConsole("1\n1\n1+2\nQUIT\n0\n");
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, atMenu() + ansType +
                         "auto radians real-calc a+b*i SI rectangular float norm auto \n"
                         "ENTER EXPRESSION (or QUIT)\n INPUT = 1+2\n   ANS = 3\n"
                         "ENTER EXPRESSION (or QUIT)\n" +
                         quit());
}

TEST(ConsoleRealServer, ModesChangeTheAnswers) {
    // Arith exact, angle degrees, domain complex; then evaluate three expressions.
    const ConsoleResult r =
        runRealConsole("2\n1\n2\n2\n2\n3\n3\n0\n1\n1\n1/3+1/6\nsin(30)\nsqrt(-4)\nQUIT\n0\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(contains(r.out, "exact degrees complex a+b*i SI rectangular float norm auto \n"));
    EXPECT_TRUE(contains(r.out, " INPUT = 1/3+1/6\n   ANS = 1/2\n")) << r.out;
    EXPECT_TRUE(contains(r.out, " INPUT = sin(30)\n   ANS = 1/2\n")) << r.out;
    EXPECT_TRUE(contains(r.out, " INPUT = sqrt(-4)\n   ANS = 2i\n")) << r.out;
    // Approximate arithmetic gives the decimal.
    const ConsoleResult approx = runRealConsole("2\n1\n3\n0\n1\n1\n1/3+1/6\nQUIT\n0\n");
    EXPECT_TRUE(contains(approx.out, " INPUT = 1/3+1/6\n   ANS = 0.5\n")) << approx.out;
}

TEST(ConsoleRealServer, MinimumOfAParabola) {
    const ConsoleResult r = runRealConsole("7\n(x-1)^2\nx\n-5\n5\n0\n0\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(contains(r.out, "function: xvar: xmin: xmax: xguess: Local minimum at (" +
                                    std::string(20, ' ') + "1," + std::string(20, ' ') + "0)\n"))
        << r.out;
}

TEST(ConsoleRealServer, WatchedVariableChangesAreReportedBetweenPrompts) {
    // Receptor 1 watches foo, receptor 2 does not; foo is defined, redefined and deleted.
    const ConsoleResult r = runRealConsole("31\n2\n33\n1\n0\n1\nfoo\n"
                                           "20\nfoo\n1\n5\n1\n20\nfoo\n1\n6\n1\n20\nfoo\n2\n0\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    const std::string relevant = "Receptor 1 (1) reports a symchanged event 1.\n";
    const std::string irrelevant = "Receptor 2 (2) reports an irrelevant symchanged event 1.\n";
    const std::string none = lists("*NONE*", "*NONE*", "*NONE*", "*NONE*");
    for (const std::string& change :
         {lists("foo ", "*NONE*", "*NONE*", "foo "), lists("*NONE*", "*NONE*", "foo ", "foo "),
          lists("*NONE*", "foo ", "*NONE*", "foo ")})
        EXPECT_TRUE(contains(r.out, change + relevant + none + irrelevant + "Done\n")) << r.out;
}
