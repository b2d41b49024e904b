#include "engine/kv_qalcengine.h"

#include "engine/kv_matherrors.h"

#include <libqalculate/qalculate.h>

#include <cmath>

namespace {

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

std::string KV_QalcEngine::toEngine(const QString& text) {
    return text.toStdString();
}

QString KV_QalcEngine::fromEngine(const std::string& text) {
    return QString::fromStdString(text);
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
