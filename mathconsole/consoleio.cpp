#include "consoleio.h"

#include "consolestate.h"
#include "kvq_mathserver.h"

#include <QStringDecoder>

#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {
bool endOfInput = false;

enum class Encoding { Latin1, Utf8, Unnamed };

Encoding terminalEncoding() {
    static const Encoding encoding = [] {
        const locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
        if (!user)
            return Encoding::Unnamed;
        const QByteArray codeset(nl_langinfo_l(CODESET, user));
        freelocale(user);
        if (codeset == "UTF-8")
            return Encoding::Utf8;
        return codeset == "ISO-8859-1" ? Encoding::Latin1 : Encoding::Unnamed;
    }();
    return encoding;
}

void writeBytes(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

// Reads a leading decimal integer the way "%d" does: blanks skipped, an optional sign, the
// digits, anything after them ignored. A number outside int counts as not read.
bool parseLeadingInt(const char* text, int& value) {
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}
} // namespace

bool readLine(const char* prompt, char* buffer, int size) {
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    buffer[0] = '\0';
    if (endOfInput || std::fgets(buffer, size, stdin) == nullptr) {
        endOfInput = true;
        buffer[0] = '\0';
        return false;
    }
    size_t length = std::strlen(buffer);
    if (length > 0 && buffer[length - 1] == '\n') {
        buffer[--length] = '\0';
        if (length > 0 && buffer[length - 1] == '\r')
            buffer[length - 1] = '\0';
    }
    return true;
}

bool readInt(const char* prompt, int low, int high, int& value) {
    char buffer[kShortLine];
    for (;;) {
        if (!readLine(prompt, buffer, sizeof buffer))
            return false;
        int number = 0;
        if (parseLeadingInt(buffer, number) && number >= low && number <= high) {
            value = number;
            return true;
        }
        std::fputs("*** OUT OF RANGE ***\n", stdout);
    }
}

bool readDouble(const char* prompt, double& value) {
    value = 0.0;
    char buffer[kShortLine];
    if (!readLine(prompt, buffer, sizeof buffer))
        return false;
    if (std::sscanf(buffer, "%lf\n", &value) != 1)
        value = 0.0;
    return true;
}

bool inputEnded() {
    return endOfInput;
}

void printWarnings() {
    QStringList warnings;
    console::server->getWarnings(warnings);
    if (warnings.isEmpty())
        return;
    std::fputs("  WARNINGS:\n", stdout);
    for (const QString& warning : warnings) {
        std::fputs("    ", stdout);
        writeText(warning);
        std::fputs("\n", stdout);
    }
}

void printError(int code) {
    if (code != 0) {
        QString text;
        console::server->errorString(code, text);
        std::fputs(" ERROR: ", stdout);
        writeText(text);
        std::fputs("\n", stdout);
    }
    printWarnings();
}

void writeText(const QString& text) {
    writeBytes(terminalEncoding() == Encoding::Utf8 ? text.toUtf8() : text.toLatin1());
}

void writeAnswer(const QString& text) {
    writeBytes(terminalEncoding() == Encoding::Latin1 ? text.toLatin1() : text.toUtf8());
}

void writeLatin1(const QString& text) {
    writeBytes(text.toLatin1());
}

void writeStreamNumber(double value) {
    std::ostringstream out;
    out << value;
    std::fputs(out.str().c_str(), stdout);
}

QString fromInput(const char* buffer) {
    // Today's terminals send UTF-8; a line that is not valid UTF-8 is Latin-1, as it always was.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(buffer);
    return utf8.hasError() ? QString::fromLatin1(buffer) : text;
}

CBuffer allocBuffer(size_t size) {
    CBuffer buffer(static_cast<char*>(std::malloc(size)));
    if (!buffer)
        std::fputs("\nCould not allocate input buffer\n", stdout);
    return buffer;
}
