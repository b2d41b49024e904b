#include "graphcommands.h"

#include "consoleio.h"
#include "consolestate.h"
#include "kvq_mathserver.h"
#include "modecommands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// Asks whether discontinuities are to be detected.
bool askDiscontinuities(bool& detect) {
    int choice = 0;
    if (!readInt("0. No discontiuity detection\n1. Detect discontinuities\n? ", 0, 1, choice))
        return false;
    detect = choice != 0;
    return true;
}

// Ends a point line: the names of the flag bits set for the point, then a line break.
void finishPointLine(const unsigned char* flags, uint32_t index) {
    if (flags) {
        const unsigned char flag = flags[index];
        if (flag & UNDEF)
            std::fputs(" UNDEF", stdout);
        if (flag & MINUS_INFINITY)
            std::fputs(" MINUS_INFINITY", stdout);
        if (flag & INFINITY_FLAG)
            std::fputs(" INFINITY", stdout);
        if (flag & NOT_CONTINUOUS)
            std::fputs(" NOT_CONTINUOUS", stdout);
    }
    std::fputs("\n", stdout);
}

// Writes values[0..count) in stream form, separated by commas.
void printRow(const double* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            std::fputs(",", stdout);
        writeStreamNumber(values[i]);
    }
}
} // namespace

void graphExpressionCommand() {
    CBuffer function = allocBuffer(kLongLine);
    if (!function)
        return;
    char xvar[kShortLine];
    double xmin = 0, xmax = 0, xstep = 0;
    bool detect = false;
    if (!readLine("function: ", function.get(), kLongLine) ||
        !readLine("xvar: ", xvar, sizeof xvar) || !readDouble("xmin: ", xmin) ||
        !readDouble("xmax: ", xmax) || !readDouble("xstep: ", xstep) || !askDiscontinuities(detect))
        return;
    GraphData data;
    std::memset(&data, 0, sizeof data);
    const int code = console::server->GC_GraphExpression(fromInput(function.get()), fromInput(xvar),
                                                         xmin, xmax, xstep, detect, data);
    if (code != 0) {
        printError(code);
    } else {
        if (data.x && data.y) {
            for (uint32_t i = 0; i < data.numPoints; ++i) {
                std::printf("(%21.15g, %21.15g)", data.x[i], data.y[i]);
                finishPointLine(data.flags, i);
            }
        }
        printWarnings();
    }
    std::free(data.x);
    std::free(data.y);
    std::free(data.flags);
}

void graphParametricCommand() {
    CBuffer xFunction = allocBuffer(kLongLine);
    if (!xFunction)
        return;
    CBuffer yFunction = allocBuffer(kLongLine);
    if (!yFunction)
        return;
    char tvar[kShortLine];
    double tmin = 0, tmax = 0, tstep = 0;
    bool detect = false;
    if (!readLine("x function: ", xFunction.get(), kLongLine) ||
        !readLine("y function: ", yFunction.get(), kLongLine) ||
        !readLine("tvar: ", tvar, sizeof tvar) || !readDouble("tmin: ", tmin) ||
        !readDouble("tmax: ", tmax) || !readDouble("tstep: ", tstep) || !askDiscontinuities(detect))
        return;
    ParametricGraphData data;
    std::memset(&data, 0, sizeof data);
    const int code =
        console::server->GC_GraphParametric(fromInput(xFunction.get()), fromInput(yFunction.get()),
                                            fromInput(tvar), tmin, tmax, tstep, detect, data);
    if (code != 0) {
        printError(code);
    } else if (data.t && data.x && data.y) {
        for (uint32_t i = 0; i < data.numPoints; ++i) {
            std::printf("(%21.15g, %21.15g, %21.15g)", data.t[i], data.x[i], data.y[i]);
            finishPointLine(data.flags, i);
        }
    }
    std::free(data.t);
    std::free(data.x);
    std::free(data.y);
    std::free(data.flags);
}

void realValueCommand() {
    CBuffer input = allocBuffer(kLongLine);
    if (!input)
        return;
    printModes(false);
    for (;;) {
        if (!readLine("ENTER EXPRESSION (or QUIT)\n", input.get(), kLongLine) ||
            std::strncmp(input.get(), "QUIT", 4) == 0)
            return;
        std::printf(" INPUT = %s\n", input.get());
        double value = 0.0;
        const int code = console::server->GC_RealValue(fromInput(input.get()), value);
        if (code != 0) {
            printError(code);
            continue;
        }
        std::fputs(" real value = ", stdout);
        writeStreamNumber(value);
        std::fputs("\n", stdout);
        printWarnings();
    }
}

void getRealArrayCommand() {
    CBuffer expression = allocBuffer(kLongLine);
    if (!expression)
        return;
    if (!readLine("Enter expression: ", expression.get(), kLongLine))
        return;
    RealArray array;
    std::memset(&array, 0, sizeof array);
    const int code = console::server->GC_GetRealArray(fromInput(expression.get()), array);
    if (code != 0) {
        printError(code);
    } else if (array.cols == 0) {
        std::fputs("{", stdout);
        if (array.values)
            printRow(array.values, array.rows);
        std::fputs("}\n", stdout);
    } else if (array.values) {
        for (int row = 0; row < array.rows; ++row) {
            std::fputs("[", stdout);
            printRow(array.values + static_cast<ptrdiff_t>(row) * array.cols, array.cols);
            std::fputs("]\n", stdout);
        }
    }
    std::free(array.values);
}
