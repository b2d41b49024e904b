#include "fakemathserver.h"

#include "fakesymbols.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
double* doubles(uint32_t count) {
    return static_cast<double*>(std::malloc(sizeof(double) * (count ? count : 1)));
}

// Points from low to high by step, at most 50.
uint32_t pointCount(double low, double high, double step) {
    if (!(step > 0) || high < low)
        return 0;
    return static_cast<uint32_t>(std::min(50.0, std::floor((high - low) / step) + 1));
}

// Flag bytes for "flags" functions: none, each flag alone, bit 0x01 alone, all flags.
unsigned char* pointFlags(const QString& function, uint32_t count) {
    if (!function.contains(QStringLiteral("flags")))
        return nullptr;
    static const unsigned char pattern[] = {0x00, 0x02, 0x04, 0x08, 0x10, 0x01, 0x1E};
    auto* flags = static_cast<unsigned char*>(std::malloc(count ? count : 1));
    for (uint32_t i = 0; i < count; ++i)
        flags[i] = pattern[i % sizeof pattern];
    return flags;
}

VarType typeOf(const QString& value) {
    if (value == QLatin1String("badtype"))
        return static_cast<VarType>(6); // a number without a type name
    if (value.startsWith(QLatin1Char('[')))
        return MATRIX_TYPE;
    if (value.startsWith(QLatin1Char('{')))
        return LIST_TYPE;
    if (value.startsWith(QLatin1Char('"')))
        return STRING_TYPE;
    return EXPRESSION_TYPE;
}
} // namespace

FakeMathServer::FakeMathServer() {
    modes.digits = 0;
}

int FakeMathServer::begin(const QString& input, int failureCode) {
    warnings.clear();
    if (input.contains(QStringLiteral("warn")))
        warnings << QStringLiteral("first warning") << QStringLiteral("second warning");
    return input.startsWith(QStringLiteral("err")) ? failureCode : 0;
}

void FakeMathServer::prepare(const QString& argument) {
    FakeSymbols::trace(QStringLiteral("prepare %1").arg(argument));
}

int FakeMathServer::evaluate(const QString& expression, AnsType type, QString& answer) {
    if (int code = begin(expression, 7))
        return code;
    if (expression.startsWith(QStringLiteral("rawmodes "))) {
        const uint64_t raw = expression.mid(9).toULongLong(nullptr, 16);
        std::memcpy(&modes, &raw, sizeof modes);
    }
    answer = expression == QLatin1String("minus")
                 ? QString::fromUtf8("\xE2\x88\x92"
                                     "1")
                 : QStringLiteral("eval%1(%2)").arg(static_cast<int>(type)).arg(expression);
    return 0;
}

int FakeMathServer::evaluate(const QString& expression, AnsType type, QString& answer,
                             QString& fullPrecision1DAnswer) {
    const int code = evaluate(expression, type, answer);
    if (code == 0)
        fullPrecision1DAnswer = QStringLiteral("fp(%1)").arg(expression);
    return code;
}

void FakeMathServer::getWarnings(QStringList& list) {
    list = warnings;
}

void FakeMathServer::errorString(int code, QString& text) {
    text = QStringLiteral("fake failure %1").arg(code);
}

int FakeMathServer::helpString(const QString& keyword, QString& help) {
    if (int code = begin(keyword, 3))
        return code;
    help = QString::fromUtf8("about %1 \xCF\x80").arg(keyword);
    return 0;
}

int FakeMathServer::GC_GraphExpression(const QString& function, const QString& xvar, double xmin,
                                       double xmax, double xstep, bool detect, GraphData& data) {
    const int code = begin(function, 4);
    warnings << QStringLiteral("xvar=%1 detect=%2").arg(xvar).arg(detect);
    const uint32_t count = code ? 2 : pointCount(xmin, xmax, xstep);
    data.x = doubles(count);
    data.y = doubles(count);
    data.flags = pointFlags(function, count);
    data.numPoints = count;
    for (uint32_t i = 0; i < count; ++i) {
        data.x[i] = xmin + i * xstep;
        data.y[i] = data.x[i] * data.x[i];
    }
    return code;
}

int FakeMathServer::GC_GraphParametric(const QString& xFunction, const QString& yFunction,
                                       const QString& tvar, double tmin, double tmax, double tstep,
                                       bool detect, ParametricGraphData& data) {
    const int code = begin(xFunction + yFunction, 5);
    warnings << QStringLiteral("tvar=%1 detect=%2").arg(tvar).arg(detect);
    const uint32_t count = code ? 2 : pointCount(tmin, tmax, tstep);
    data.t = doubles(count);
    data.x = doubles(count);
    data.y = doubles(count);
    data.flags = pointFlags(xFunction, count);
    data.numPoints = count;
    for (uint32_t i = 0; i < count; ++i) {
        data.t[i] = tmin + i * tstep;
        data.x[i] = 2 * data.t[i];
        data.y[i] = 0.0 - data.t[i];
    }
    return code;
}

int FakeMathServer::GC_RealValue(const QString& expression, double& value) {
    if (int code = begin(expression, 6))
        return code;
    value = expression.toDouble();
    return 0;
}

int FakeMathServer::GC_FMin(const QString& function, const QString&, double xmin, double xmax,
                            double xguess, double& x, double& y) {
    if (int code = begin(function, 8))
        return code;
    x = xguess;
    y = xmax - xmin;
    return 0;
}

int FakeMathServer::GC_FMax(const QString& function, const QString& xvar, double xmin, double xmax,
                            double xguess, double& x, double& y) {
    const int code = GC_FMin(function, xvar, xmin, xmax, xguess, x, y);
    y = -y;
    return code;
}

int FakeMathServer::GC_FDerivative(const QString& function, const QString&, double x0,
                                   double& derivative) {
    if (int code = begin(function, 9))
        return code;
    derivative = 2 * x0;
    return 0;
}

int FakeMathServer::GC_FIntegral(const QString& function, const QString&, double a, double b,
                                 double& integral) {
    if (int code = begin(function, 10))
        return code;
    integral = b - a;
    return 0;
}

int FakeMathServer::GC_FIntersect(const QString& firstFunction, const QString&, const QString&,
                                  double xmin, double xmax, double guess, double& x, double& y) {
    if (int code = begin(firstFunction, 11))
        return code;
    x = guess;
    y = xmin + xmax;
    return 0;
}

int FakeMathServer::GC_PolarSlope(const QString& rFunction, const QString&, double theta0,
                                  double& drdtheta, double& dydx) {
    if (int code = begin(rFunction, 12))
        return code;
    drdtheta = theta0;
    dydx = -theta0;
    return 0;
}

int FakeMathServer::GC_ParametricSlope(const QString& xFunction, const QString&, const QString&,
                                       double t0, double& dydx, double& dxdt, double& dydt) {
    if (int code = begin(xFunction, 13))
        return code;
    dydx = t0;
    dxdt = 2 * t0;
    dydt = 3 * t0;
    return 0;
}

// "list:1,2,3" is a list; "matrix:C:v,v,..." a matrix of C columns.
int FakeMathServer::GC_GetRealArray(const QString& expression, RealArray& array) {
    const int code = begin(expression, 14);
    const QStringList parts = expression.split(QLatin1Char(':'));
    const QStringList items = parts.last().split(QLatin1Char(','), Qt::SkipEmptyParts);
    array.values = doubles(static_cast<uint32_t>(items.size()));
    for (int i = 0; i < items.size(); ++i)
        array.values[i] = items[i].toDouble();
    if (code)
        return code;
    if (parts.first() == QLatin1String("matrix") && parts.size() == 3) {
        array.cols = parts[1].toInt();
        array.rows = array.cols ? static_cast<int32_t>(items.size()) / array.cols : 0;
    } else {
        array.rows = static_cast<int32_t>(items.size());
        array.cols = 0;
    }
    return 0;
}

int FakeMathServer::GC_EvalFParse(const QString& function, ParsedFunction& parsed) {
    const int code = begin(function, 15);
    parsed.data = strdup(function.toLatin1().constData());
    return code;
}

// "count" gives the number of names; anything else the sum of value i times i (from 1).
int FakeMathServer::GC_EvalF(const ParsedFunction& parsed, char** names, double* values,
                             double& result) {
    const QString function = QString::fromLatin1(static_cast<const char*>(parsed.data));
    if (function.contains(QStringLiteral("fails")))
        return 16;
    result = 0;
    int count = 0;
    for (; names[count]; ++count)
        result += values[count] * (count + 1);
    if (function == QLatin1String("count"))
        result = count;
    return 0;
}

int FakeMathServer::parseAndFormat(const QString& expression, AnsType type, QString& answer) {
    if (int code = begin(expression, 17))
        return code;
    answer = QStringLiteral("pf%1(%2)").arg(static_cast<int>(type)).arg(expression);
    return 0;
}

void FakeMathServer::formatFloat(double value, FloatFormat format, int maxWidth, QString& text) {
    text = QStringLiteral("d%1 e%2 g%3 w%4 %5")
               .arg(format.decimalStyle)
               .arg(format.exponentStyle)
               .arg(format.digits)
               .arg(maxWidth)
               .arg(value);
}

void FakeMathServer::formatFloat(double value, int maxWidth, QString& text) {
    text = QStringLiteral("default w%1 %2").arg(maxWidth).arg(value);
}

int FakeMathServer::ST_ClearSymbolTable() {
    begin(QString(), 0);
    FakeSymbols::instance().clear();
    return 0;
}

// Elements are the comma-separated parts of the expression from minIndex to maxIndex.
int FakeMathServer::ST_GetList(const QString& listExpression, int minIndex, int maxIndex,
                               AnsType type, QStringList& elements) {
    if (int code = begin(listExpression, 18))
        return code;
    const QStringList parts = listExpression.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int i = minIndex; i <= maxIndex && i < parts.size(); ++i)
        elements << (type == FULL_PRECISION_ANS ? parts[i] : parts[i] + QLatin1Char('!'));
    return 0;
}

int FakeMathServer::ST_GetKeyword(unsigned tag1, unsigned tag2, QString& keyword) {
    begin(QString(), 0);
    if (tag1 != 1 || tag2 != 2)
        return 19;
    keyword = QStringLiteral("plus");
    return 0;
}

int FakeMathServer::ST_GetTags(const QString& opOrKeyword, unsigned& tag1, unsigned& tag2) {
    begin(opOrKeyword, 0);
    if (opOrKeyword != QLatin1String("+"))
        return 20;
    tag1 = 1;
    tag2 = 2;
    return 0;
}

int FakeMathServer::ST_DefVar(const QString& name, const QString& value, int validation) {
    if (int code = begin(name, 22))
        return code;
    warnings << QStringLiteral("level %1").arg(validation);
    if (value.isEmpty() && !FakeSymbols::instance().variables.contains(name))
        return 23;
    FakeSymbols::instance().change(name, value);
    return 0;
}

int FakeMathServer::ST_GetVarNames(VarType type, QStringList& names) {
    begin(QString(), 0);
    warnings << QStringLiteral("listing");
    const auto& variables = FakeSymbols::instance().variables;
    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        if (type == ANY_TYPE || typeOf(it.value()) == type)
            names << it.key();
    }
    return 0;
}

int FakeMathServer::ST_GetVarType(const QString& name, VarType& type) {
    begin(name, 0);
    const auto& variables = FakeSymbols::instance().variables;
    if (!variables.contains(name))
        return 24;
    type = typeOf(variables.value(name));
    return 0;
}

int FakeMathServer::ST_GetVarValue(const QString& name, QString& value) {
    begin(name, 0);
    const auto& variables = FakeSymbols::instance().variables;
    if (!variables.contains(name))
        return 24;
    value = variables.value(name);
    return 0;
}

int FakeMathServer::ST_IsValidVarName(const QString& name, bool& valid) {
    begin(name, 0);
    valid = QRegularExpression(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$")).match(name).hasMatch();
    return 0;
}

// "RxC" gives R rows and C columns.
int FakeMathServer::ST_GetDim(const QString& expression, unsigned& rowDim, unsigned& colDim) {
    if (int code = begin(expression, 25))
        return code;
    const QStringList parts = expression.split(QLatin1Char('x'));
    if (parts.size() != 2)
        return 26;
    rowDim = parts[0].toUInt();
    colDim = parts[1].toUInt();
    return 0;
}

int FakeMathServer::ST_GetVarNamesInExpression(const QString& expression, QStringList& names) {
    if (int code = begin(expression, 27))
        return code;
    auto it = QRegularExpression(QStringLiteral("[A-Za-z]+")).globalMatch(expression);
    while (it.hasNext())
        names << it.next().captured();
    return 0;
}

bool FakeMathServer::breakFlag(bool flag) {
    FakeSymbols::trace(QStringLiteral("breakFlag %1").arg(flag));
    return !flag;
}

void FakeMathServer::keywordFilePath(const char*& path) {
    keywordPath = qgetenv("KV_FAKE_KEYWORD_PATH");
    path = keywordPath.isEmpty() ? nullptr : keywordPath.constData();
}

void FakeMathServer::setModes(const Modes& newModes) {
    modes = newModes;
}

Modes FakeMathServer::getModes() {
    return modes;
}
