// Numeric methods on functions of one variable, and functions parsed once and evaluated often.
#include "server/kvq_qalcmathserver.h"

#include "engine/kv_enginescope.h"
#include "numerics/kv_functionevaluator.h"
#include "numerics/kv_numerics.h"
#include "numerics/kv_parsedfunctionrecord.h"
#include "server/kvq_qalcmathservercall.h"
#include "symbols/kv_symboltable.h"

#include <libqalculate/qalculate.h>

#include <cmath>

int KVQ_QalcMathServer::functionOf(const QString& function, const QString& variable,
                                   std::unique_ptr<KV_FunctionEvaluator>& evaluator) {
    if (!KV_SymbolTable::isValidName(variable))
        return KV_MathErrors::InvalidVariableName;
    evaluator = std::make_unique<KV_FunctionEvaluator>();
    return evaluator->parse(function, {variable}, modes_, warnings_);
}

int KVQ_QalcMathServer::extremum(const QString& function, const QString& xvar, double xmin,
                                 double xmax, double xguess, bool maximum, double& x, double& y) {
    Call call(this);
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = call.start(function, xvar, f))
        return code;
    const double sign = maximum ? -1.0 : 1.0;
    KV_Numerics::Function g = [&](double at, double& out) {
        const int code = f->evaluate(at, out);
        out *= sign;
        return code;
    };
    KV_EngineScope scope(timeLimitMs_, warnings_);
    double foundX = 0, foundY = 0;
    int code = KV_Numerics::minimum(g, xmin, xmax, xguess, foundX, foundY);
    if (code == KV_MathErrors::NoMinimum && maximum)
        code = KV_MathErrors::NoMaximum;
    if (code != KV_MathErrors::Ok)
        return code;
    x = foundX;
    y = sign * foundY;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_FMin(const QString& function, const QString& xvar, double xmin,
                                double xmax, double xguess, double& x, double& y) {
    return extremum(function, xvar, xmin, xmax, xguess, false, x, y);
}

int KVQ_QalcMathServer::GC_FMax(const QString& function, const QString& xvar, double xmin,
                                double xmax, double xguess, double& x, double& y) {
    return extremum(function, xvar, xmin, xmax, xguess, true, x, y);
}

int KVQ_QalcMathServer::derivativeAt(const KV_FunctionEvaluator& f, double x0, double& value) {
    KV_Numerics::Function g = [&](double at, double& out) { return f.evaluate(at, out); };
    return KV_Numerics::derivative(g, x0, value);
}

int KVQ_QalcMathServer::GC_FDerivative(const QString& function, const QString& xvar, double x0,
                                       double& derivative) {
    Call call(this);
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = call.start(function, xvar, f))
        return code;
    KV_EngineScope scope(timeLimitMs_, warnings_);
    return derivativeAt(*f, x0, derivative);
}

int KVQ_QalcMathServer::GC_FIntegral(const QString& function, const QString& xvar, double a,
                                     double b, double& integral) {
    Call call(this);
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = call.start(function, xvar, f))
        return code;
    KV_Numerics::Function g = [&](double at, double& out) { return f->evaluate(at, out); };
    KV_Numerics::Function probe = [&](double at, double& out) { return f->probe(at, out); };
    KV_EngineScope scope(timeLimitMs_, warnings_);
    return KV_Numerics::integral(g, probe, a, b, integral);
}

int KVQ_QalcMathServer::GC_FIntersect(const QString& firstFunction, const QString& secondFunction,
                                      const QString& xvar, double xmin, double xmax, double guess,
                                      double& x, double& y) {
    Call call(this);
    std::unique_ptr<KV_FunctionEvaluator> f1, f2;
    if (const int code = call.start(firstFunction, secondFunction, xvar, f1, f2))
        return code;
    KV_Numerics::Function h = [&](double at, double& out) {
        double a = 0, b = 0;
        if (const int code = f1->evaluate(at, a))
            return code;
        if (const int code = f2->evaluate(at, b))
            return code;
        out = a - b;
        return int(KV_MathErrors::Ok);
    };
    KV_EngineScope scope(timeLimitMs_, warnings_);
    double root = 0, value = 0;
    int code = KV_Numerics::root(h, xmin, xmax, guess, root);
    if (code == KV_MathErrors::Ok)
        code = f1->evaluate(root, value);
    if (code != KV_MathErrors::Ok)
        return code;
    x = root;
    y = value;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_PolarSlope(const QString& rFunction, const QString& thetavar,
                                      double theta0, double& drdtheta, double& dydx) {
    Call call(this);
    std::unique_ptr<KV_FunctionEvaluator> r;
    if (const int code = call.start(rFunction, thetavar, r))
        return code;
    KV_EngineScope scope(timeLimitMs_, warnings_);
    double r0 = 0, dr = 0;
    int code = r->evaluate(theta0, r0);
    if (code == KV_MathErrors::Ok)
        code = derivativeAt(*r, theta0, dr);
    if (code != KV_MathErrors::Ok)
        return code;
    // x = r cos(theta), y = r sin(theta); theta counts in the angle mode's unit.
    const double k = modes_.angle == 1 ? M_PI / 180 : 1.0;
    const double th = theta0 * k;
    const double dx = dr * std::cos(th) - k * r0 * std::sin(th);
    const double dy = dr * std::sin(th) + k * r0 * std::cos(th);
    drdtheta = dr;
    dydx = dx == 0 ? (dy >= 0 ? HUGE_VAL : -HUGE_VAL) : dy / dx;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_ParametricSlope(const QString& xFunction, const QString& yFunction,
                                           const QString& tvar, double t0, double& dydx,
                                           double& dxdt, double& dydt) {
    Call call(this);
    std::unique_ptr<KV_FunctionEvaluator> fx, fy;
    if (const int code = call.start(xFunction, yFunction, tvar, fx, fy))
        return code;
    KV_EngineScope scope(timeLimitMs_, warnings_);
    double dx = 0, dy = 0;
    int code = derivativeAt(*fx, t0, dx);
    if (code == KV_MathErrors::Ok)
        code = derivativeAt(*fy, t0, dy);
    if (code != KV_MathErrors::Ok)
        return code;
    dxdt = dx;
    dydt = dy;
    dydx = dx == 0 ? (dy >= 0 ? HUGE_VAL : -HUGE_VAL) : dy / dx;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_EvalFParse(const QString& function, ParsedFunction& parsed) {
    Call call(this);
    if (const int code = call.start())
        return code;
    // The names become known only at GC_EvalF; here the text is checked as far as it can be.
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    QString text = function;
    if (const int code = engine.checkExpression(text, {}, warnings_, true))
        return code;
    MathStructure check;
    if (const int code = engine.parse(text, modes_, check, warnings_))
        return code;
    void* data = KV_ParsedFunctionRecord::create(text, modes_);
    if (!data)
        return KV_MathErrors::CalculationFailed;
    parsed.data = data;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_EvalF(const ParsedFunction& parsed, char** names, double* values,
                                 double& result) {
    Call call(this);
    if (const int code = call.start())
        return code;
    QString text;
    Modes modes;
    if (!KV_ParsedFunctionRecord::read(parsed.data, text, modes))
        return KV_MathErrors::ParseRecordInvalid;
    if (!names)
        return KV_MathErrors::NullNames;
    QStringList variables;
    for (int i = 0; names[i]; ++i) {
        if (i >= KV_MathErrors::MaxParameters)
            return KV_MathErrors::TooManyParameters;
        const QString name = QString::fromLatin1(names[i]);
        if (!KV_SymbolTable::isValidName(name))
            return KV_MathErrors::InvalidVariableName;
        variables << name;
    }
    if (!variables.isEmpty() && !values)
        return KV_MathErrors::BadArgument;

    QByteArray modeBytes(reinterpret_cast<const char*>(&modes), sizeof modes);
    const QString key = text + QChar(0) + variables.join(QChar(0)) + QChar(0) +
                        QString::fromLatin1(modeBytes.toHex());
    const quint64 generation = KV_SymbolTable::instance().generation();
    auto it = evaluators_.find(key);
    if (it == evaluators_.end() || it->generation != generation) {
        auto evaluator = std::make_shared<KV_FunctionEvaluator>();
        if (const int code = evaluator->parse(text, variables, modes, warnings_))
            return code;
        if (evaluators_.size() >= EvaluatorCacheSize)
            evaluators_.clear();
        it = evaluators_.insert(key, CachedEvaluator{generation, evaluator});
    }
    KV_EngineScope scope(timeLimitMs_, warnings_);
    double value = 0;
    const int code = it->evaluator->evaluate(values, value);
    if (code != KV_MathErrors::Ok)
        return code;
    result = value;
    return KV_MathErrors::Ok;
}
