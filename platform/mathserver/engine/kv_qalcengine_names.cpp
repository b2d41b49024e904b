// Names in expressions: placeholders for function arguments, the check of an expression before
// the engine sees it.
#include "engine/kv_qalcengine.h"

#include "engine/kv_inputtext.h"
#include "engine/kv_matherrors.h"
#include "engine/kv_messagestops.h"

#include <libqalculate/qalculate.h>

namespace {

const char PlaceholderLetters[] = "xyzabcdefghijklmnopqrstuvw";

bool isNameStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
// Superscripts and fractions are operators to the engine (x², ½), not part of a name.
bool isNameChar(QChar c) {
    if (c.decompositionTag() == QChar::Super || c.decompositionTag() == QChar::Fraction)
        return false;
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A unit, with or without a prefix and an integer power.
bool isUnitFactor(const MathStructure& m) {
    return m.isUnit() || (m.isPower() && m[0].isUnit() && m[1].isInteger());
}

// The index after the number that starts at i, with its exponent or base prefix.
int numberEnd(const QString& text, int i) {
    const int n = text.size();
    if (text.at(i) == QLatin1Char('0') && i + 1 < n &&
        QStringLiteral("xXbBoO").contains(text.at(i + 1))) {
        i += 2;
        while (i < n && text.at(i).isLetterOrNumber())
            ++i;
        return i;
    }
    while (i < n && (text.at(i).isDigit() || text.at(i) == QLatin1Char('.')))
        ++i;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        if (j < n && text.at(j).isDigit()) {
            i = j;
            while (i < n && text.at(i).isDigit())
                ++i;
        }
    }
    return i;
}

// Opens or closes a bracket on the stack of open ones: SyntaxError for a closing bracket that
// does not match, ExpressionTooDeep past the nesting limit.
int matchBracket(QChar c, QString& brackets) {
    if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{')) {
        brackets.append(c);
        return brackets.size() > KV_MathErrors::MaxNestingDepth ? KV_MathErrors::ExpressionTooDeep
                                                                : KV_MathErrors::Ok;
    }
    const QChar open = c == QLatin1Char(')')   ? QLatin1Char('(')
                       : c == QLatin1Char(']') ? QLatin1Char('[')
                                               : QLatin1Char('{');
    if (brackets.isEmpty() || brackets.back() != open)
        return KV_MathErrors::SyntaxError;
    brackets.chop(1);
    return KV_MathErrors::Ok;
}

} // namespace

QString KV_QalcEngine::placeholder(int index) {
    return QStringLiteral("\\") + QLatin1Char(PlaceholderLetters[index]);
}

std::string KV_QalcEngine::placeholderSymbol(int index) {
    return std::string(1, PlaceholderLetters[index]);
}

QString KV_QalcEngine::substituteNames(const QString& text, const QStringList& names,
                                       const QStringList& replacements) {
    QString out;
    const int n = text.size();
    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int end = text.indexOf(c, i + 1);
            end = end < 0 ? n : end + 1;
            out += text.mid(i, end - i);
            i = end;
        } else if (c.isDigit()) {
            // Digits never start a name, so "2x" names x.
            int j = i;
            while (j < n && (text.at(j).isDigit() || text.at(j) == QLatin1Char('.')))
                ++j;
            out += text.mid(i, j - i);
            i = j;
        } else if (isNameStart(c)) {
            int j = i;
            while (j < n && isNameChar(text.at(j)))
                ++j;
            const QString word = text.mid(i, j - i);
            const int k = names.indexOf(word);
            out += k >= 0 ? replacements.at(k) : word;
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

bool KV_QalcEngine::isKnownName(const QString& name) const {
    const std::string n = toEngine(name);
    if (CALCULATOR->getActiveExpressionItem(n))
        return true;
    for (size_t i = 1; i < n.size(); ++i) {
        if (CALCULATOR->getPrefix(n.substr(0, i)) && CALCULATOR->getActiveUnit(n.substr(i)))
            return true;
    }
    return isCompoundUnit(n);
}

bool KV_QalcEngine::isCompoundUnit(const std::string& name) const {
    // The engine splits any word it does not know into units where it can ("foo" would be
    // femto-octet times octet). A split counts when it is one unit with a power (km2 is km^2),
    // or units whose product the engine names with one unit (kWh, mAh, Nm).
    const KV_MessageStops stops;
    CALCULATOR->beginTemporaryStopMessages();
    MathStructure parsed;
    CALCULATOR->parse(&parsed, name, ParseOptions());
    bool unitsOnly = parsed.isMultiplication() && parsed.size() > 1;
    for (size_t i = 0; unitsOnly && i < parsed.size(); ++i)
        unitsOnly = isUnitFactor(parsed[i]);
    bool named = isUnitFactor(parsed);
    if (unitsOnly) {
        EvaluationOptions eo;
        eo.auto_post_conversion = POST_CONVERSION_OPTIMAL_SI;
        const MathStructure value = CALCULATOR->calculate(parsed, eo);
        const MathStructure& unit =
            value.isMultiplication() && value.size() == 2 && value[0].isNumber() ? value[1] : value;
        named = unit.isUnit();
    }
    CALCULATOR->endTemporaryStopMessages();
    return named;
}

int KV_QalcEngine::checkExpression(QString& text, const QStringList& extraNames,
                                   QStringList& warnings, bool anyNames) const {
    if (text.size() > KV_MathErrors::MaxExpressionLength)
        return KV_MathErrors::ExpressionTooLong;
    if (const int code = KV_InputText::normalize(text, warnings))
        return code;
    if (text.trimmed().isEmpty())
        return KV_MathErrors::EmptyExpression;

    // An operator with nothing on one side, which the engine would drop silently.
    const QString trimmed = text.trimmed();
    if (QStringLiteral("+-*/^=<>&|,;").contains(trimmed.back()) ||
        QStringLiteral("*/^=<>&|,;").contains(trimmed.front()))
        return KV_MathErrors::SyntaxError;

    QString brackets;
    const int n = text.size();
    int i = 0;
    bool conversionTarget = false;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = text.indexOf(c, i + 1);
            if (end < 0)
                return KV_MathErrors::SyntaxError;
            i = end + 1;
            continue;
        }
        if (QStringLiteral("([{)]}").contains(c)) {
            if (const int code = matchBracket(c, brackets))
                return code;
            ++i;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text.at(i + 1).isDigit())) {
            i = numberEnd(text, i);
            continue;
        }
        if (isNameStart(c)) {
            int j = i;
            while (j < n && isNameChar(text.at(j)))
                ++j;
            const QString name = text.mid(i, j - i);
            i = j;
            if (name == QLatin1String("to")) {
                // What follows "to" names a unit or a display form; the engine checks it.
                conversionTarget = true;
                continue;
            }
            if (conversionTarget || anyNames || extraNames.contains(name) || isKnownName(name))
                continue;
            warnings << QStringLiteral("Undefined name \"%1\"").arg(name);
            return KV_MathErrors::UndefinedName;
        }
        ++i;
    }
    if (!brackets.isEmpty())
        return KV_MathErrors::SyntaxError;
    return KV_MathErrors::Ok;
}
