// Text of results: answers in the answer types and modes, and real numbers in number formats.
#include "engine/kv_qalcengine.h"

#include "engine/kv_matherrors.h"
#include "engine/kv_mathmlwriter.h"

#include <libqalculate/qalculate.h>

#include <cmath>

namespace {
// Significant digits of a formatted float answer with automatic digits.
constexpr int AutoDigits = 10;

// Decimal digits of the numbers of a value written in full (numerators and denominators), or
// -1 when one of them is approximate or not rational.
long fullDigits(const MathStructure& value) {
    if (value.isNumber()) {
        const Number& n = value.number();
        if (n.isApproximate() || !n.isRational())
            return -1;
        const long bits = long(n.numerator().integerLength()) + n.denominator().integerLength();
        // log10(2) is a little above 0.30103.
        return bits * 30103 / 100000 + 2;
    }
    long sum = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        const long digits = fullDigits(value[i]);
        if (digits < 0)
            return -1;
        sum += digits;
    }
    return sum;
}
} // namespace

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

QString KV_QalcEngine::print(const MathStructure& value, const Modes& modes, AnsType type,
                             int timeLimitMs, bool reorder) {
    PrintOptions po = printOptions(modes, type);
    // A time keeps plain seconds: 2 h + 30 min, never 9 ks.
    if (isTime(value))
        po.use_unit_prefixes = false;
    const bool full = type == FULL_PRECISION_ANS || type == FULL_PRECISION_ANS_NOEXPORT;
    // Significant digits of a float answer come from the engine's working precision.
    int digits = EnginePrecision;
    if (!full && modes.decimalStyle == 0)
        digits = modes.digits > 0 ? qMin<int>(modes.digits, EnginePrecision) : AutoDigits;
    // Exact arithmetic writes exact numbers with all their digits (30! in full, not 2.65E32),
    // as long as the answer stays within the length of an expression.
    if (modes.arith == 1 && po.min_exp == EXP_PRECISION) {
        const long digitsInFull = fullDigits(value);
        if (digitsInFull >= 0 && digitsInFull <= KV_MathErrors::MaxExpressionLength)
            po.min_exp = EXP_NONE;
    }
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
