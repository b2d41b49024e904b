#include "symbols/kv_symboltable.h"

#include "engine/kv_inputtext.h"
#include "engine/kv_matherrors.h"
#include "engine/kv_qalcengine.h"
#include "symbols/kv_watchregistry.h"

#include <libqalculate/qalculate.h>

#include <QRegularExpression>
#include <QSet>

namespace {

constexpr int MaxNameLength = 256;

// Words of an expression that are names, in order of appearance.
QStringList wordsOf(const QString& text) {
    QStringList words;
    static const QRegularExpression word(QStringLiteral("(?<![\\w.])[^\\W\\d]\\w*"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    auto it = word.globalMatch(text);
    while (it.hasNext())
        words << it.next().captured(0);
    return words;
}

} // namespace

KV_SymbolTable& KV_SymbolTable::instance() {
    KV_QalcEngine::instance();
    static KV_SymbolTable table;
    return table;
}

bool KV_SymbolTable::isValidName(const QString& name) {
    if (name.isEmpty() || name.size() > MaxNameLength || name == QLatin1String("to") ||
        KV_InputText::hasInvisible(name))
        return false;
    KV_QalcEngine::instance();
    return CALCULATOR->variableNameIsValid(KV_QalcEngine::toEngine(name));
}

bool KV_SymbolTable::isDefinableName(const QString& name) {
    if (!isValidName(name))
        return false;
    // A user's variable may take the name of a unit (a, b, g, m, s are units to the engine), and
    // gives it back when deleted; built-in functions and variables keep their names.
    ExpressionItem* item = CALCULATOR->getActiveExpressionItem(KV_QalcEngine::toEngine(name));
    return !item || item->isLocal() || item->type() == TYPE_UNIT;
}

Variable* KV_SymbolTable::builtinVariable(const QString& name) {
    if (name.isEmpty())
        return nullptr;
    Variable* v = CALCULATOR->getActiveVariable(KV_QalcEngine::toEngine(name));
    return v && !v->isLocal() ? v : nullptr;
}

VarType KV_SymbolTable::typeOf(const MathStructure& value) {
    if (value.isMatrix())
        return MATRIX_TYPE;
    if (value.isVector())
        return LIST_TYPE;
    if (value.isSymbolic())
        return STRING_TYPE;
    return EXPRESSION_TYPE;
}

void KV_SymbolTable::destroyItem(ExpressionItem* item) {
    if (item)
        item->destroy();
}

void KV_SymbolTable::store(const QString& name, const Entry& entry) {
    const bool existed = entries_.contains(name);
    Entry stored = entry;
    if (existed) {
        stored.shadowedUnit = entries_.value(name).shadowedUnit;
        destroyItem(entries_.value(name).item);
    } else {
        // The engine deactivates a unit whose name a new item takes; remember it for removal.
        ExpressionItem* unit = CALCULATOR->getActiveExpressionItem(KV_QalcEngine::toEngine(name));
        if (unit && unit->type() == TYPE_UNIT)
            stored.shadowedUnit = unit;
    }
    if (stored.item) {
        if (stored.type == FUNCTION_TYPE)
            CALCULATOR->addFunction(static_cast<MathFunction*>(stored.item));
        else
            CALCULATOR->addVariable(static_cast<Variable*>(stored.item));
    }
    entries_.insert(name, stored);
    ++generation_;
    if (existed)
        KV_WatchRegistry::instance().variableModified(name);
    else
        KV_WatchRegistry::instance().variableCreated(name);
}

int KV_SymbolTable::define(const QString& rawName, const QString& value, int validation,
                           const Modes& modes, int timeLimitMs, QStringList& warnings) {
    const QString name = rawName.trimmed();
    static const QRegularExpression functionForm(
        QStringLiteral("^([^\\W\\d]\\w*)\\s*\\(([^()]*)\\)$"),
        QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch fm = functionForm.match(name);
    if (value.isEmpty())
        return remove(fm.hasMatch() ? fm.captured(1) : name);
    if (validation < FULL_VALIDATION || validation > MINIMAL_VALIDATION)
        return KV_MathErrors::BadValidationLevel;
    if (fm.hasMatch()) {
        QStringList arguments;
        if (!fm.captured(2).trimmed().isEmpty()) {
            for (const QString& a : fm.captured(2).split(QLatin1Char(',')))
                arguments << a.trimmed();
        }
        return defineFunction(fm.captured(1), arguments, value, validation, modes, warnings);
    }
    if (!isDefinableName(name))
        return isValidName(name) ? KV_MathErrors::BuiltinName : KV_MathErrors::InvalidVariableName;

    KV_QalcEngine& engine = KV_QalcEngine::instance();
    QString text = value;
    if (const int code = engine.checkExpression(text, {}, warnings))
        return code;
    bool usesUserNames = false;
    for (const QString& w : wordsOf(text))
        usesUserNames = usesUserNames || entries_.contains(w);

    Entry entry;
    if (validation == MINIMAL_VALIDATION && !usesUserNames) {
        // Kept as text and calculated where it is used.
        MathStructure parsed;
        if (const int code = engine.parse(text, modes, parsed, warnings))
            return code;
        entry.type = typeOf(parsed);
        entry.value = text;
        entry.item =
            new KnownVariable("", KV_QalcEngine::toEngine(name), KV_QalcEngine::toEngine(text));
    } else {
        // Values that use other user names are stored calculated, so that no chain of
        // definitions can refer back to itself.
        MathStructure result;
        if (const int code = engine.calculate(text, modes, false, timeLimitMs, result, warnings))
            return code;
        entry.type = typeOf(result);
        entry.value = validation == FULL_SIMPLIFICATION
                          ? engine.print(result, modes, FULL_PRECISION_ANS, timeLimitMs)
                          : text;
        entry.item = new KnownVariable("", KV_QalcEngine::toEngine(name), result);
    }
    store(name, entry);
    return KV_MathErrors::Ok;
}

int KV_SymbolTable::defineFunction(const QString& name, const QStringList& arguments,
                                   const QString& rawValue, int validation, const Modes& modes,
                                   QStringList& warnings) {
    if (!isDefinableName(name))
        return isValidName(name) ? KV_MathErrors::BuiltinName : KV_MathErrors::InvalidVariableName;
    if (arguments.size() > KV_MathErrors::MaxParameters)
        return KV_MathErrors::TooManyParameters;
    QStringList placeholders;
    for (int i = 0; i < arguments.size(); ++i) {
        if (!isValidName(arguments.at(i)) || arguments.indexOf(arguments.at(i)) != i)
            return KV_MathErrors::InvalidVariableName;
        placeholders << KV_QalcEngine::placeholder(i);
    }
    KV_QalcEngine& engine = KV_QalcEngine::instance();
    QString value = rawValue;
    if (const int code = engine.checkExpression(value, arguments, warnings))
        return code;

    // A function must not reach itself through the user functions it calls.
    QStringList pending;
    for (const QString& w : wordsOf(value)) {
        if (!arguments.contains(w))
            pending << w;
    }
    QSet<QString> seen;
    while (!pending.isEmpty()) {
        const QString w = pending.takeLast();
        if (w == name) {
            warnings << QStringLiteral("A function cannot refer to itself");
            return KV_MathErrors::SyntaxError;
        }
        if (seen.contains(w) || !entries_.contains(w))
            continue;
        seen.insert(w);
        pending << wordsOf(entries_.value(w).value);
    }

    const QString formula = KV_QalcEngine::substituteNames(value, arguments, placeholders);
    if (validation != MINIMAL_VALIDATION) {
        MathStructure parsed;
        if (const int code = engine.parse(formula, modes, parsed, warnings))
            return code;
    }
    Entry entry;
    entry.type = FUNCTION_TYPE;
    entry.value = value;
    entry.item = new UserFunction("", KV_QalcEngine::toEngine(name),
                                  KV_QalcEngine::toEngine(formula), true, int(arguments.size()));
    store(name, entry);
    return KV_MathErrors::Ok;
}

int KV_SymbolTable::remove(const QString& name) {
    if (!entries_.contains(name))
        return isDefinableName(name) || !isValidName(name) ? KV_MathErrors::NoSuchVariable
                                                           : KV_MathErrors::BuiltinName;
    const Entry removed = entries_.take(name);
    destroyItem(removed.item);
    if (removed.shadowedUnit)
        removed.shadowedUnit->setActive(true);
    ++generation_;
    KV_WatchRegistry::instance().variableDeleted(name);
    return KV_MathErrors::Ok;
}

int KV_SymbolTable::clear() {
    const QStringList all = entries_.keys();
    for (const QString& name : all)
        remove(name);
    return KV_MathErrors::Ok;
}

void KV_SymbolTable::setAnswer(const MathStructure& value, const QString& text) {
    Entry entry;
    entry.type = typeOf(value);
    entry.value = text;
    entry.item = new KnownVariable("", "ans", value);
    store(QStringLiteral("ans"), entry);
}

QStringList KV_SymbolTable::names(VarType type) const {
    QStringList out;
    for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
        if (type == ANY_TYPE || it->type == type)
            out << it.key();
    }
    return out;
}

int KV_SymbolTable::type(const QString& name, VarType& type) const {
    if (!entries_.contains(name))
        return KV_MathErrors::NoSuchVariable;
    type = entries_.value(name).type;
    return KV_MathErrors::Ok;
}

int KV_SymbolTable::value(const QString& name, QString& value) const {
    if (!entries_.contains(name))
        return KV_MathErrors::NoSuchVariable;
    value = entries_.value(name).value;
    return KV_MathErrors::Ok;
}
