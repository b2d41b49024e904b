#include "symbolcommands.h"

#include "consoleio.h"
#include "consolestate.h"
#include "kvq_mathserver.h"
#include "modecommands.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <type_traits>

namespace {
void printLines(const QStringList& lines) {
    for (const QString& line : lines) {
        writeText(line);
        std::fputs("\n", stdout);
    }
}

// A 65536-byte text read with its prompt.
struct LongInput {
    CBuffer text;

    // False, after the console's message, when the buffer cannot be had.
    bool read(const char* prompt) {
        text = allocBuffer(kLongLine);
        return text && readLine(prompt, text.get(), kLongLine);
    }
    const char* bytes() const { return text.get(); }
    QString string() const { return fromInput(text.get()); }
};
} // namespace

void defVarCommand() {
    LongInput name;
    LongInput value;
    int action = 0;
    if (!name.read("varname: ") ||
        !readInt("1. Define a variable\n2. Delete a variable\n? ", 1, 2, action))
        return;
    int level = 0;
    if (action == 1) {
        int choice = 0;
        if (!value.read("value: ") ||
            !readInt("1. Full Validation\n2. Full Simplification\n3. Minimal Validation\n? ", 1, 3,
                     choice))
            return;
        level = choice - 1;
    }
    const QString text = action == 1 ? value.string() : QString();
    const int code = console::server->ST_DefVar(name.string(), text, level);
    if (code != 0) {
        printError(code);
        return;
    }
    std::fputs("Done\n", stdout);
    printWarnings();
}

void keywordAndTagsCommand() {
    for (;;) {
        char input[kShortLine];
        if (!readLine("Enter op or keyword: ", input, sizeof input))
            return;
        unsigned tag1 = 0, tag2 = 0;
        const int tagsCode = console::server->ST_GetTags(fromInput(input), tag1, tag2);
        if (tagsCode != 0)
            printError(tagsCode);
        else
            std::printf("Tags for %s are %u,%u\n", input, tag1, tag2);

        int first = 0, second = 0;
        if (!readInt("tag1: ", 0, 255, first) || first == 0 || !readInt("tag2: ", 0, 255, second))
            return;
        QString keyword;
        const int keywordCode = console::server->ST_GetKeyword(
            static_cast<unsigned>(first), static_cast<unsigned>(second), keyword);
        if (keywordCode != 0) {
            printError(keywordCode);
        } else {
            std::printf("Keyword for %u,%u is \"", static_cast<unsigned>(first),
                        static_cast<unsigned>(second));
            writeText(keyword);
            std::fputs("\"\n", stdout);
        }
        int again = 0;
        if (!readInt("0. Quit, 1. Again: ", 0, 1, again) || again == 0)
            return;
    }
}

void getListCommand() {
    LongInput list;
    int minIndex = 0, maxIndex = 0;
    AnsType type = FULL_PRECISION_ANS;
    // Indices count from 1; 0 stands for the first or the last element, so "0 0" is the list.
    if (!list.read("Enter list expression: ") ||
        !readInt("Min index (from 1, 0 = first): ", 0, INT_MAX, minIndex) ||
        !readInt("Max index (from 1, 0 = last): ", 0, INT_MAX, maxIndex) || !askAnswerType(type))
        return;
    QStringList elements;
    const int code = console::server->ST_GetList(list.string(), minIndex, maxIndex, type, elements);
    if (code != 0) {
        printError(code);
        return;
    }
    if (elements.isEmpty())
        std::fputs("empty list\n", stdout);
    for (const QString& element : elements) {
        std::printf("(length=%u)  ", static_cast<unsigned>(element.length()));
        writeText(element);
        std::fputs("\n", stdout);
    }
}

void clearSymbolTableCommand() {
    const int code = console::server->ST_ClearSymbolTable();
    if (code != 0) {
        printError(code);
        return;
    }
    std::fputs("Symbol Table Cleared\n", stdout);
}

void getVarNamesCommand() {
    int type = 0;
    if (!readInt("0. ANY\n1. EXPRESSION\n2. FUNCTION\n3. LIST\n4. MATRIX\n5. STRING\n? ", 0, 5,
                 type))
        return;
    QStringList names;
    const int code = console::server->ST_GetVarNames(static_cast<VarType>(type), names);
    if (code != 0) {
        printError(code);
        return;
    }
    printWarnings();
    std::printf("%u variables of type %u\n", static_cast<unsigned>(names.size()),
                static_cast<unsigned>(type));
    printLines(names);
}

void getVarTypeCommand() {
    static const char* const kTypeNames[] = {"ANY_TYPE",  "EXPRESSION_TYPE", "FUNCTION_TYPE",
                                             "LIST_TYPE", "MATRIX_TYPE",     "STRING_TYPE"};
    LongInput name;
    if (!name.read("varname: "))
        return;
    VarType type = ANY_TYPE;
    const int code = console::server->ST_GetVarType(name.string(), type);
    if (code != 0) {
        printError(code);
        return;
    }
    printWarnings();
    std::printf("%s has type ", name.bytes());
    // The server may hand back a number outside the enumeration; read it as a plain number.
    std::underlying_type_t<VarType> index = 0;
    std::memcpy(&index, &type, sizeof index);
    if (index < sizeof kTypeNames / sizeof kTypeNames[0])
        std::printf("%s\n", kTypeNames[index]);
}

void getVarValueCommand() {
    LongInput name;
    if (!name.read("varname: "))
        return;
    QString value;
    const int code = console::server->ST_GetVarValue(name.string(), value);
    if (code != 0) {
        printError(code);
        return;
    }
    printWarnings();
    std::printf("Value of %s is:\n", name.bytes());
    writeText(value);
    std::fputs("\n", stdout);
}

void isValidVarNameCommand() {
    char name[kShortLine];
    if (!readLine("varname: ", name, sizeof name))
        return;
    bool valid = false;
    const int code = console::server->ST_IsValidVarName(fromInput(name), valid);
    if (code != 0) {
        printError(code);
        return;
    }
    printWarnings();
    std::printf("\"%s\" is %s\n", name,
                valid ? "a valid variable name." : "not a valid variable name.");
}

void getDimCommand() {
    LongInput expression;
    if (!expression.read("expression: "))
        return;
    unsigned rows = 0, cols = 0;
    const int code = console::server->ST_GetDim(expression.string(), rows, cols);
    if (code != 0) {
        printError(code);
        return;
    }
    printWarnings();
    std::printf("rowDim = %u\ncolDim = %u\n", rows, cols);
}

void varNamesInExpressionCommand() {
    LongInput expression;
    if (!expression.read("expression: "))
        return;
    QStringList names;
    const int code = console::server->ST_GetVarNamesInExpression(expression.string(), names);
    if (code != 0) {
        printError(code);
        return;
    }
    printWarnings();
    std::printf("%u variables in \"%s\"\n", static_cast<unsigned>(names.size()),
                expression.bytes());
    printLines(names);
}
