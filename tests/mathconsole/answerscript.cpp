#include "answerscript.h"

namespace answers {

std::string setMode(int which, int choice) {
    return "2\n" + std::to_string(which) + "\n" + std::to_string(choice) + "\n0\n";
}
const std::string UsUnits = setMode(5, 2);
const std::string Approximate = setMode(1, 3);
const std::string Exact = setMode(1, 2);

std::string evaluate(const std::string& modes, std::initializer_list<std::string> expressions,
                     bool full) {
    std::string input = modes + (full ? "1\n1\n" : "1\n2\n1\n");
    for (const std::string& e : expressions)
        input += e + "\n";
    return input + "QUIT\n0\n";
}

std::string parseAndFormat(std::initializer_list<std::string> expressions) {
    std::string input = "16\n2\n";
    for (const std::string& e : expressions)
        input += e + "\n";
    return input + "QUIT\n0\n";
}

std::string answer(const std::string& input, const std::string& ans) {
    return " INPUT = " + input + "\n   ANS = " + ans + "\n";
}

std::string error(const std::string& text) {
    return " ERROR: " + text + "\n";
}

std::string failed(const std::string& input, const std::string& text) {
    return " INPUT = " + input + "\n" + error(text);
}

std::string warnings(std::initializer_list<std::string> lines) {
    std::string block = "  WARNINGS:\n";
    for (const std::string& line : lines)
        block += "    " + line + "\n";
    return block;
}

std::string answerAfter(const std::string& out, const std::string& input) {
    const std::string echo = " INPUT = " + input + "\n";
    const size_t at = out.find(echo);
    if (at == std::string::npos)
        return {};
    const size_t start = at + echo.size();
    return out.substr(start, out.find('\n', start) - start);
}

std::vector<std::string> afterMenus(const std::string& out) {
    const std::string prompt = "Selection (Enter 0 to QUIT): ";
    const std::string dash = std::string(80, '-') + "\n";
    std::vector<std::string> parts;
    for (size_t at = out.find(prompt); at != std::string::npos; at = out.find(prompt, at)) {
        at += prompt.size();
        const size_t end = out.find(dash, at);
        parts.push_back(out.substr(at, end == std::string::npos ? end : end - at));
    }
    return parts;
}

} // namespace answers

std::string RealConsoleTest::run(const std::string& input, const QProcessEnvironment& env) {
    const ConsoleResult r = runRealConsole(input, env);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    return r.out;
}

void RealConsoleTest::expectIn(const std::string& out, const std::string& part) {
    EXPECT_NE(out.find(part), std::string::npos) << "missing:\n" << part << "in:\n" << out;
}
