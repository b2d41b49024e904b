// Evaluation, formatting and help.
#include "server/kvq_qalcmathserver.h"

#include "server/kvq_qalcmathservercall.h"
#include "symbols/kv_keywordtable.h"
#include "symbols/kv_symboltable.h"

#include <libqalculate/qalculate.h>

#include <QRegularExpression>

namespace {

bool isExport(AnsType type) {
    return type <= MATHML_ANS;
}

// "Title: name(arg1, [arg2], ...). Description", optional arguments in brackets.
QString functionHelp(MathFunction& f) {
    QStringList args;
    const int count = f.maxargs() < 0 ? qMax(f.minargs(), 1) : f.maxargs();
    for (int i = 1; i <= count && i <= 16; ++i) {
        Argument* a = f.getArgumentDefinition(size_t(i));
        QString argName = a ? KV_QalcEngine::fromEngine(a->name()) : QString();
        if (argName.isEmpty())
            argName = QStringLiteral("arg%1").arg(i);
        if (i > f.minargs())
            argName = QLatin1Char('[') + argName + QLatin1Char(']');
        args << argName;
    }
    if (f.maxargs() < 0)
        args << QStringLiteral("...");
    QString help = KV_QalcEngine::fromEngine(f.title(true)) + QStringLiteral(": ") +
                   KV_QalcEngine::fromEngine(f.referenceName()) + QLatin1Char('(') +
                   args.join(QStringLiteral(", ")) + QLatin1Char(')');
    const QString description = KV_QalcEngine::fromEngine(f.description()).trimmed();
    if (!description.isEmpty())
        help += QStringLiteral(". ") + description;
    return help;
}

} // namespace

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
    QString text = expression;
    if (const int code = engine.checkExpression(text, {}, warnings_))
        return code;
    return engine.calculate(text, modes_, approximate, timeLimitMs_, result, warnings_);
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

int KVQ_QalcMathServer::parseAndFormat(const QString& expression, AnsType type, QString& answer) {
    Call call(this);
    if (const int code = call.start())
        return code;
    if (!validAnsType(type))
        return KV_MathErrors::BadAnswerType;
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    QString text = expression;
    if (const int code = engine.checkExpression(text, {}, warnings_))
        return code;
    MathStructure parsed;
    if (const int code = engine.parse(text, modes_, parsed, warnings_, true))
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
        help = functionHelp(*f);
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
