// The user's variables and functions, shared by every math server instance of the process.
// Each change is reported to the watch registry.
#ifndef KV_SYMBOLTABLE_H
#define KV_SYMBOLTABLE_H

#include "kv_mathtypes.h"

#include <QMap>
#include <QString>
#include <QStringList>

class ExpressionItem;
class MathStructure;
class Variable;

class KV_SymbolTable {
public:
    static KV_SymbolTable& instance();

    // A name the engine accepts for a variable.
    static bool isValidName(const QString& name);
    // A valid name that does not belong to a built-in function or variable (units give way).
    static bool isDefinableName(const QString& name);
    // The engine's own variable of that name (pi, e, x), or null.
    static Variable* builtinVariable(const QString& name);
    // The variable type of a value.
    static VarType typeOf(const MathStructure& value);

    // Defines or replaces a variable ("name") or a function ("name(a, b)"); an empty value
    // deletes it.
    int define(const QString& name, const QString& value, int validation, const Modes& modes,
               int timeLimitMs, QStringList& warnings);
    int remove(const QString& name);
    int clear();
    // Stores the last exported answer as the variable "ans".
    void setAnswer(const MathStructure& value, const QString& text);

    QStringList names(VarType type) const;
    bool contains(const QString& name) const { return entries_.contains(name); }
    int type(const QString& name, VarType& type) const;
    int value(const QString& name, QString& value) const;
    // Grows with every change, so that cached parses can tell they are stale.
    quint64 generation() const { return generation_; }

private:
    struct Entry {
        VarType type = EXPRESSION_TYPE;
        ExpressionItem* item = nullptr;
        QString value;
        // The engine's unit of the same name, inactive while the user's item holds the name.
        ExpressionItem* shadowedUnit = nullptr;
    };

    KV_SymbolTable() = default;
    int defineFunction(const QString& name, const QStringList& arguments, const QString& value,
                       int validation, const Modes& modes, QStringList& warnings);
    void store(const QString& name, const Entry& entry);
    static void destroyItem(ExpressionItem* item);

    QMap<QString, Entry> entries_;
    quint64 generation_ = 0;
};

#endif
