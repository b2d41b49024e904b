#include "numerics/kv_functionevaluator.h"

#include "engine/kv_matherrors.h"
#include "engine/kv_messagestops.h"
#include "engine/kv_qalcengine.h"

#include <libqalculate/qalculate.h>

KV_FunctionEvaluator::KV_FunctionEvaluator() = default;
KV_FunctionEvaluator::~KV_FunctionEvaluator() = default;

int KV_FunctionEvaluator::parse(const QString& function, const QStringList& variables,
                                const Modes& modes, QStringList& warnings) {
    if (variables.size() > KV_MathErrors::MaxParameters)
        return KV_MathErrors::TooManyParameters;
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    QString plain = function;
    if (const int code = engine.checkExpression(plain, variables, warnings))
        return code;
    QStringList placeholders;
    symbols_.clear();
    for (int i = 0; i < variables.size(); ++i) {
        placeholders << KV_QalcEngine::placeholder(i);
        MathStructure symbol;
        symbol.set(KV_QalcEngine::placeholderSymbol(i), false);
        symbols_.push_back(symbol);
    }
    const QString text = KV_QalcEngine::substituteNames(plain, variables, placeholders);
    auto parsed = std::make_unique<MathStructure>();
    if (const int code = engine.parse(text, modes, *parsed, warnings))
        return code;
    parsed_ = std::move(parsed);
    options_ = std::make_unique<EvaluationOptions>(engine.evaluationOptions(modes, true));
    // Real arithmetic unless the complex domain is chosen; a complex value is "not real".
    options_->allow_complex = true;
    return KV_MathErrors::Ok;
}

int KV_FunctionEvaluator::evaluate(const double* values, double& out) const {
    if (!parsed_)
        return KV_MathErrors::ParseRecordInvalid;
    MathStructure m(*parsed_);
    for (size_t i = 0; i < symbols_.size(); ++i) {
        Number n;
        n.setFloat(values[i]);
        m.replace(symbols_[i], MathStructure(n));
    }
    m.eval(*options_);
    if (KV_QalcEngine::aborted())
        return KV_MathErrors::TimedOut;
    if (KV_QalcEngine::realValue(m, out))
        return KV_MathErrors::Ok;
    // A name left unknown (x in a function of y) keeps the value from being a number.
    return m.containsUnknowns() ? KV_MathErrors::UnknownVariable : KV_MathErrors::NotRealNumber;
}

int KV_FunctionEvaluator::probe(double x, double& out) const {
    const KV_MessageStops stops;
    CALCULATOR->beginTemporaryStopMessages();
    const int code = evaluate(x, out);
    CALCULATOR->endTemporaryStopMessages();
    return code;
}
