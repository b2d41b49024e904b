#include "symbols/kv_keywordtable.h"

#include "engine/kv_qalcengine.h"

#include <libqalculate/qalculate.h>

#include <algorithm>

namespace {

struct Operator {
    const char* text;
    const char* help;
};

const Operator Operators[] = {
    {"+", "Addition: a + b"},
    {"-", "Subtraction or negation: a - b, -a"},
    {"*", "Multiplication: a * b"},
    {"/", "Division: a / b"},
    {"^", "Power: a ^ b"},
    {"**", "Power: a ** b"},
    {"!", "Factorial: n!; logical not before a value: !a"},
    {"%", "Percent: 5% is 0.05"},
    {"=", "Equation or comparison: a = b"},
    {"!=", "Not equal: a != b"},
    {"<", "Less than: a < b"},
    {">", "Greater than: a > b"},
    {"<=", "Less than or equal: a <= b"},
    {">=", "Greater than or equal: a >= b"},
    {"&&", "Logical and: a && b"},
    {"||", "Logical or: a || b"},
    {"&", "Bitwise and: a & b"},
    {"|", "Bitwise or: a | b"},
    {"~", "Bitwise not: ~a"},
    {"<<", "Shift left: a << n"},
    {">>", "Shift right: a >> n"},
    {"(", "Opens a group or the arguments of a function"},
    {")", "Closes a group or the arguments of a function"},
    {"[", "Opens a list or a matrix row: [1, 2, 3]"},
    {"]", "Closes a list or a matrix row"},
    {",", "Separates arguments and list elements"},
    {";", "Separates the rows of a matrix: [1, 2; 3, 4]"},
    {":=", "Defines a variable or function: a := 5, f(x) := x^2"},
    {"E", "Decimal exponent: 1.5E3 is 1500"},
    {"\xe2\x88\x92", "Minus sign: a \xe2\x88\x92 b"},
    {"\xc3\x97", "Multiplication sign: a \xc3\x97 b"},
    {"\xc3\xb7", "Division sign: a \xc3\xb7 b"},
    {"//", "Integer division: a // b"},
    {"\\", "Integer division: a \\ b"},
    {"==", "Equality: a == b"},
    {"<>", "Not equal: a <> b"},
    {"->", "Converts to a unit or display form: 5 km -> ft"},
    {"\xc2\xb0", "Degrees: 90\xc2\xb0"},
    {"\xc2\xac", "Bitwise not: \xc2\xac a"},
    {"\xe2\x89\xa0", "Not equal: a \xe2\x89\xa0 b"},
    {"\xe2\x89\xa4", "Less than or equal: a \xe2\x89\xa4 b"},
    {"\xe2\x89\xa5", "Greater than or equal: a \xe2\x89\xa5 b"},
    {"\xc2\xb7", "Multiplication dot: a \xc2\xb7 b"},
    {"\xe2\x8b\x85", "Multiplication dot: a \xe2\x8b\x85 b"},
    {"\xe2\x88\x9a", "Square root: \xe2\x88\x9a a"},
    {"\xe2\x88\x9b", "Cube root: \xe2\x88\x9b a"},
    {"\xe2\x88\xa7", "Logical and: a \xe2\x88\xa7 b"},
    {"\xe2\x88\xa8", "Logical or: a \xe2\x88\xa8 b"},
};

const Operator Words[] = {
    {"to", "Converts to a unit or display form: 5 km to ft"},
    {"mod", "Modulo (the sign of the divisor): a mod b"},
    {"rem", "Remainder (the sign of the dividend): a rem b"},
    {"and", "Logical and: a and b"},
    {"or", "Logical or: a or b"},
    {"xor", "Logical exclusive or: a xor b"},
    {"not", "Logical not: not a"},
};

constexpr unsigned OperatorGroup = 1;
constexpr unsigned WordGroup = 2;
constexpr unsigned FirstFunctionGroup = 3;
constexpr unsigned PerGroup = 255;

} // namespace

const KV_KeywordTable& KV_KeywordTable::instance() {
    KV_QalcEngine::instance();
    static const KV_KeywordTable table;
    return table;
}

void KV_KeywordTable::add(const QString& keyword, unsigned tag1, unsigned tag2,
                          const QString& help) {
    byKeyword_.insert(keyword, int(entries_.size()));
    byTags_.insert((tag1 << 8) | tag2, int(entries_.size()));
    entries_.append(Entry{keyword, tag1, tag2, help});
}

KV_KeywordTable::KV_KeywordTable() {
    unsigned index = 1;
    for (const Operator& op : Operators)
        add(QString::fromUtf8(op.text), OperatorGroup, index++, QString::fromUtf8(op.help));
    index = 1;
    for (const Operator& w : Words)
        add(QString::fromUtf8(w.text), WordGroup, index++, QString::fromUtf8(w.help));

    // Built-in functions only: user functions are local and come and go. A function named like
    // an operator word (mod, xor) keeps the word's tags, so that every keyword has one pair.
    std::vector<std::string> names;
    for (MathFunction* f : CALCULATOR->functions) {
        if (!f->isLocal() && f->isActive() &&
            !byKeyword_.contains(KV_QalcEngine::fromEngine(f->referenceName())))
            names.push_back(f->referenceName());
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (size_t i = 0; i < names.size() && i < size_t(PerGroup) * (255 - FirstFunctionGroup + 1);
         ++i) {
        add(KV_QalcEngine::fromEngine(names[i]), FirstFunctionGroup + unsigned(i / PerGroup),
            1 + unsigned(i % PerGroup), QString());
    }
}

bool KV_KeywordTable::tags(const QString& keyword, unsigned& tag1, unsigned& tag2) const {
    auto it = byKeyword_.constFind(keyword);
    if (it == byKeyword_.constEnd()) {
        // Another name of a built-in function leads to its reference name.
        MathFunction* f = keyword.isEmpty()
                              ? nullptr
                              : CALCULATOR->getActiveFunction(KV_QalcEngine::toEngine(keyword));
        if (!f || f->isLocal())
            return false;
        it = byKeyword_.constFind(KV_QalcEngine::fromEngine(f->referenceName()));
        if (it == byKeyword_.constEnd())
            return false;
    }
    tag1 = entries_.at(*it).tag1;
    tag2 = entries_.at(*it).tag2;
    return true;
}

bool KV_KeywordTable::keyword(unsigned tag1, unsigned tag2, QString& out) const {
    if (tag1 > 255 || tag2 > 255)
        return false;
    auto it = byTags_.constFind((tag1 << 8) | tag2);
    if (it == byTags_.constEnd())
        return false;
    out = entries_.at(*it).keyword;
    return true;
}

QString KV_KeywordTable::operatorHelp(const QString& op) const {
    auto it = byKeyword_.constFind(op);
    return it == byKeyword_.constEnd() ? QString() : entries_.at(*it).help;
}

QString KV_KeywordTable::text() const {
    QString out;
    for (const Entry& e : entries_)
        out += QStringLiteral("%1 %2 %3\n").arg(e.tag1).arg(e.tag2).arg(e.keyword);
    return out;
}
