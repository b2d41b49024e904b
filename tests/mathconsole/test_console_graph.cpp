// Graph computation commands (items 4 to 15): point tables, numbers, arrays, parameters.
#include "fakeconsole.h"

using namespace transcript;

namespace {
const std::string kDiscontinuity = "0. No discontiuity detection\n1. Detect discontinuities\n? ";
const std::string kGraphPrompts = "function: xvar: xmin: xmax: xstep: " + kDiscontinuity;
const std::string kWarnings = "  WARNINGS:\n    first warning\n    second warning\n";
} // namespace

TEST(ConsoleGraph, PointTableWithFlagWords) {
    // Each flag alone, bit 0x01 alone (no word) and all four flags on one point.
    EXPECT_SESSION(runFake("4\nfflags\nx\n0\n6\n1\n5\n1\n0\n"),
                   atMenu() + kGraphPrompts + outOfRange + kDiscontinuity +
                       "(                    0,                     0)\n"
                       "(                    1,                     1) UNDEF\n"
                       "(                    2,                     4) MINUS_INFINITY\n"
                       "(                    3,                     9) INFINITY\n"
                       "(                    4,                    16) NOT_CONTINUOUS\n"
                       "(                    5,                    25)\n"
                       "(                    6,                    36) UNDEF MINUS_INFINITY "
                       "INFINITY NOT_CONTINUOUS\n"
                       "  WARNINGS:\n    xvar=x detect=1\n" +
                       quit());
}

TEST(ConsoleGraph, PointTableWithoutFlagsEmptyAndFailed) {
    EXPECT_SESSION(
        runFake("4\nf\nt\n0.5\n1\n0.25\n0\n4\nf\nx\n1\n0\n1\n0\n4\nerr\nx\n0\n1\n1\n0\n0\n"),
        atMenu() + kGraphPrompts +
            "(                  0.5,                  0.25)\n"
            "(                 0.75,                0.5625)\n"
            "(                    1,                     1)\n"
            "  WARNINGS:\n    xvar=t detect=0\n" +
            atMenu() + kGraphPrompts + "  WARNINGS:\n    xvar=x detect=0\n" + atMenu() +
            kGraphPrompts + " ERROR: fake failure 4\n  WARNINGS:\n    xvar=x detect=0\n" + quit());
}

TEST(ConsoleGraph, ParametricTableHasNoWarningsAfterSuccess) {
    EXPECT_SESSION(runFake("5\nflags\n-t\nt\n0\n2\n1\n1\n0\n"),
                   atMenu() + "x function: y function: tvar: tmin: tmax: tstep: " + kDiscontinuity +
                       "(                    0,                     0,                     0)\n"
                       "(                    1,                     2,                    -1) "
                       "UNDEF\n"
                       "(                    2,                     4,                    -2) "
                       "MINUS_INFINITY\n" +
                       quit());
}

TEST(ConsoleGraph, RealValueLoopInStreamForm) {
    EXPECT_SESSION(runFake("6\n1234567.5\nwarn\nerr\nQUIT\n0\n"),
                   atMenu() + "auto radians real-calc a+b*i SI rectangular float norm auto \n" +
                       "ENTER EXPRESSION (or QUIT)\n INPUT = 1234567.5\n real value = 1.23457e+06\n"
                       "ENTER EXPRESSION (or QUIT)\n INPUT = warn\n real value = 0\n" +
                       kWarnings +
                       "ENTER EXPRESSION (or QUIT)\n INPUT = err\n ERROR: fake failure 6\n"
                       "ENTER EXPRESSION (or QUIT)\n" +
                       quit());
}

TEST(ConsoleGraph, NumericResultsAndWhichCommandsShowWarnings) {
    const std::string input = "7\nf\nx\n1\n4\n2.5\n"
                              "8\nwarn\nx\n1\n4\n2.5\n"
                              "9\nf\nx\n0.1\n"
                              "10\nwarn\nx\n1\n3.5\n"
                              "11\nwarn1\nf2\nx\n1\n2\n1.5\n"
                              "12\nerr\nt\n1\n"
                              "13\nwarn\ny\nt\n2\n0\n";
    EXPECT_SESSION(
        runFake(input),
        atMenu() + "function: xvar: xmin: xmax: xguess: " +
            "Local minimum at (                  2.5,                    3)\n" + atMenu() +
            "function: xvar: xmin: xmax: xguess: " +
            "Local maximum at (                  2.5,                   -3)\n" + kWarnings +
            atMenu() + "function: xvar: x0: Derivative =                    0.2\n" + atMenu() +
            "function: xvar: a: b: Integral =                    2.5\n" + kWarnings + atMenu() +
            "function 1: function 2: xvar: xmin: xmax: guess: "
            "Intersection at (                  1.5,                     3)\n" +
            atMenu() + "r function: thetavar: theta0:  ERROR: fake failure 12\n" + atMenu() +
            "x function: y function: tvar: t0: dy/dx =                      2\n"
            "dx/dt =                      4\ndy/dt =                      6\n" +
            kWarnings + quit());
}

TEST(ConsoleGraph, RealArraysAsListsAndMatrices) {
    const std::string prompt = "Enter expression: ";
    EXPECT_SESSION(runFake("14\nlist:1,2,3\n14\nlist:\n14\nmatrix:2:1,2,3,4\n14\nmatrix:2:\n"
                           "14\nlist:1234567.5,-0.000012345\n14\nerrwarn\n0\n"),
                   atMenu() + prompt + "{1,2,3}\n" + atMenu() + prompt + "{}\n" + atMenu() +
                       prompt + "[1,2]\n[3,4]\n" + atMenu() + prompt + atMenu() + prompt +
                       "{1.23457e+06,-1.2345e-05}\n" + atMenu() + prompt +
                       " ERROR: fake failure 14\n" + kWarnings + quit());
}

TEST(ConsoleGraph, FunctionWithParametersAgainLoopAndFailures) {
    const std::string again = "\n0. Quit, 1. Again: ";
    const std::string start = "function: Number of parameters: ";
    EXPECT_SESSION(runFake("15\nf\n2\nx\ny\n1.5\n2\n1\n3\n4\n0\n"
                           "15\ncount\n0\n0\n"
                           "15\nerr\n"
                           "15\nfails\n1\nz\n2\n0\n0\n"),
                   atMenu() + start + "parm name1: parm name2: x = y = rval = 5.5" + again +
                       "x = y = rval = 11" + again + atMenu() + start + "rval = 0" + again +
                       atMenu() + "function:  ERROR: fake failure 15\n" + atMenu() + start +
                       "parm name1: z =  ERROR: fake failure 16\n" + again + quit());
}
