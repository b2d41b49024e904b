#include "server/kvq_qalcmathserver.h"

#include "engine/kv_matherrors.h"
#include "engine/kv_qalcengine.h"
#include "numerics/kv_functionevaluator.h"
#include "numerics/kv_numerics.h"
#include "numerics/kv_parsedfunctionrecord.h"
#include "symbols/kv_keywordtable.h"
#include "symbols/kv_symboltable.h"
#include "symbols/kv_watchregistry.h"

#include <libqalculate/qalculate.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

bool isExport(AnsType type) {
    return type <= MATHML_ANS;
}
bool validAnsType(int type) {
    return type >= FULL_PRECISION_ANS && type <= MATHML_ANS_NOEXPORT;
}

void dedupe(QStringList& warnings) {
    warnings.removeDuplicates();
}

// Flags of one point value.
unsigned char flagsOf(int code, double y) {
    if (code != KV_MathErrors::Ok)
        return UNDEF;
    if (std::isinf(y))
        return y > 0 ? INFINITY_FLAG : MINUS_INFINITY;
    return 0;
}

// True when f jumps between a and b: halving the interval towards the larger change does not
// make the change shrink as a continuous function's would.
bool jumpsBetween(const KV_FunctionEvaluator& f, double a, double fa, double b, double fb) {
    const double initial = std::fabs(fb - fa);
    for (int i = 0; i < 40; ++i) {
        const double m = a + (b - a) / 2;
        double fm = 0;
        if (m <= a || m >= b)
            break;
        if (f.evaluate(m, fm) != KV_MathErrors::Ok || !std::isfinite(fm))
            return true;
        if (std::fabs(fm - fa) > std::fabs(fb - fm)) {
            b = m;
            fb = fm;
        } else {
            a = m;
            fa = fm;
        }
        if (std::fabs(fb - fa) < 1e-3 * initial)
            return false;
    }
    return std::fabs(fb - fa) > 1e-9 * (1 + std::fabs(fa));
}

// Segments worth a closer look: a change well above both neighbouring changes, or a change of
// sign above both (a pole between two steep branches, as tan has).
bool suspicious(const double* y, uint32_t i, uint32_t n) {
    const double d = std::fabs(y[i] - y[i - 1]);
    const double before = i >= 2 ? std::fabs(y[i - 1] - y[i - 2]) : 0;
    const double after = i + 1 < n ? std::fabs(y[i + 1] - y[i]) : 0;
    if (d > 0 && y[i - 1] * y[i] < 0 && d > before && d > after)
        return true;
    return d > 0 && d > 3 * before && d > 3 * after;
}

void markDiscontinuities(const KV_FunctionEvaluator& f, const double* t, const double* y,
                         unsigned char* flags, uint32_t n) {
    for (uint32_t i = 1; i < n; ++i) {
        const bool here = (flags[i] & (UNDEF | INFINITY_FLAG | MINUS_INFINITY)) == 0;
        const bool before = (flags[i - 1] & (UNDEF | INFINITY_FLAG | MINUS_INFINITY)) == 0;
        if (here && !before)
            flags[i] |= NOT_CONTINUOUS;
        else if (here && before && suspicious(y, i, n) &&
                 jumpsBetween(f, t[i - 1], y[i - 1], t[i], y[i]))
            flags[i] |= NOT_CONTINUOUS;
    }
}

} // namespace

// Bracket of every operation: clears the warnings, honours a break request and announces
// symbol changes to the hubs before the operation returns.
class KVQ_QalcMathServer::Call {
public:
    explicit Call(KVQ_QalcMathServer* server) : server_(server) {
        server_->warnings_.clear();
        KV_QalcEngine::instance();
    }
    ~Call() { KV_WatchRegistry::instance().flush(); }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    int start() {
        if (!server_->breakRequested_)
            return KV_MathErrors::Ok;
        server_->breakRequested_ = false;
        return KV_MathErrors::Interrupted;
    }

private:
    KVQ_QalcMathServer* server_;
};

KVQ_QalcMathServer::KVQ_QalcMathServer(QObject* parent) : KVQ_MathServer(parent), modes_() {
    KV_QalcEngine::instance();
}

KVQ_QalcMathServer::~KVQ_QalcMathServer() = default;

void KVQ_QalcMathServer::prepare(const QString& argument) {
    Call call(this);
    KV_KeywordTable::instance();
    bool ok = false;
    const int seconds = argument.trimmed().toInt(&ok);
    if (ok && seconds > 0)
        timeLimitMs_ = qMin(seconds, 3600) * 1000;
}

QString KVQ_QalcMathServer::formatAnswer(const MathStructure& value, AnsType type, bool reorder) {
    return KV_QalcEngine::instance().print(value, modes_, type, timeLimitMs_, reorder);
}

int KVQ_QalcMathServer::defineFromAssignment(const QString& expression, QString& answer,
                                             bool& handled) {
    static const QRegularExpression assignment(QStringLiteral("^\\s*([^:=]+?)\\s*:=\\s*(.*)$"));
    const QRegularExpressionMatch m = assignment.match(expression);
    handled = m.hasMatch();
    if (!handled)
        return KV_MathErrors::Ok;
    const QString value = m.captured(2).trimmed();
    if (value.isEmpty())
        return KV_MathErrors::EmptyExpression;
    KV_SymbolTable& table = KV_SymbolTable::instance();
    const int code =
        table.define(m.captured(1), value, FULL_VALIDATION, modes_, timeLimitMs_, warnings_);
    if (code == KV_MathErrors::Ok)
        answer = value;
    return code;
}

int KVQ_QalcMathServer::checkAndCalculate(const QString& expression, bool approximate,
                                          MathStructure& result) {
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    if (const int code = engine.checkExpression(expression, {}, warnings_))
        return code;
    return engine.calculate(expression, modes_, approximate, timeLimitMs_, result, warnings_);
}

int KVQ_QalcMathServer::evaluateAs(const QString& expression, AnsType type, QString& answer,
                                   QString* fullPrecision) {
    Call call(this);
    if (const int code = call.start())
        return code;
    if (!validAnsType(type))
        return KV_MathErrors::BadAnswerType;
    bool assigned = false;
    const int assignCode = defineFromAssignment(expression, answer, assigned);
    if (assigned) {
        if (fullPrecision && assignCode == KV_MathErrors::Ok)
            *fullPrecision = answer;
        return assignCode;
    }
    MathStructure result;
    if (const int code = checkAndCalculate(expression, false, result))
        return code;
    MathStructure shown(result);
    KV_QalcEngine::applyVectorForm(shown, modes_);
    answer = formatAnswer(shown, type);
    const QString full =
        KV_QalcEngine::instance().print(shown, modes_, FULL_PRECISION_ANS, timeLimitMs_);
    if (fullPrecision)
        *fullPrecision = full;
    if (isExport(type))
        KV_SymbolTable::instance().setAnswer(result, full);
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::evaluate(const QString& expression, AnsType type, QString& answer) {
    return evaluateAs(expression, type, answer, nullptr);
}

int KVQ_QalcMathServer::evaluate(const QString& expression, AnsType type, QString& answer,
                                 QString& fullPrecision1DAnswer) {
    return evaluateAs(expression, type, answer, &fullPrecision1DAnswer);
}

void KVQ_QalcMathServer::getWarnings(QStringList& warnings) {
    warnings = warnings_;
}

void KVQ_QalcMathServer::errorString(int code, QString& text) {
    text = KV_MathErrors::text(code);
}

int KVQ_QalcMathServer::helpString(const QString& keyword, QString& help) {
    Call call(this);
    const QString key = keyword.trimmed();
    if (key.isEmpty())
        return KV_MathErrors::EmptyExpression;
    const QString op = KV_KeywordTable::instance().operatorHelp(key);
    if (!op.isEmpty()) {
        help = op;
        return KV_MathErrors::Ok;
    }
    KV_SymbolTable& table = KV_SymbolTable::instance();
    if (table.contains(key)) {
        QString value;
        table.value(key, value);
        help = QStringLiteral("User-defined: %1 := %2").arg(key, value);
        return KV_MathErrors::Ok;
    }
    const std::string name = KV_QalcEngine::toEngine(key);
    if (MathFunction* f = CALCULATOR->getActiveFunction(name)) {
        QStringList args;
        const int count = f->maxargs() < 0 ? qMax(f->minargs(), 1) : f->maxargs();
        for (int i = 1; i <= count && i <= 16; ++i) {
            Argument* a = f->getArgumentDefinition(size_t(i));
            QString argName = a ? KV_QalcEngine::fromEngine(a->name()) : QString();
            if (argName.isEmpty())
                argName = QStringLiteral("arg%1").arg(i);
            if (i > f->minargs())
                argName = QLatin1Char('[') + argName + QLatin1Char(']');
            args << argName;
        }
        if (f->maxargs() < 0)
            args << QStringLiteral("...");
        help = KV_QalcEngine::fromEngine(f->title(true)) + QStringLiteral(": ") +
               KV_QalcEngine::fromEngine(f->referenceName()) + QLatin1Char('(') +
               args.join(QStringLiteral(", ")) + QLatin1Char(')');
        const QString description = KV_QalcEngine::fromEngine(f->description()).trimmed();
        if (!description.isEmpty())
            help += QStringLiteral(". ") + description;
        return KV_MathErrors::Ok;
    }
    if (Variable* v = CALCULATOR->getActiveVariable(name)) {
        help = KV_QalcEngine::fromEngine(v->title(true));
        if (v->isKnown()) {
            MathStructure value(static_cast<KnownVariable*>(v)->get());
            help += QStringLiteral(" = ") + KV_QalcEngine::instance().print(
                                                value, modes_, FULL_PRECISION_ANS, timeLimitMs_);
        } else {
            help += QStringLiteral(" (unknown)");
        }
        return KV_MathErrors::Ok;
    }
    if (Unit* u = CALCULATOR->getActiveUnit(name)) {
        help = QStringLiteral("Unit: ") + KV_QalcEngine::fromEngine(u->title(true));
        const QString category = KV_QalcEngine::fromEngine(u->category());
        if (!category.isEmpty())
            help += QStringLiteral(" (") + category + QLatin1Char(')');
        return KV_MathErrors::Ok;
    }
    return KV_MathErrors::NoHelp;
}

int KVQ_QalcMathServer::functionOf(const QString& function, const QString& variable,
                                   std::unique_ptr<KV_FunctionEvaluator>& evaluator) {
    if (!KV_SymbolTable::isValidName(variable))
        return KV_MathErrors::InvalidVariableName;
    evaluator = std::make_unique<KV_FunctionEvaluator>();
    return evaluator->parse(function, {variable}, modes_, warnings_);
}

int KVQ_QalcMathServer::graphPoints(double min, double max, double step, uint32_t& count) {
    if (!std::isfinite(min) || !std::isfinite(max) || min > max)
        return KV_MathErrors::BadRange;
    if (!std::isfinite(step) || step <= 0)
        return KV_MathErrors::BadStep;
    const double n = std::floor((max - min) / step * (1 + 1e-12)) + 1;
    if (!(n <= double(KV_MathErrors::MaxGraphPoints)))
        return KV_MathErrors::TooManyPoints;
    count = uint32_t(n);
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_GraphExpression(const QString& function, const QString& xvar,
                                           double xmin, double xmax, double xstep,
                                           bool detectDiscontinuities, GraphData& data) {
    Call call(this);
    if (const int code = call.start())
        return code;
    uint32_t n = 0;
    if (const int code = graphPoints(xmin, xmax, xstep, n))
        return code;
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = functionOf(function, xvar, f))
        return code;
    auto* x = static_cast<double*>(std::malloc(sizeof(double) * n));
    auto* y = static_cast<double*>(std::malloc(sizeof(double) * n));
    auto* flags = static_cast<unsigned char*>(std::malloc(n));
    if (!x || !y || !flags) {
        std::free(x);
        std::free(y);
        std::free(flags);
        return KV_MathErrors::TooManyPoints;
    }
    KV_QalcEngine::startControl(timeLimitMs_);
    bool aborted = false;
    for (uint32_t i = 0; i < n && !aborted; ++i) {
        x[i] = xmin + xstep * i;
        const int code = f->evaluate(x[i], y[i]);
        aborted = code == KV_MathErrors::TimedOut;
        flags[i] = flagsOf(code, y[i]);
        if (flags[i] & UNDEF)
            y[i] = std::nan("");
    }
    if (!aborted && detectDiscontinuities)
        markDiscontinuities(*f, x, y, flags, n);
    aborted = aborted || KV_QalcEngine::aborted();
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
    if (aborted) {
        std::free(x);
        std::free(y);
        std::free(flags);
        return KV_MathErrors::TimedOut;
    }
    data.x = x;
    data.y = y;
    data.flags = flags;
    data.numPoints = n;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_GraphParametric(const QString& xFunction, const QString& yFunction,
                                           const QString& tvar, double tmin, double tmax,
                                           double tstep, bool detectDiscontinuities,
                                           ParametricGraphData& data) {
    Call call(this);
    if (const int code = call.start())
        return code;
    uint32_t n = 0;
    if (const int code = graphPoints(tmin, tmax, tstep, n))
        return code;
    std::unique_ptr<KV_FunctionEvaluator> fx, fy;
    if (const int code = functionOf(xFunction, tvar, fx))
        return code;
    if (const int code = functionOf(yFunction, tvar, fy))
        return code;
    auto* t = static_cast<double*>(std::malloc(sizeof(double) * n));
    auto* x = static_cast<double*>(std::malloc(sizeof(double) * n));
    auto* y = static_cast<double*>(std::malloc(sizeof(double) * n));
    auto* flags = static_cast<unsigned char*>(std::malloc(n));
    auto* yflags = static_cast<unsigned char*>(std::malloc(n));
    auto release = [&] {
        std::free(t);
        std::free(x);
        std::free(y);
        std::free(flags);
    };
    if (!t || !x || !y || !flags || !yflags) {
        release();
        std::free(yflags);
        return KV_MathErrors::TooManyPoints;
    }
    KV_QalcEngine::startControl(timeLimitMs_);
    bool aborted = false;
    for (uint32_t i = 0; i < n && !aborted; ++i) {
        t[i] = tmin + tstep * i;
        const int cx = fx->evaluate(t[i], x[i]);
        const int cy = fy->evaluate(t[i], y[i]);
        aborted = cx == KV_MathErrors::TimedOut || cy == KV_MathErrors::TimedOut;
        flags[i] = flagsOf(cx, x[i]);
        yflags[i] = flagsOf(cy, y[i]);
        if (flags[i] & UNDEF)
            x[i] = std::nan("");
        if (yflags[i] & UNDEF)
            y[i] = std::nan("");
    }
    if (!aborted && detectDiscontinuities) {
        markDiscontinuities(*fx, t, x, flags, n);
        markDiscontinuities(*fy, t, y, yflags, n);
    }
    for (uint32_t i = 0; i < n; ++i)
        flags[i] |= yflags[i];
    std::free(yflags);
    aborted = aborted || KV_QalcEngine::aborted();
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
    if (aborted) {
        release();
        return KV_MathErrors::TimedOut;
    }
    data.t = t;
    data.x = x;
    data.y = y;
    data.flags = flags;
    data.numPoints = n;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_RealValue(const QString& expression, double& value) {
    Call call(this);
    if (const int code = call.start())
        return code;
    MathStructure result;
    if (const int code = checkAndCalculate(expression, true, result))
        return code;
    return KV_QalcEngine::realValue(result, value) ? KV_MathErrors::Ok
                                                   : KV_MathErrors::NotRealNumber;
}

int KVQ_QalcMathServer::extremum(const QString& function, const QString& xvar, double xmin,
                                 double xmax, double xguess, bool maximum, double& x, double& y) {
    Call call(this);
    if (const int code = call.start())
        return code;
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = functionOf(function, xvar, f))
        return code;
    const double sign = maximum ? -1.0 : 1.0;
    KV_Numerics::Function g = [&](double at, double& out) {
        const int code = f->evaluate(at, out);
        out *= sign;
        return code;
    };
    KV_QalcEngine::startControl(timeLimitMs_);
    double foundX = 0, foundY = 0;
    int code = KV_Numerics::minimum(g, xmin, xmax, xguess, foundX, foundY);
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
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
    if (const int code = call.start())
        return code;
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = functionOf(function, xvar, f))
        return code;
    KV_QalcEngine::startControl(timeLimitMs_);
    const int code = derivativeAt(*f, x0, derivative);
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
    return code;
}

int KVQ_QalcMathServer::GC_FIntegral(const QString& function, const QString& xvar, double a,
                                     double b, double& integral) {
    Call call(this);
    if (const int code = call.start())
        return code;
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = functionOf(function, xvar, f))
        return code;
    KV_Numerics::Function g = [&](double at, double& out) { return f->evaluate(at, out); };
    KV_QalcEngine::startControl(timeLimitMs_);
    const int code = KV_Numerics::integral(g, a, b, integral);
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
    return code;
}

int KVQ_QalcMathServer::GC_FIntersect(const QString& firstFunction, const QString& secondFunction,
                                      const QString& xvar, double xmin, double xmax, double guess,
                                      double& x, double& y) {
    Call call(this);
    if (const int code = call.start())
        return code;
    std::unique_ptr<KV_FunctionEvaluator> f1, f2;
    if (const int code = functionOf(firstFunction, xvar, f1))
        return code;
    if (const int code = functionOf(secondFunction, xvar, f2))
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
    KV_QalcEngine::startControl(timeLimitMs_);
    double root = 0, value = 0;
    int code = KV_Numerics::root(h, xmin, xmax, guess, root);
    if (code == KV_MathErrors::Ok)
        code = f1->evaluate(root, value);
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
    if (code != KV_MathErrors::Ok)
        return code;
    x = root;
    y = value;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_PolarSlope(const QString& rFunction, const QString& thetavar,
                                      double theta0, double& drdtheta, double& dydx) {
    Call call(this);
    if (const int code = call.start())
        return code;
    std::unique_ptr<KV_FunctionEvaluator> r;
    if (const int code = functionOf(rFunction, thetavar, r))
        return code;
    KV_QalcEngine::startControl(timeLimitMs_);
    double r0 = 0, dr = 0;
    int code = r->evaluate(theta0, r0);
    if (code == KV_MathErrors::Ok)
        code = derivativeAt(*r, theta0, dr);
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
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
    if (const int code = call.start())
        return code;
    std::unique_ptr<KV_FunctionEvaluator> fx, fy;
    if (const int code = functionOf(xFunction, tvar, fx))
        return code;
    if (const int code = functionOf(yFunction, tvar, fy))
        return code;
    KV_QalcEngine::startControl(timeLimitMs_);
    double dx = 0, dy = 0;
    int code = derivativeAt(*fx, t0, dx);
    if (code == KV_MathErrors::Ok)
        code = derivativeAt(*fy, t0, dy);
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    dedupe(warnings_);
    if (code != KV_MathErrors::Ok)
        return code;
    dxdt = dx;
    dydt = dy;
    dydx = dx == 0 ? (dy >= 0 ? HUGE_VAL : -HUGE_VAL) : dy / dx;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_GetRealArray(const QString& expression, RealArray& array) {
    Call call(this);
    if (const int code = call.start())
        return code;
    MathStructure result;
    if (const int code = checkAndCalculate(expression, true, result))
        return code;
    size_t rows = 1, cols = 0;
    if (result.isMatrix()) {
        rows = result.size();
        cols = result[0].size();
    } else if (result.isVector()) {
        rows = result.size();
    }
    const size_t count = cols == 0 ? rows : rows * cols;
    if (count > KV_MathErrors::MaxGraphPoints)
        return KV_MathErrors::TooManyPoints;
    auto* values = static_cast<double*>(std::malloc(sizeof(double) * (count ? count : 1)));
    if (!values)
        return KV_MathErrors::TooManyPoints;
    bool real = true;
    for (size_t i = 0; i < count && real; ++i) {
        const MathStructure& e = cols                ? result[i / cols][i % cols]
                                 : result.isVector() ? result[i]
                                                     : result;
        real = KV_QalcEngine::realValue(e, values[i]);
    }
    if (!real) {
        std::free(values);
        return KV_MathErrors::NotRealArray;
    }
    array.values = values;
    array.rows = int32_t(rows);
    array.cols = int32_t(cols);
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_EvalFParse(const QString& function, ParsedFunction& parsed) {
    Call call(this);
    if (const int code = call.start())
        return code;
    // The names become known only at GC_EvalF; here the text is checked as far as it can be.
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    if (const int code = engine.checkExpression(function, {}, warnings_, true))
        return code;
    MathStructure check;
    if (const int code = engine.parse(function, modes_, check, warnings_))
        return code;
    void* data = KV_ParsedFunctionRecord::create(function, modes_);
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
    KV_QalcEngine::startControl(timeLimitMs_);
    double value = 0;
    const int code = it->evaluator->evaluate(values, value);
    KV_QalcEngine::stopControl();
    KV_QalcEngine::takeMessages(warnings_);
    if (code != KV_MathErrors::Ok)
        return code;
    result = value;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::parseAndFormat(const QString& expression, AnsType type, QString& answer) {
    Call call(this);
    if (const int code = call.start())
        return code;
    if (!validAnsType(type))
        return KV_MathErrors::BadAnswerType;
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    if (const int code = engine.checkExpression(expression, {}, warnings_))
        return code;
    MathStructure parsed;
    if (const int code = engine.parse(expression, modes_, parsed, warnings_, true))
        return code;
    answer = formatAnswer(parsed, type, false);
    return KV_MathErrors::Ok;
}

void KVQ_QalcMathServer::formatFloat(double value, FloatFormat format, int maxWidth,
                                     QString& text) {
    Call call(this);
    const unsigned digits = qMin<unsigned>(format.digits, 17);
    text = KV_QalcEngine::formatNumber(value, format.decimalStyle, format.exponentStyle, digits);
    if (maxWidth <= 0 || text.size() <= maxWidth)
        return;
    // Too wide: fewer digits in the same style, then the scientific form, then a row of '*'.
    const int start = digits > 0 ? int(digits) : 10;
    for (unsigned style : {unsigned(format.exponentStyle), 1u}) {
        for (int d = start; d >= 1; --d) {
            const QString s =
                KV_QalcEngine::formatNumber(value, format.decimalStyle, style, unsigned(d));
            if (s.size() <= maxWidth) {
                text = s;
                return;
            }
        }
    }
    text = QString(qMin(maxWidth, 64), QLatin1Char('*'));
}

void KVQ_QalcMathServer::formatFloat(double value, int maxWidth, QString& text) {
    FloatFormat format{};
    format.decimalStyle = modes_.decimalStyle;
    format.exponentStyle = modes_.exponentStyle;
    format.digits = modes_.digits;
    formatFloat(value, format, maxWidth, text);
}

int KVQ_QalcMathServer::ST_ClearSymbolTable() {
    Call call(this);
    evaluators_.clear();
    return KV_SymbolTable::instance().clear();
}

int KVQ_QalcMathServer::ST_GetList(const QString& listExpression, int minIndex, int maxIndex,
                                   AnsType type, QStringList& elements) {
    Call call(this);
    if (const int code = call.start())
        return code;
    if (!validAnsType(type))
        return KV_MathErrors::BadAnswerType;
    if (minIndex < 0 || maxIndex < 0 || (maxIndex > 0 && minIndex > maxIndex))
        return KV_MathErrors::BadIndexRange;
    MathStructure result;
    if (const int code = checkAndCalculate(listExpression, false, result))
        return code;
    if (!result.isVector())
        return KV_MathErrors::NotAList;
    // Indices count from 1; 0 as the lower bound means the first, as the upper the last.
    const size_t n = result.size();
    const size_t first = size_t(qMax(minIndex, 1));
    const size_t last = maxIndex == 0 ? n : qMin(size_t(maxIndex), n);
    QStringList out;
    for (size_t i = first; i <= last; ++i)
        out << formatAnswer(result[i - 1], type);
    elements = out;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::ST_GetKeyword(unsigned tag1, unsigned tag2, QString& keyword) {
    Call call(this);
    return KV_KeywordTable::instance().keyword(tag1, tag2, keyword) ? KV_MathErrors::Ok
                                                                    : KV_MathErrors::UnknownTags;
}

int KVQ_QalcMathServer::ST_GetTags(const QString& opOrKeyword, unsigned& tag1, unsigned& tag2) {
    Call call(this);
    return KV_KeywordTable::instance().tags(opOrKeyword.trimmed(), tag1, tag2)
               ? KV_MathErrors::Ok
               : KV_MathErrors::UnknownKeyword;
}

int KVQ_QalcMathServer::ST_DefVar(const QString& name, const QString& value, int validation) {
    Call call(this);
    if (const int code = call.start())
        return code;
    return KV_SymbolTable::instance().define(name, value, validation, modes_, timeLimitMs_,
                                             warnings_);
}

int KVQ_QalcMathServer::ST_GetVarNames(VarType type, QStringList& names) {
    Call call(this);
    if (int(type) < ANY_TYPE || int(type) > STRING_TYPE)
        return KV_MathErrors::BadVariableType;
    names = KV_SymbolTable::instance().names(type);
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::ST_GetVarType(const QString& name, VarType& type) {
    Call call(this);
    return KV_SymbolTable::instance().type(name.trimmed(), type);
}

int KVQ_QalcMathServer::ST_GetVarValue(const QString& name, QString& value) {
    Call call(this);
    return KV_SymbolTable::instance().value(name.trimmed(), value);
}

int KVQ_QalcMathServer::ST_IsValidVarName(const QString& name, bool& valid) {
    Call call(this);
    valid = KV_SymbolTable::isDefinableName(name);
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::ST_GetDim(const QString& expression, unsigned& rowDim, unsigned& colDim) {
    Call call(this);
    if (const int code = call.start())
        return code;
    MathStructure result;
    if (const int code = checkAndCalculate(expression, false, result))
        return code;
    // A matrix has rows and columns, a list its length and no columns, a scalar neither.
    if (result.isMatrix()) {
        rowDim = unsigned(result.size());
        colDim = unsigned(result[0].size());
    } else if (result.isVector()) {
        rowDim = unsigned(result.size());
        colDim = 0;
    } else {
        rowDim = 0;
        colDim = 0;
    }
    return KV_MathErrors::Ok;
}

namespace {
void collectVariables(const MathStructure& m, std::set<std::string>& names) {
    if (m.isVariable())
        names.insert(m.variable()->referenceName());
    for (size_t i = 0; i < m.size(); ++i)
        collectVariables(m[i], names);
}
} // namespace

int KVQ_QalcMathServer::ST_GetVarNamesInExpression(const QString& expression, QStringList& names) {
    Call call(this);
    if (const int code = call.start())
        return code;
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    if (const int code = engine.checkExpression(expression, {}, warnings_))
        return code;
    MathStructure parsed;
    if (const int code = engine.parse(expression, modes_, parsed, warnings_))
        return code;
    std::set<std::string> found;
    collectVariables(parsed, found);
    QStringList out;
    for (const std::string& n : found)
        out << KV_QalcEngine::fromEngine(n);
    names = out;
    return KV_MathErrors::Ok;
}

bool KVQ_QalcMathServer::breakFlag(bool flag) {
    const bool previous = breakRequested_;
    breakRequested_ = flag;
    return previous;
}

void KVQ_QalcMathServer::keywordFilePath(const char*& path) {
    path = nullptr;
    if (keywordPath_.isEmpty()) {
        auto dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid())
            return;
        QFile file(dir->filePath(QStringLiteral("keywords.txt")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return;
        file.write(KV_KeywordTable::instance().text().toUtf8());
        file.close();
        keywordPath_ = QFile::encodeName(file.fileName());
        keywordDir_ = std::move(dir);
    }
    path = keywordPath_.constData();
}

void KVQ_QalcMathServer::setModes(const Modes& modes) {
    Modes m = modes;
    // Values outside the known codes fall back to the defaults of their field.
    if (m.arith > 2)
        m.arith = 0;
    if (m.angle > 1)
        m.angle = 0;
    if (m.domain > 2)
        m.domain = 0;
    if (m.complexForm > 1)
        m.complexForm = 0;
    if (m.units > 1)
        m.units = 0;
    if (m.vectorForm > 2)
        m.vectorForm = 0;
    if (m.decimalStyle > 1)
        m.decimalStyle = 0;
    if (m.exponentStyle > 2)
        m.exponentStyle = 0;
    if (m.digits > 12)
        m.digits = 12;
    modes_ = m;
}

Modes KVQ_QalcMathServer::getModes() {
    return modes_;
}
