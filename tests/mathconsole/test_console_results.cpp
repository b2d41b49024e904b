// What the console answers, against the real math server: errors that stay on after the
// engine's own routines, exact integers in full, derivatives at corners, integrals that
// diverge, products of vectors, symbolic answers, and the symbol commands that report on
// the engine's variables, dimensions and keyword file.
#include "answerscript.h"

#include <QFile>

#include <regex>

using namespace answers;

namespace {

using ConsoleResults = RealConsoleTest;

const std::string Derivative = "function: xvar: x0: ";
const std::string Integral = "function: xvar: a: b: ";

} // namespace

TEST_F(ConsoleResults, ErrorsStayOnAfterAnIndefiniteIntegral) {
    const std::string out = run(evaluate("", {"integrate(x^2, x)", "1e999999999", "2+*3"}));
    expectIn(out, failed("1e999999999",
                         "A number in the expression is too large or too small (overflow)") +
                      warnings({"Floating point overflow"}));
    expectIn(out, failed("2+*3", "An operator in the expression is misplaced") +
                      warnings({"Misplaced operator(s) \"*\" ignored"}));
    // Also for the next command, a real value.
    expectIn(run("1\n2\n1\nintegrate(x^2, x)\nQUIT\n6\n2+*3\nQUIT\n0\n"),
             failed("2+*3", "An operator in the expression is misplaced"));
}

TEST_F(ConsoleResults, ExactIntegersAreWrittenInFull) {
    const std::string out = run(evaluate(Exact, {"30!", "2^-100", "10^5000"}));
    expectIn(out, answer("30!", "265252859812191058636308480000000"));
    expectIn(out, answer("2^-100", "1/1267650600228229401496703205376"));
    // Past the length of an expression the exponent form stays.
    expectIn(out, answer("10^5000", "1E5000"));
    const std::string hundred = "93326215443944152681699238856266700490715968264381621468592963895"
                                "2175999932299156089414639761565182862536979208272237582511852109"
                                "16864000000000000000000000000";
    expectIn(run(evaluate(Exact, {"100!"}, true)), answer("100!", hundred));
    // Automatic arithmetic keeps the engine's exponent form.
    expectIn(run(evaluate("", {"30!"})), answer("30!", "2.652528598E32"));
}

TEST_F(ConsoleResults, DerivativesAtCornersAndJumps) {
    const std::string corner =
        Derivative + error("The function is not differentiable at this point");
    // Corners and jumps, then smooth points, which keep their slopes.
    EXPECT_EQ(afterMenus(run("9\nabs(x)\nx\n0\n9\nabs(x-1)\nx\n1\n9\nsgn(x)\nx\n0\n"
                             "9\nfloor(x)\nx\n1\n9\nsin(x)\nx\n0\n9\nabs(x)\nx\n-2\n0\n")),
              (std::vector<std::string>{corner, corner, corner, corner,
                                        Derivative + "Derivative =                      1\n",
                                        Derivative + "Derivative =      -1.00000000000137\n", ""}));
}

TEST_F(ConsoleResults, IntegralsThatDivergeAtABoundOrTowardsInfinity) {
    const std::string diverges = Integral + error("The integral diverges");
    EXPECT_EQ(afterMenus(run("10\n1/x\nx\n0\n1\n10\n1/x\nx\n1\ninf\n10\n1/x\nx\n-inf\n-1\n"
                             "10\nsqrt(x)\nx\n0\ninf\n10\nsin(x)\nx\n0\ninf\n"
                             "10\n1/x^2\nx\n1\ninf\n10\nexp(-x)\nx\n0\ninf\n0\n")),
              (std::vector<std::string>{
                  diverges, diverges, diverges, diverges,
                  // An oscillation that never settles has no value, rather than a large one.
                  Integral + error("The numeric method did not converge"),
                  Integral + "Integral =                      1\n",
                  Integral + "Integral =                      1\n", ""}));
}

TEST_F(ConsoleResults, ProductsOfVectorsNameTheFunctionsToUse) {
    const std::string out = run(evaluate("", {"[1,2,3]*[4,5,6]", "cross([1,2,3], [4,5,6])"}));
    expectIn(out, failed("[1,2,3]*[4,5,6]",
                         "Vectors are not multiplied with an operator: use cross(), dot() or "
                         "hadamard()"));
    expectIn(out, answer("cross([1,2,3], [4,5,6])", "[-3  6  -3]"));
}

TEST_F(ConsoleResults, SymbolicAnswersShowThePlainFunction) {
    const std::string out = run(evaluate("", {"cos(x)", "sin(2x) + tan(y)", "diff(sin(x), x)"}));
    expectIn(out, answer("cos(x)", "cos(x)"));
    expectIn(out, answer("sin(2x) + tan(y)", "sin(2x) + tan(y)"));
    expectIn(out, answer("diff(sin(x), x)", "cos(x)"));
    expectIn(run(parseAndFormat({"cos(x)^2"})), answer("cos(x)^2", "cos(x)^2"));
}

TEST_F(ConsoleResults, SymbolCommandsAgreeOnTheEnginesVariables) {
    const std::string out = run("30\npi+x\n26\npi\n27\npi\n26\nx\n27\nx\n26\nnosuch\n0\n");
    expectIn(out, "expression: 2 variables in \"pi+x\"\npi\nx\n");
    expectIn(out, "varname: pi has type EXPRESSION_TYPE\n");
    expectIn(out, "varname: Value of pi is:\n3.141592653589793\n");
    // An unknown of the engine stands for itself.
    expectIn(out, "varname: x has type EXPRESSION_TYPE\n");
    expectIn(out, "varname: Value of x is:\nx\n");
    expectIn(out, "varname: " + error("No such variable"));
}

TEST_F(ConsoleResults, DimensionsOfScalarsListsAndMatrices) {
    const std::string out = run("29\n5\n29\n[1,2,3]\n29\n[1,2;3,4;5,6]\n0\n");
    expectIn(out, "expression: rowDim = 1\ncolDim = 1\n");
    expectIn(out, "expression: rowDim = 3\ncolDim = 0\n");
    expectIn(out, "expression: rowDim = 3\ncolDim = 2\n");
}

TEST_F(ConsoleResults, TheKeywordFileStaysAfterTheConsole) {
    const std::string out = run("19\n0\n");
    std::smatch path;
    ASSERT_TRUE(std::regex_search(out, path, std::regex("keyword file path = (.*)\n"))) << out;
    EXPECT_EQ(path[1].str().rfind(KV_TEST_CACHE_DIR, 0), 0u) << path[1].str();
    QFile file(QString::fromStdString(path[1].str()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("1 1 +\n"));
    EXPECT_TRUE(content.contains(" sin\n"));
}
