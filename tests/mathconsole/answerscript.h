// Menu input for evaluations on the real math server, the lines the console answers with, and
// a fixture that runs such a session and checks that it ended cleanly.
#ifndef ANSWERSCRIPT_H
#define ANSWERSCRIPT_H

#include "consolerun.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace answers {
// Menu input that sets one mode (its number in the mode editor, then the choice).
std::string setMode(int which, int choice);
extern const std::string UsUnits;
extern const std::string Approximate;
extern const std::string Exact;

// Menu input that evaluates each expression as a formatted answer (or, with full, in full
// precision; with parseOnly, through parseAndFormat), then quits the console.
std::string evaluate(const std::string& modes, std::initializer_list<std::string> expressions,
                     bool full = false);
std::string parseAndFormat(std::initializer_list<std::string> expressions);

// The console's lines for one input and its answer.
std::string answer(const std::string& input, const std::string& ans);
// The console's error line for a code's text.
std::string error(const std::string& text);
// The input line and the error line that follows it.
std::string failed(const std::string& input, const std::string& text);
// The console's warnings block.
std::string warnings(std::initializer_list<std::string> lines);
// The answer line that follows an input line (empty when there is none).
std::string answerAfter(const std::string& out, const std::string& input);
// What each menu selection wrote, in order: the text between the menu's prompt and the next
// dashed line.
std::vector<std::string> afterMenus(const std::string& out);
} // namespace answers

class RealConsoleTest : public ::testing::Test {
protected:
    // Runs the console on the real server and checks that it ended cleanly; returns its
    // standard output.
    static std::string run(const std::string& input,
                           const QProcessEnvironment& env = QProcessEnvironment());
    static void expectIn(const std::string& out, const std::string& part);
};

#endif
