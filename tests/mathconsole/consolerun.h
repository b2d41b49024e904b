// Runs the built mathconsole as a user would: the given text on standard input (then closed),
// the whole standard output and error collected.
#ifndef CONSOLERUN_H
#define CONSOLERUN_H

#include <QProcessEnvironment>

#include <string>

struct ConsoleResult {
    std::string out; // with the number of the "Delta(RAM) = " line replaced by "#"
    std::string err;
    int exitCode = -1;
    bool finished = false;
};

// Runs the console with input; env adds to or overrides the test environment.
ConsoleResult runConsole(const std::string& input,
                         const QProcessEnvironment& env = QProcessEnvironment());

// Runs the console with input against the real math server and symbol-watch hub; env adds to
// or overrides the test environment.
ConsoleResult runRealConsole(const std::string& input,
                             const QProcessEnvironment& env = QProcessEnvironment());

#endif
