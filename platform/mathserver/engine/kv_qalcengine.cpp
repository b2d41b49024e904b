#include "engine/kv_qalcengine.h"

#include "engine/kv_mathmlwriter.h"

#include "engine/kv_matherrors.h"

#include <libqalculate/qalculate.h>

#include <QSet>

#include <cmath>

namespace {

// Significant digits the engine works with; enough for a double.
constexpr int EnginePrecision = 16;
// Significant digits of a formatted float answer with automatic digits.
constexpr int AutoDigits = 10;

bool isNameStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Target units of the US customary display, tried in this order; a result takes the first one
// whose dimension matches exactly.
const char* const UsUnits[] = {"ft",     "lb",  "oF",       "gal", "ft^2",   "mph",
                               "ft/s^2", "lbf", "lbf/in^2", "hp",  "lb/ft^3"};

} // namespace

KV_QalcEngine& KV_QalcEngine::instance() {
    static KV_QalcEngine engine;
    return engine;
}

KV_QalcEngine::KV_QalcEngine() {
    if (!CALCULATOR)
        new Calculator();
    // Local definition files only; exchange rates are never fetched.
    CALCULATOR->loadGlobalDefinitions();
    CALCULATOR->setPrecision(EnginePrecision);
    CALCULATOR->useIntervalArithmetic(false);
    CALCULATOR->clearMessages();
}

namespace {
const char PlaceholderLetters[] = "xyzabcdefghijklmnopqrstuvw";
}

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

std::string KV_QalcEngine::toEngine(const QString& text) {
    return text.toStdString();
}

QString KV_QalcEngine::fromEngine(const std::string& text) {
    return QString::fromStdString(text);
}

bool KV_QalcEngine::isKnownName(const QString& name) const {
    const std::string n = toEngine(name);
    if (CALCULATOR->getActiveExpressionItem(n))
        return true;
    for (size_t i = 1; i < n.size(); ++i) {
        if (CALCULATOR->getPrefix(n.substr(0, i)) && CALCULATOR->getActiveUnit(n.substr(i)))
            return true;
    }
    return false;
}

int KV_QalcEngine::checkExpression(const QString& text, const QStringList& extraNames,
                                   QStringList& warnings, bool anyNames) const {
    if (text.size() > KV_MathErrors::MaxExpressionLength)
        return KV_MathErrors::ExpressionTooLong;
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
        if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{')) {
            brackets.append(c);
            if (brackets.size() > KV_MathErrors::MaxNestingDepth)
                return KV_MathErrors::ExpressionTooDeep;
            ++i;
            continue;
        }
        if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}')) {
            const QChar open = c == QLatin1Char(')')   ? QLatin1Char('(')
                               : c == QLatin1Char(']') ? QLatin1Char('[')
                                                       : QLatin1Char('{');
            if (brackets.isEmpty() || brackets.back() != open)
                return KV_MathErrors::SyntaxError;
            brackets.chop(1);
            ++i;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text.at(i + 1).isDigit())) {
            // A number, with its exponent or base prefix, is not a name.
            if (c == QLatin1Char('0') && i + 1 < n &&
                QStringLiteral("xXbBoO").contains(text.at(i + 1))) {
                i += 2;
                while (i < n && text.at(i).isLetterOrNumber())
                    ++i;
                continue;
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

EvaluationOptions KV_QalcEngine::evaluationOptions(const Modes& modes, bool approximate) const {
    EvaluationOptions eo;
    if (approximate || modes.arith == 2)
        eo.approximation = APPROXIMATION_APPROXIMATE;
    else if (modes.arith == 1)
        eo.approximation = APPROXIMATION_EXACT;
    else
        eo.approximation = APPROXIMATION_TRY_EXACT;
    // The engine's ParseOptions constructor leaves this flag unset; set, it would read "max(1,2)"
    // as max(12).
    eo.parse_options.comma_as_separator = false;
    eo.parse_options.angle_unit = modes.angle == 1 ? ANGLE_UNIT_DEGREES : ANGLE_UNIT_RADIANS;
    // Complex values are allowed in the complex domain, and in the real-result domain on the
    // way to the result (which calculate then checks); real-calc calculates in the reals.
    eo.allow_complex = modes.domain != 0;
    eo.complex_number_form =
        modes.complexForm == 1 ? COMPLEX_NUMBER_FORM_EXPONENTIAL : COMPLEX_NUMBER_FORM_RECTANGULAR;
    eo.interval_calculation = INTERVAL_CALCULATION_NONE;
    eo.mixed_units_conversion = MIXED_UNITS_CONVERSION_NONE;
    eo.auto_post_conversion =
        modes.units == 1 ? POST_CONVERSION_OPTIMAL : POST_CONVERSION_OPTIMAL_SI;
    eo.structuring = STRUCTURING_SIMPLIFY;
    return eo;
}

PrintOptions KV_QalcEngine::printOptions(const Modes& modes, AnsType type) const {
    PrintOptions po;
    po.use_unicode_signs = false;
    po.interval_display = INTERVAL_DISPLAY_SIGNIFICANT_DIGITS;
    po.number_fraction_format = modes.arith == 1 ? FRACTION_FRACTIONAL : FRACTION_DECIMAL;
    po.indicate_infinite_series = false;
    po.restrict_fraction_length = modes.arith != 1;
    // Approximate values print their significant digits only, unless fixed decimals ask.
    po.show_ending_zeroes = false;
    const bool full = type == FULL_PRECISION_ANS || type == FULL_PRECISION_ANS_NOEXPORT;
    if (full) {
        po.min_exp = EXP_PRECISION;
        return po;
    }
    // Scientific style writes every value with an exponent (12 is 1.2E1), as formatFloat does.
    po.min_exp = modes.exponentStyle == 1   ? EXP_PURE
                 : modes.exponentStyle == 2 ? EXP_BASE_3
                                            : EXP_PRECISION;
    if (modes.decimalStyle == 1) {
        po.use_min_decimals = true;
        po.use_max_decimals = true;
        po.min_decimals = po.max_decimals = modes.digits;
        po.show_ending_zeroes = true;
    }
    return po;
}

void KV_QalcEngine::takeMessages(QStringList& warnings, bool* parseTrouble, bool* error) {
    for (CalculatorMessage* m = CALCULATOR->message(); m; m = CALCULATOR->nextMessage()) {
        warnings << fromEngine(m->message());
        if (parseTrouble &&
            (m->stage() == MESSAGE_STAGE_PARSING || m->category() == MESSAGE_CATEGORY_PARSING))
            *parseTrouble = true;
        if (error && m->type() == MESSAGE_ERROR)
            *error = true;
    }
    CALCULATOR->clearMessages();
}

int KV_QalcEngine::parse(const QString& text, const Modes& modes, MathStructure& parsed,
                         QStringList& warnings, bool preserveFormat) {
    CALCULATOR->clearMessages();
    EvaluationOptions eo = evaluationOptions(modes, false);
    eo.parse_options.preserve_format = preserveFormat;
    CALCULATOR->parse(&parsed, CALCULATOR->unlocalizeExpression(toEngine(text), eo.parse_options),
                      eo.parse_options);
    bool trouble = false;
    takeMessages(warnings, &trouble);
    return trouble ? KV_MathErrors::SyntaxError : KV_MathErrors::Ok;
}

int KV_QalcEngine::calculate(const QString& text, const Modes& modes, bool approximate,
                             int timeLimitMs, MathStructure& result, QStringList& warnings,
                             MathStructure* parsed) {
    CALCULATOR->clearMessages();
    const EvaluationOptions eo = evaluationOptions(modes, approximate);
    MathStructure parsedHere;
    CALCULATOR->startControl(timeLimitMs);
    result =
        CALCULATOR->calculate(CALCULATOR->unlocalizeExpression(toEngine(text), eo.parse_options),
                              eo, parsed ? parsed : &parsedHere);
    if (!CALCULATOR->aborted() && modes.units == 1)
        convertToUsUnits(result, eo);
    // Checked under the same time limit: the check may simplify the value once more.
    const bool real = modes.domain == 1 || CALCULATOR->aborted() || isReal(result, eo);
    const bool aborted = CALCULATOR->aborted();
    CALCULATOR->stopControl();
    bool trouble = false;
    bool error = false;
    takeMessages(warnings, &trouble, &error);
    if (aborted)
        return KV_MathErrors::TimedOut;
    if (trouble)
        return KV_MathErrors::SyntaxError;
    if (error)
        return KV_MathErrors::CalculationFailed;
    if (!real)
        return KV_MathErrors::NotRealNumber;
    return KV_MathErrors::Ok;
}

namespace {
bool holdsImaginaryNumber(const MathStructure& value) {
    if (value.isNumber())
        return value.number().hasImaginaryPart();
    for (size_t i = 0; i < value.size(); ++i) {
        if (holdsImaginaryNumber(value[i]))
            return true;
    }
    return false;
}
} // namespace

bool KV_QalcEngine::isReal(const MathStructure& value, const EvaluationOptions& eo) const {
    if (holdsImaginaryNumber(value))
        return false;
    if (eo.allow_complex || value.isNumber())
        return true;
    // Calculated in the reals, a non-real value stays unsimplified (sqrt(-4), ln(-1)): it shows
    // when the value is simplified once more with complex numbers allowed.
    EvaluationOptions complex = eo;
    complex.allow_complex = true;
    MathStructure probe(value);
    CALCULATOR->beginTemporaryStopMessages();
    probe.eval(complex);
    CALCULATOR->endTemporaryStopMessages();
    return !holdsImaginaryNumber(probe);
}

void KV_QalcEngine::convertToUsUnits(MathStructure& value, const EvaluationOptions& eo) const {
    if (!value.containsType(STRUCT_UNIT, false, false, false))
        return;
    // The first target of the same dimension: the converted value divided by the target has
    // no unit left (litres are gal, not ft^3, although both are made of ft).
    for (const char* target : UsUnits) {
        const MathStructure targetValue = CALCULATOR->parse(target, eo.parse_options);
        MathStructure converted = CALCULATOR->convert(value, target, eo);
        MathStructure ratio(converted);
        ratio.divide(targetValue);
        ratio.eval(eo);
        if (!ratio.containsType(STRUCT_UNIT, false, false, false)) {
            value = converted;
            return;
        }
    }
}

QString KV_QalcEngine::print(const MathStructure& value, const Modes& modes, AnsType type,
                             int timeLimitMs, bool reorder) {
    PrintOptions po = printOptions(modes, type);
    const bool full = type == FULL_PRECISION_ANS || type == FULL_PRECISION_ANS_NOEXPORT;
    // Significant digits of a float answer come from the engine's working precision.
    int digits = EnginePrecision;
    if (!full && modes.decimalStyle == 0)
        digits = modes.digits > 0 ? qMin<int>(modes.digits, EnginePrecision) : AutoDigits;
    MathStructure copy(value);
    CALCULATOR->setPrecision(digits);
    CALCULATOR->startControl(timeLimitMs);
    if (reorder)
        copy.format(po);
    const bool mathML = type == MATHML_ANS || type == MATHML_ANS_NOEXPORT;
    const QString text = mathML ? KV_MathMLWriter::write(copy, po) : fromEngine(copy.print(po));
    CALCULATOR->stopControl();
    CALCULATOR->setPrecision(EnginePrecision);
    CALCULATOR->clearMessages();
    return text;
}

void KV_QalcEngine::applyVectorForm(MathStructure& value, const Modes& modes) {
    if (modes.vectorForm == 0 || !value.isVector() || value.size() < 2 || value.size() > 3)
        return;
    double c[3] = {0, 0, 0};
    for (size_t i = 0; i < value.size(); ++i) {
        if (!realValue(value[i], c[i]) || !std::isfinite(c[i]))
            return;
    }
    const double unit = modes.angle == 1 ? 180 / M_PI : 1.0;
    const double rxy = std::hypot(c[0], c[1]);
    const double theta = std::atan2(c[1], c[0]) * unit;
    double out[3] = {rxy, theta, c[2]};
    if (modes.vectorForm == 2 && value.size() == 3) {
        out[0] = std::hypot(rxy, c[2]);
        out[2] = out[0] == 0 ? 0 : std::acos(c[2] / out[0]) * unit;
    }
    MathStructure converted;
    converted.clearVector();
    for (size_t i = 0; i < value.size(); ++i) {
        Number n;
        n.setFloat(out[i]);
        converted.addChild(MathStructure(n));
    }
    value = converted;
}

void KV_QalcEngine::startControl(int timeLimitMs) {
    CALCULATOR->startControl(timeLimitMs);
}
bool KV_QalcEngine::aborted() {
    return CALCULATOR->aborted();
}
void KV_QalcEngine::stopControl() {
    CALCULATOR->stopControl();
}

bool KV_QalcEngine::realValue(const MathStructure& value, double& out) {
    if (!value.isNumber() || !value.number().isReal())
        return false;
    const Number& n = value.number();
    if (n.isPlusInfinity()) {
        out = HUGE_VAL;
        return true;
    }
    if (n.isMinusInfinity()) {
        out = -HUGE_VAL;
        return true;
    }
    out = n.floatValue();
    return !std::isnan(out);
}

QString KV_QalcEngine::formatNumber(double value, unsigned decimalStyle, unsigned exponentStyle,
                                    unsigned digits) {
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    const bool fixed = decimalStyle == 1;
    const int d = qMin<int>(digits, 17);
    if (exponentStyle == 0) {
        if (fixed)
            return QString::number(value, 'f', d);
        const QString plain = QString::number(value, 'g', d > 0 ? d : AutoDigits);
        if (!plain.contains(QLatin1Char('e')))
            return plain;
        // Too large or too small for plain digits: the scientific form, written as the other
        // styles write it (1.235E6, not 1.235e+06).
        exponentStyle = 1;
    }
    if (value == 0.0)
        return fixed ? QString::number(0.0, 'f', d) + QStringLiteral("E0") : QStringLiteral("0E0");
    int exponent = int(std::floor(std::log10(std::fabs(value))));
    if (exponentStyle == 2)
        exponent = int(std::floor(exponent / 3.0)) * 3;
    double mantissa = value / std::pow(10.0, exponent);
    QString m;
    if (fixed) {
        m = QString::number(mantissa, 'f', d);
    } else {
        // Significant digits: keep them over the whole mantissa.
        m = QString::number(mantissa, 'g', d > 0 ? d : AutoDigits);
        if (m.contains(QLatin1Char('e'))) {
            m = QString::number(mantissa, 'f', 0);
        }
    }
    // Rounding may carry the mantissa over to the next power of ten.
    const double rounded = m.toDouble();
    const double limit = exponentStyle == 2 ? 1000.0 : 10.0;
    if (std::fabs(rounded) >= limit) {
        const int step = exponentStyle == 2 ? 3 : 1;
        exponent += step;
        mantissa = value / std::pow(10.0, exponent);
        m = fixed ? QString::number(mantissa, 'f', d)
                  : QString::number(mantissa, 'g', d > 0 ? d : AutoDigits);
    }
    return m + QStringLiteral("E") + QString::number(exponent);
}
