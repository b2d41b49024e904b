#include "numericcommands.h"

#include "consoleio.h"
#include "consolestate.h"
#include "kvq_mathserver.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
// A function text and its variable name, the first two inputs of most commands here.
struct FunctionInput {
    CBuffer function;
    char variable[kShortLine] = {};

    // False, after the console's message, when the buffer cannot be had.
    bool read(const char* functionPrompt, const char* variablePrompt) {
        function = allocBuffer(kLongLine);
        return function && readLine(functionPrompt, function.get(), kLongLine) &&
               readLine(variablePrompt, variable, sizeof variable);
    }
    QString functionText() const { return fromInput(function.get()); }
    QString variableName() const { return fromInput(variable); }
};
} // namespace

void extremumCommand(bool maximum) {
    FunctionInput in;
    double xmin = 0, xmax = 0, xguess = 0;
    if (!in.read("function: ", "xvar: ") || !readDouble("xmin: ", xmin) ||
        !readDouble("xmax: ", xmax) || !readDouble("xguess: ", xguess))
        return;
    double x = 0, y = 0;
    const int code = maximum ? console::server->GC_FMax(in.functionText(), in.variableName(), xmin,
                                                        xmax, xguess, x, y)
                             : console::server->GC_FMin(in.functionText(), in.variableName(), xmin,
                                                        xmax, xguess, x, y);
    if (code != 0) {
        printError(code);
        return;
    }
    std::printf(maximum ? "Local maximum at (%21.15g,%21.15g)\n"
                        : "Local minimum at (%21.15g,%21.15g)\n",
                x, y);
    printWarnings();
}

void derivativeCommand() {
    FunctionInput in;
    double x0 = 0;
    if (!in.read("function: ", "xvar: ") || !readDouble("x0: ", x0))
        return;
    double derivative = 0;
    const int code =
        console::server->GC_FDerivative(in.functionText(), in.variableName(), x0, derivative);
    if (code != 0) {
        printError(code);
        return;
    }
    std::printf("Derivative =  %21.15g\n", derivative);
    printWarnings();
}

void integralCommand() {
    FunctionInput in;
    double a = 0, b = 0;
    if (!in.read("function: ", "xvar: ") || !readDouble("a: ", a) || !readDouble("b: ", b))
        return;
    double integral = 0;
    const int code =
        console::server->GC_FIntegral(in.functionText(), in.variableName(), a, b, integral);
    if (code != 0) {
        printError(code);
        return;
    }
    std::printf("Integral =  %21.15g\n", integral);
    printWarnings();
}

void intersectCommand() {
    CBuffer first = allocBuffer(kLongLine);
    if (!first)
        return;
    FunctionInput second;
    double xmin = 0, xmax = 0, guess = 0;
    if (!readLine("function 1: ", first.get(), kLongLine) ||
        !second.read("function 2: ", "xvar: ") || !readDouble("xmin: ", xmin) ||
        !readDouble("xmax: ", xmax) || !readDouble("guess: ", guess))
        return;
    double x = 0, y = 0;
    const int code = console::server->GC_FIntersect(fromInput(first.get()), second.functionText(),
                                                    second.variableName(), xmin, xmax, guess, x, y);
    if (code != 0) {
        printError(code);
        return;
    }
    std::printf("Intersection at (%21.15g, %21.15g)\n", x, y);
}

void polarSlopeCommand() {
    FunctionInput in;
    double theta0 = 0;
    if (!in.read("r function: ", "thetavar: ") || !readDouble("theta0: ", theta0))
        return;
    double drdtheta = 0, dydx = 0;
    const int code = console::server->GC_PolarSlope(in.functionText(), in.variableName(), theta0,
                                                    drdtheta, dydx);
    if (code != 0) {
        printError(code);
        return;
    }
    std::printf("dr/dtheta =  %21.15g\n", drdtheta);
    std::printf("dy/dx     =  %21.15g\n", dydx);
    printWarnings();
}

void parametricSlopeCommand() {
    CBuffer xFunction = allocBuffer(kLongLine);
    if (!xFunction)
        return;
    FunctionInput y;
    double t0 = 0;
    if (!readLine("x function: ", xFunction.get(), kLongLine) ||
        !y.read("y function: ", "tvar: ") || !readDouble("t0: ", t0))
        return;
    double dydx = 0, dxdt = 0, dydt = 0;
    const int code = console::server->GC_ParametricSlope(
        fromInput(xFunction.get()), y.functionText(), y.variableName(), t0, dydx, dxdt, dydt);
    if (code != 0) {
        printError(code);
        return;
    }
    std::printf("dy/dx =  %21.15g\n", dydx);
    std::printf("dx/dt =  %21.15g\n", dxdt);
    std::printf("dy/dt =  %21.15g\n", dydt);
    printWarnings();
}

void evalFunctionCommand() {
    CBuffer function = allocBuffer(kLongLine);
    if (!function || !readLine("function: ", function.get(), kLongLine))
        return;
    ParsedFunction parsed;
    std::memset(&parsed, 0, sizeof parsed);
    // The parse record's data comes from the C allocator and goes back to it on every path.
    struct ParsedData {
        ParsedFunction& parsed;
        ~ParsedData() { std::free(parsed.data); }
    } release{parsed};

    const int parseCode = console::server->GC_EvalFParse(fromInput(function.get()), parsed);
    if (parseCode != 0) {
        printError(parseCode);
        return;
    }
    int count = 0;
    if (!readInt("Number of parameters: ", 0, INT_MAX, count))
        return;

    // The names are read one by one, so a large count costs nothing before its names arrive.
    std::vector<CBuffer> nameBuffers;
    std::vector<char*> names;
    for (int i = 1; i <= count; ++i) {
        CBuffer name = allocBuffer(kShortLine);
        if (!name)
            return;
        std::printf("parm name%d", i);
        if (!readLine(": ", name.get(), kShortLine))
            return;
        names.push_back(name.get());
        nameBuffers.push_back(std::move(name));
    }
    names.push_back(nullptr);
    std::vector<double> values(nameBuffers.size() + 1, 0.0);

    for (;;) {
        for (size_t i = 0; i < nameBuffers.size(); ++i) {
            std::fputs(names[i], stdout);
            if (!readDouble(" = ", values[i]))
                return;
        }
        double result = 0;
        const int code = console::server->GC_EvalF(parsed, names.data(), values.data(), result);
        if (code != 0) {
            printError(code);
        } else {
            std::fputs("rval = ", stdout);
            writeStreamNumber(result);
        }
        int again = 0;
        if (!readInt("\n0. Quit, 1. Again: ", 0, 1, again) || again == 0)
            return;
    }
}
