// Symbol table commands (items 20 and 22 to 30).
#include "fakeconsole.h"

using namespace transcript;

namespace {
const std::string kDefine = "varname: 1. Define a variable\n2. Delete a variable\n? ";
const std::string kValue =
    "value: 1. Full Validation\n2. Full Simplification\n3. Minimal Validation\n? ";
const std::string kTypes = "0. ANY\n1. EXPRESSION\n2. FUNCTION\n3. LIST\n4. MATRIX\n5. STRING\n? ";
std::string level(int n) {
    return "  WARNINGS:\n    level " + std::to_string(n) + "\n";
}
const std::string kListing = "  WARNINGS:\n    listing\n";
} // namespace

TEST(ConsoleSymbols, DefineInspectAndDeleteVariables) {
    const std::string input = "20\nv\n1\n5\n2\n"
                              "20\nl\n1\n{1,2}\n3\n"
                              "27\nv\n26\nl\n25\n0\n25\n3\n"
                              "20\nbt\n1\nbadtype\n1\n26\nbt\n"
                              "20\nv\n2\n27\nv\n20\nzz\n2\n"
                              "24\n25\n0\n0\n";
    // Warnings: after "Done" for item 20, before the count line for item 25.
    EXPECT_SESSION(
        runFake(input),
        atMenu() + kDefine + kValue + "Done\n" + level(1) + atMenu() + kDefine + kValue + "Done\n" +
            level(2) + atMenu() + "varname: Value of v is:\n5\n" + atMenu() +
            "varname: l has type LIST_TYPE\n" + atMenu() + kTypes + kListing +
            "2 variables of type 0\nl\nv\n" + atMenu() + kTypes + kListing +
            "1 variables of type 3\nl\n" + atMenu() + kDefine + kValue + "Done\n" + level(0) +
            // A type without a name leaves the line open.
            atMenu() + "varname: bt has type " + atMenu() + kDefine + "Done\n" + level(0) +
            atMenu() + "varname:  ERROR: fake failure 24\n" + atMenu() + kDefine +
            " ERROR: fake failure 23\n" + level(0) + atMenu() + "Symbol Table Cleared\n" +
            atMenu() + kTypes + kListing + "0 variables of type 0\n" + quit());
}

TEST(ConsoleSymbols, NamesDimensionsAndLists) {
    const std::string list = "Enter list expression: Min index (from 1, 0 = first): "
                             "Max index (from 1, 0 = last): " +
                             ansType;
    const std::string input = "28\nabc1\n28\n1x\n29\n3x4\n29\nerr\n30\na+b*warn\n"
                              "23\na,bb,ccc\n1\n5\n1\n23\na\n3\n4\n2\n23\nxy,warn\n0\n1\n2\n"
                              "23\nerr\n0\n0\n1\n0\n";
    EXPECT_SESSION(runFake(input),
                   atMenu() + "varname: \"abc1\" is a valid variable name.\n" + atMenu() +
                       "varname: \"1x\" is not a valid variable name.\n" + atMenu() +
                       "expression: rowDim = 3\ncolDim = 4\n" + atMenu() +
                       "expression:  ERROR: fake failure 25\n" + atMenu() +
                       "expression:   WARNINGS:\n    first warning\n    second warning\n"
                       "3 variables in \"a+b*warn\"\na\nb\nwarn\n" +
                       atMenu() + list + "(length=2)  bb\n(length=3)  ccc\n" + atMenu() + list +
                       "empty list\n" + atMenu() + list + "(length=3)  xy!\n(length=5)  warn!\n" +
                       atMenu() + list + " ERROR: fake failure 18\n" + quit());
}

TEST(ConsoleSymbols, KeywordsAndTags) {
    const std::string op = "Enter op or keyword: ";
    const std::string again = "0. Quit, 1. Again: ";
    // tag1 0 ends the command without asking for tag2.
    EXPECT_SESSION(runFake("22\n+\n1\n2\n1\nfoo\n0\n22\n+\n3\n4\n0\n0\n"),
                   atMenu() + op + "Tags for + are 1,2\ntag1: tag2: Keyword for 1,2 is \"plus\"\n" +
                       again + op + " ERROR: fake failure 20\ntag1: " + atMenu() + op +
                       "Tags for + are 1,2\ntag1: tag2:  ERROR: fake failure 19\n" + again +
                       quit());
}
