// The math server served as "KVQ_MathServer", on the process-wide calculator engine. Each
// instance keeps its own modes, warnings, break flag and time limit; the symbol table and the
// watch codes are shared by the process.
#ifndef KVQ_QALCMATHSERVER_H
#define KVQ_QALCMATHSERVER_H

#include "kvq_mathserver.h"

#include <QByteArray>
#include <QHash>

#include <memory>

class KV_FunctionEvaluator;
class MathStructure;

class KVQ_QalcMathServer : public KVQ_MathServer {
    Q_OBJECT

public:
    // Time limit of one calculation unless prepare() sets another.
    static constexpr int DefaultTimeLimitMs = 5000;

    explicit KVQ_QalcMathServer(QObject* parent = nullptr);
    ~KVQ_QalcMathServer() override;

    // Loads the engine and the keyword table; a positive number in argument sets the time
    // limit of one calculation in seconds (at most 3600).
    void prepare(const QString& argument) override;
    int evaluate(const QString& expression, AnsType type, QString& answer) override;
    int evaluate(const QString& expression, AnsType type, QString& answer,
                 QString& fullPrecision1DAnswer) override;
    void getWarnings(QStringList& warnings) override;
    void errorString(int code, QString& text) override;
    int helpString(const QString& keyword, QString& help) override;

    int GC_GraphExpression(const QString& function, const QString& xvar, double xmin, double xmax,
                           double xstep, bool detectDiscontinuities, GraphData& data) override;
    int GC_GraphParametric(const QString& xFunction, const QString& yFunction, const QString& tvar,
                           double tmin, double tmax, double tstep, bool detectDiscontinuities,
                           ParametricGraphData& data) override;
    int GC_RealValue(const QString& expression, double& value) override;
    int GC_FMin(const QString& function, const QString& xvar, double xmin, double xmax,
                double xguess, double& x, double& y) override;
    int GC_FMax(const QString& function, const QString& xvar, double xmin, double xmax,
                double xguess, double& x, double& y) override;
    int GC_FDerivative(const QString& function, const QString& xvar, double x0,
                       double& derivative) override;
    int GC_FIntegral(const QString& function, const QString& xvar, double a, double b,
                     double& integral) override;
    int GC_FIntersect(const QString& firstFunction, const QString& secondFunction,
                      const QString& xvar, double xmin, double xmax, double guess, double& x,
                      double& y) override;
    int GC_PolarSlope(const QString& rFunction, const QString& thetavar, double theta0,
                      double& drdtheta, double& dydx) override;
    int GC_ParametricSlope(const QString& xFunction, const QString& yFunction, const QString& tvar,
                           double t0, double& dydx, double& dxdt, double& dydt) override;
    int GC_GetRealArray(const QString& expression, RealArray& array) override;
    int GC_EvalFParse(const QString& function, ParsedFunction& parsed) override;
    int GC_EvalF(const ParsedFunction& parsed, char** names, double* values,
                 double& result) override;

    int parseAndFormat(const QString& expression, AnsType type, QString& answer) override;
    void formatFloat(double value, FloatFormat format, int maxWidth, QString& text) override;
    void formatFloat(double value, int maxWidth, QString& text) override;

    int ST_ClearSymbolTable() override;
    int ST_GetList(const QString& listExpression, int minIndex, int maxIndex, AnsType type,
                   QStringList& elements) override;
    int ST_GetKeyword(unsigned tag1, unsigned tag2, QString& keyword) override;
    int ST_GetTags(const QString& opOrKeyword, unsigned& tag1, unsigned& tag2) override;
    int ST_DefVar(const QString& name, const QString& value, int validation) override;
    int ST_GetVarNames(VarType type, QStringList& names) override;
    int ST_GetVarType(const QString& name, VarType& type) override;
    int ST_GetVarValue(const QString& name, QString& value) override;
    int ST_IsValidVarName(const QString& name, bool& valid) override;
    int ST_GetDim(const QString& expression, unsigned& rowDim, unsigned& colDim) override;
    int ST_GetVarNamesInExpression(const QString& expression, QStringList& names) override;

    // Sets a break request: while it is set, the next calculation stops at once with the
    // code Interrupted and clears it. Returns the previous setting.
    bool breakFlag(bool flag) override;
    void keywordFilePath(const char*& path) override;
    void setModes(const Modes& modes) override;
    Modes getModes() override;

    // Evaluations cached for GC_EvalF (bounded).
    static constexpr int EvaluatorCacheSize = 16;

private:
    class Call;

    static bool validAnsType(int type);

    // Checks the expression and calculates it under this instance's modes and time limit.
    int checkAndCalculate(const QString& expression, bool approximate, MathStructure& result);
    int evaluateAs(const QString& expression, AnsType type, QString& answer,
                   QString* fullPrecision);
    int defineFromAssignment(const QString& expression, QString& answer, bool& handled);
    int functionOf(const QString& function, const QString& variable,
                   std::unique_ptr<KV_FunctionEvaluator>& evaluator);
    int extremum(const QString& function, const QString& xvar, double xmin, double xmax,
                 double xguess, bool maximum, double& x, double& y);
    int derivativeAt(const KV_FunctionEvaluator& f, double x0, double& value);
    QString formatAnswer(const MathStructure& value, AnsType type, bool reorder = true);

    Modes modes_;
    QStringList warnings_;
    bool breakRequested_ = false;
    int timeLimitMs_ = DefaultTimeLimitMs;
    QByteArray keywordPath_;
    struct CachedEvaluator {
        quint64 generation;
        std::shared_ptr<KV_FunctionEvaluator> evaluator;
    };
    QHash<QString, CachedEvaluator> evaluators_;
};

#endif
