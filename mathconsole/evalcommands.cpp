#include "evalcommands.h"

#include "consoleio.h"
#include "consolestate.h"
#include "kvq_mathserver.h"
#include "modecommands.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {
bool startsWithQuit(const char* input) {
    return std::strncmp(input, "QUIT", 4) == 0;
}
} // namespace

void evaluateCommand(bool parseAndFormat) {
    AnsType type = FULL_PRECISION_ANS;
    if (!askAnswerType(type))
        return;
    bool withFullPrecision = false;
    if (!parseAndFormat && type != FULL_PRECISION_ANS && type != FULL_PRECISION_ANS_NOEXPORT) {
        int choice = 0;
        if (!readInt("1. I don't want to see the full precision 1D answer.\n"
                     "2. I want to see the full precision 1D answer, too.\n? ",
                     1, 2, choice))
            return;
        withFullPrecision = choice == 2;
    }
    CBuffer input = allocBuffer(kLongLine);
    if (!input)
        return;
    printModes(false);
    for (;;) {
        if (!readLine("ENTER EXPRESSION (or QUIT)\n", input.get(), kLongLine) ||
            startsWithQuit(input.get()))
            return;
        std::printf(" INPUT = %s\n", input.get());
        const QString expression = fromInput(input.get());
        QString answer;
        QString fullPrecision;
        int code = 0;
        if (withFullPrecision)
            code = console::server->evaluate(expression, type, answer, fullPrecision);
        else if (parseAndFormat)
            code = console::server->parseAndFormat(expression, type, answer);
        else
            code = console::server->evaluate(expression, type, answer);
        if (code != 0) {
            printError(code);
            continue;
        }
        if (withFullPrecision) {
            std::fputs("    ANS = ", stdout);
            writeAnswer(answer);
            std::fputs("\nFP1DANS = ", stdout);
            writeAnswer(fullPrecision);
        } else {
            std::fputs("   ANS = ", stdout);
            writeAnswer(answer);
        }
        std::fputs("\n", stdout);
        printWarnings();
    }
}

void helpStringCommand() {
    char input[kShortLine];
    for (;;) {
        if (!readLine("Enter a keyword or operator for help (or QUIT): ", input, sizeof input) ||
            startsWithQuit(input))
            return;
        QString help;
        const int code = console::server->helpString(fromInput(input), help);
        if (code != 0) {
            printError(code);
            continue;
        }
        std::printf("Help for %s = ", input);
        writeAnswer(help);
        std::fputs("\n", stdout);
    }
}

void formatFloatCommand() {
    int maxWidth = 0;
    int choice = 0;
    if (!readInt("maximum width: ", 0, INT_MAX, maxWidth) ||
        !readInt("1. Default format\n2. Specify format.\n? ", 1, 2, choice))
        return;
    FloatFormat format{};
    if (choice == 2) {
        int decimalStyle = 0;
        int exponentStyle = 0;
        int digits = 0;
        if (!readInt("Decimal Style\n1. float\n2. fixed\n? ", 1, 2, decimalStyle) ||
            !readInt("Exponent Style\n1. norm\n2. sci\n3. eng\n? ", 1, 3, exponentStyle) ||
            !readInt("Digits ? ", 0, 12, digits))
            return;
        format.decimalStyle = static_cast<unsigned>(decimalStyle - 1);
        format.exponentStyle = static_cast<unsigned>(exponentStyle - 1);
        format.digits = static_cast<unsigned>(digits);
    }
    for (;;) {
        double value = 0.0;
        if (!readDouble("Enter float: ", value))
            return;
        QString text;
        if (choice == 2)
            console::server->formatFloat(value, format, maxWidth, text);
        else
            console::server->formatFloat(value, maxWidth, text);
        writeText(text);
        std::fputs("\n", stdout);
        int again = 0;
        if (!readInt("0. Quit, 1. Again ? ", 0, 1, again) || again == 0)
            return;
    }
}

void breakFlagCommand() {
    std::printf("Setting breakflag to %d\n", console::breakFlag ? 1 : 0);
    console::breakFlag = console::server->breakFlag(console::breakFlag);
}

void keywordFilePathCommand() {
    const char* path = nullptr;
    console::server->keywordFilePath(path);
    if (path)
        std::printf("keyword file path = %s\n", path);
}

void miscCommand() {
    // U+2212 MINUS SIGN followed by "a": two characters, the first without a Latin-1 form.
    const QString text = QString::fromUtf8("\xE2\x88\x92"
                                           "a");
    std::printf("%d<", static_cast<int>(text.length()));
    writeLatin1(text);
    std::fputs(">\n", stdout);
}
