// The math server as its callers see it: an object served by the broker under the class name
// "KVQ_MathServer" and used only through these virtual operations. Every operation that returns
// int returns 0 on success or a code that errorString() turns into text.
#ifndef KVQ_MATHSERVER_H
#define KVQ_MATHSERVER_H

#include "kv_mathtypes.h"

#include <QObject>
#include <QString>
#include <QStringList>

class KVQ_MathServer : public QObject {
    Q_OBJECT

public:
    explicit KVQ_MathServer(QObject* parent = nullptr);
    ~KVQ_MathServer() override;

    virtual void prepare(const QString& argument) = 0;
    virtual void reserved1() {}
    virtual void reserved2() {}
    virtual int evaluate(const QString& expression, AnsType type, QString& answer) = 0;
    virtual int evaluate(const QString& expression, AnsType type, QString& answer,
                         QString& fullPrecision1DAnswer) = 0;
    // The warnings of the last operation; empty when there were none.
    virtual void getWarnings(QStringList& warnings) = 0;
    virtual void reserved3() {}
    virtual void errorString(int code, QString& text) = 0;
    virtual int helpString(const QString& keyword, QString& help) = 0;

    virtual int GC_GraphExpression(const QString& function, const QString& xvar, double xmin,
                                   double xmax, double xstep, bool detectDiscontinuities,
                                   GraphData& data) = 0;
    virtual int GC_GraphParametric(const QString& xFunction, const QString& yFunction,
                                   const QString& tvar, double tmin, double tmax, double tstep,
                                   bool detectDiscontinuities, ParametricGraphData& data) = 0;
    virtual int GC_RealValue(const QString& expression, double& value) = 0;
    virtual int GC_FMin(const QString& function, const QString& xvar, double xmin, double xmax,
                        double xguess, double& x, double& y) = 0;
    virtual int GC_FMax(const QString& function, const QString& xvar, double xmin, double xmax,
                        double xguess, double& x, double& y) = 0;
    virtual int GC_FDerivative(const QString& function, const QString& xvar, double x0,
                               double& derivative) = 0;
    virtual int GC_FIntegral(const QString& function, const QString& xvar, double a, double b,
                             double& integral) = 0;
    virtual int GC_FIntersect(const QString& firstFunction, const QString& secondFunction,
                              const QString& xvar, double xmin, double xmax, double guess,
                              double& x, double& y) = 0;
    virtual int GC_PolarSlope(const QString& rFunction, const QString& thetavar, double theta0,
                              double& drdtheta, double& dydx) = 0;
    virtual int GC_ParametricSlope(const QString& xFunction, const QString& yFunction,
                                   const QString& tvar, double t0, double& dydx, double& dxdt,
                                   double& dydt) = 0;
    virtual int GC_GetRealArray(const QString& expression, RealArray& array) = 0;
    virtual int GC_EvalFParse(const QString& function, ParsedFunction& parsed) = 0;
    // names is null-terminated; values holds one value per name.
    virtual int GC_EvalF(const ParsedFunction& parsed, char** names, double* values,
                         double& result) = 0;

    virtual int parseAndFormat(const QString& expression, AnsType type, QString& answer) = 0;
    virtual void formatFloat(double value, FloatFormat format, int maxWidth, QString& text) = 0;
    virtual void formatFloat(double value, int maxWidth, QString& text) = 0;

    virtual int ST_ClearSymbolTable() = 0;
    virtual int ST_GetList(const QString& listExpression, int minIndex, int maxIndex, AnsType type,
                           QStringList& elements) = 0;
    virtual int ST_GetKeyword(unsigned tag1, unsigned tag2, QString& keyword) = 0;
    virtual int ST_GetTags(const QString& opOrKeyword, unsigned& tag1, unsigned& tag2) = 0;
    // An empty value deletes the variable. validation is a DefVarValidation.
    virtual int ST_DefVar(const QString& name, const QString& value, int validation) = 0;
    virtual int ST_GetVarNames(VarType type, QStringList& names) = 0;
    virtual int ST_GetVarType(const QString& name, VarType& type) = 0;
    virtual int ST_GetVarValue(const QString& name, QString& value) = 0;
    virtual int ST_IsValidVarName(const QString& name, bool& valid) = 0;
    virtual int ST_GetDim(const QString& expression, unsigned& rowDim, unsigned& colDim) = 0;
    virtual int ST_GetVarNamesInExpression(const QString& expression, QStringList& names) = 0;

    // Sets the break flag for the next call; returns the flag to pass next time.
    virtual bool breakFlag(bool flag) = 0;
    // Always writes path: a server-owned string, or null.
    virtual void keywordFilePath(const char*& path) = 0;
    virtual void setModes(const Modes& modes) = 0;
    virtual Modes getModes() = 0;
};

#endif
