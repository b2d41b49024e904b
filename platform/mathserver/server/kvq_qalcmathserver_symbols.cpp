// The symbol table and keywords.
#include "server/kvq_qalcmathserver.h"

#include "server/kvq_qalcmathservercall.h"
#include "symbols/kv_keywordtable.h"
#include "symbols/kv_symboltable.h"

#include <libqalculate/qalculate.h>

#include <set>

namespace {

void collectVariables(const MathStructure& m, std::set<std::string>& names) {
    if (m.isVariable())
        names.insert(m.variable()->referenceName());
    for (size_t i = 0; i < m.size(); ++i)
        collectVariables(m[i], names);
}

} // namespace

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

// The engine's own variables (pi, e, and x, y, z, which stand for themselves) are found after
// the user's, as ST_GetVarNamesInExpression lists both.
int KVQ_QalcMathServer::ST_GetVarType(const QString& name, VarType& type) {
    Call call(this);
    const QString n = name.trimmed();
    const KV_SymbolTable& table = KV_SymbolTable::instance();
    if (table.contains(n))
        return table.type(n, type);
    Variable* v = KV_SymbolTable::builtinVariable(n);
    if (!v)
        return KV_MathErrors::NoSuchVariable;
    type = v->isKnown() ? KV_SymbolTable::typeOf(static_cast<KnownVariable*>(v)->get())
                        : EXPRESSION_TYPE;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::ST_GetVarValue(const QString& name, QString& value) {
    Call call(this);
    const QString n = name.trimmed();
    const KV_SymbolTable& table = KV_SymbolTable::instance();
    if (table.contains(n))
        return table.value(n, value);
    Variable* v = KV_SymbolTable::builtinVariable(n);
    if (!v)
        return KV_MathErrors::NoSuchVariable;
    value =
        v->isKnown() ? formatAnswer(static_cast<KnownVariable*>(v)->get(), FULL_PRECISION_ANS) : n;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::ST_IsValidVarName(const QString& name, bool& valid) {
    Call call(this);
    valid = KV_SymbolTable::isDefinableName(name);
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::ST_GetDim(const QString& expression, unsigned& rowDim, unsigned& colDim) {
    Call call(this);
    MathStructure result;
    if (const int code = call.start(expression, false, result))
        return code;
    // A matrix has rows and columns, a list its length and no columns, a scalar one of each.
    if (result.isMatrix()) {
        rowDim = unsigned(result.size());
        colDim = unsigned(result[0].size());
    } else if (result.isVector()) {
        rowDim = unsigned(result.size());
        colDim = 0;
    } else {
        rowDim = 1;
        colDim = 1;
    }
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::ST_GetVarNamesInExpression(const QString& expression, QStringList& names) {
    Call call(this);
    if (const int code = call.start())
        return code;
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    QString text = expression;
    if (const int code = engine.checkExpression(text, {}, warnings_))
        return code;
    MathStructure parsed;
    if (const int code = engine.parse(text, modes_, parsed, warnings_))
        return code;
    std::set<std::string> found;
    collectVariables(parsed, found);
    QStringList out;
    for (const std::string& n : found)
        out << KV_QalcEngine::fromEngine(n);
    names = out;
    return KV_MathErrors::Ok;
}
