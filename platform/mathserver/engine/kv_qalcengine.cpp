#include "engine/kv_qalcengine.h"

#include "engine/kv_enginemessage.h"
#include "engine/kv_matherrors.h"
#include "engine/kv_messagestops.h"

#include <libqalculate/qalculate.h>
#include <libxml/parser.h>
#include <malloc.h>

#include <cmath>

namespace {

// The C allocator's default size limit of fast-bin chunks.
constexpr int DefaultFastBinLimit = 64 * int(sizeof(size_t)) / 4;

// Loads the exchange rates installed with the engine (never fetched: the engine then tells
// their real age when a result uses them), then its definition files, whose currencies take
// those rates. Two settings halve the cost of the definitions without changing what is loaded:
// the files' indentation is not kept as text nodes, which the engine skips anyway, and the
// allocator's fast bins are off meanwhile, since each parsed file, freed at once, would fill
// them, and merging them again on the next large allocation costs more than parsing the file.
void loadDefinitions() {
    mallopt(M_MXFAST, 0);
    // The reader of the central bank's rates needs the indentation nodes: it runs first.
    CALCULATOR->loadExchangeRates();
    const int keptBlanks = xmlKeepBlanksDefault(0);
    CALCULATOR->loadGlobalDefinitions();
    mallopt(M_MXFAST, DefaultFastBinLimit);
    xmlKeepBlanksDefault(keptBlanks);
}

// Whether a calculated value still holds a division by zero (1/0 stays unsimplified).
bool dividesByZero(const MathStructure& value) {
    if (value.isPower() && value[0].isZero() && value[1].isNumber() &&
        value[1].number().isNegative())
        return true;
    if (value.isDivision() && value[1].isZero())
        return true;
    for (size_t i = 0; i < value.size(); ++i) {
        if (dividesByZero(value[i]))
            return true;
    }
    return false;
}

} // namespace

KV_QalcEngine& KV_QalcEngine::instance() {
    static KV_QalcEngine engine;
    return engine;
}

KV_QalcEngine::KV_QalcEngine() {
    if (!CALCULATOR)
        new Calculator();
    loadDefinitions();
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

void KV_QalcEngine::takeMessages(QStringList& warnings, int* parseTrouble, bool* error) {
    for (CalculatorMessage* m = CALCULATOR->message(); m; m = CALCULATOR->nextMessage()) {
        warnings << fromEngine(m->message());
        if (parseTrouble && *parseTrouble == KV_MathErrors::Ok &&
            (m->stage() == MESSAGE_STAGE_PARSING || m->category() == MESSAGE_CATEGORY_PARSING))
            *parseTrouble = KV_EngineMessage::parseCode(m->message());
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
    // Shown as typed: without the angle unit the engine attaches to symbolic arguments.
    if (preserveFormat)
        parsed.removeDefaultAngleUnit(eo);
    int trouble = KV_MathErrors::Ok;
    takeMessages(warnings, &trouble);
    return trouble;
}

int KV_QalcEngine::calculate(const QString& text, const Modes& modes, bool approximate,
                             int timeLimitMs, MathStructure& result, QStringList& warnings,
                             MathStructure* parsed) {
    CALCULATOR->clearMessages();
    EvaluationOptions eo = evaluationOptions(modes, approximate);
    // Interval arithmetic carries the error of approximate values along, so that a result that
    // is zero within that error prints as 0 (sqrt(2)^2-2), not as rounding residue.
    eo.interval_calculation = INTERVAL_CALCULATION_VARIANCE_FORMULA;
    CALCULATOR->useIntervalArithmetic(true);
    const std::string expression =
        CALCULATOR->unlocalizeExpression(toEngine(text), eo.parse_options);
    MathStructure parsedHere;
    const KV_MessageStops stops;
    CALCULATOR->startControl(timeLimitMs);
    result = CALCULATOR->calculate(expression, eo, parsed ? parsed : &parsedHere);
    stops.restore();
    // The engine attaches the angle mode's unit to symbolic arguments (cos(x rad)); the mode
    // already says what they count in.
    result.removeDefaultAngleUnit(eo);
    // A result converted to a named target keeps it; the others take the units mode's units.
    if (!CALCULATOR->aborted() && !hasTarget(expression, eo))
        showInModeUnits(result, modes, eo);
    // Checked under the same time limit: the check may simplify the value once more.
    const bool real = modes.domain == 1 || CALCULATOR->aborted() || isReal(result, eo);
    const bool aborted = CALCULATOR->aborted();
    CALCULATOR->stopControl();
    CALCULATOR->useIntervalArithmetic(false);
    int trouble = KV_MathErrors::Ok;
    bool error = false;
    takeMessages(warnings, &trouble, &error);
    if (aborted)
        return KV_MathErrors::TimedOut;
    if (trouble)
        return trouble;
    if (error)
        return KV_MathErrors::CalculationFailed;
    if (!real)
        return KV_MathErrors::NotRealNumber;
    if (dividesByZero(result))
        warnings << QStringLiteral("The expression divides by zero");
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
