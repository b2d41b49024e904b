// Console input and report utilities shared by every command. Input comes from standard input
// through the C library, output goes to standard output in the order written.
//
// Every reading function returns false once standard input has ended; the caller then returns
// at once, and the main loop shuts the console down.
#ifndef MATHCONSOLE_CONSOLEIO_H
#define MATHCONSOLE_CONSOLEIO_H

#include <QString>
#include <QStringList>

#include <cstdlib>
#include <memory>

// Buffer sizes of the console's line reads.
constexpr int kShortLine = 256;
constexpr int kLongLine = 65536;

// Writes the prompt and reads one line (at most size - 1 characters) into buffer, without
// its trailing line feed and the carriage return of a CR LF ending. The rest of a longer line
// is left for the next read.
[[nodiscard]] bool readLine(const char* prompt, char* buffer, int size);

// Prompts until a line starts with a decimal integer in [low, high]; any other line writes
// "*** OUT OF RANGE ***" and prompts again.
[[nodiscard]] bool readInt(const char* prompt, int low, int high, int& value);

// Prompts once and parses a floating-point number; unparsable input gives 0.0.
[[nodiscard]] bool readDouble(const char* prompt, double& value);

// True once standard input has ended.
bool inputEnded();

// Writes the working instance's warnings of its last operation, if any.
void printWarnings();

// Writes the text of a non-zero result code, then the warnings.
void printError(int code);

// Output helpers. Text from the server is written in the terminal's encoding as the locale
// names it (LC_ALL, LC_CTYPE, LANG): UTF-8 or Latin-1. Under a locale without an encoding of
// its own (C, POSIX) messages, names and values are written in Latin-1 and answers and help in
// UTF-8, as the console always did.
void writeText(const QString& text);
void writeAnswer(const QString& text);
void writeLatin1(const QString& text);
// A number in the output stream's default form (general notation, six significant digits).
void writeStreamNumber(double value);

// Memory from the C allocator, given back with free() when the owner goes.
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
using CBuffer = std::unique_ptr<char[], FreeDeleter>;
// A buffer of size bytes from the C allocator; null, with the console's message written, when
// it cannot be had.
CBuffer allocBuffer(size_t size);

// A string made from console input: UTF-8 when the bytes are valid UTF-8, else Latin-1.
QString fromInput(const char* buffer);

#endif
