// A function of named real variables, parsed once and evaluated at many points.
#ifndef KV_FUNCTIONEVALUATOR_H
#define KV_FUNCTIONEVALUATOR_H

#include "kv_mathtypes.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class MathStructure;
struct EvaluationOptions;

class KV_FunctionEvaluator {
public:
    KV_FunctionEvaluator();
    ~KV_FunctionEvaluator();
    KV_FunctionEvaluator(const KV_FunctionEvaluator&) = delete;
    KV_FunctionEvaluator& operator=(const KV_FunctionEvaluator&) = delete;

    // Parses function with variables as its arguments, under the angle and domain modes.
    int parse(const QString& function, const QStringList& variables, const Modes& modes,
              QStringList& warnings);
    // The value at the given variable values (one per variable). Ok with a real value (which
    // may be infinite), or NotRealNumber, CalculationFailed or TimedOut. Call it inside the
    // engine's time control.
    int evaluate(const double* values, double& out) const;
    // One-variable convenience form.
    int evaluate(double x, double& out) const { return evaluate(&x, out); }
    // evaluate(x, out) with the engine's messages held back: a numeric method's look at the
    // function beyond the points the user asked about.
    int probe(double x, double& out) const;

private:
    std::unique_ptr<MathStructure> parsed_;
    std::vector<MathStructure> symbols_;
    std::unique_ptr<EvaluationOptions> options_;
};

#endif
