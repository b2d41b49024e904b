// The calculator engine shared by every math server instance of the process. The engine keeps
// one global calculator; each call passes the caller's modes, so instances never share modes.
#ifndef KV_QALCENGINE_H
#define KV_QALCENGINE_H

#include "kv_mathtypes.h"

#include <QString>
#include <QStringList>

#include <string>

class MathStructure;
struct EvaluationOptions;
struct PrintOptions;

class KV_QalcEngine {
public:
    // Loads the calculator and its definitions the first time it is called.
    static KV_QalcEngine& instance();

    KV_QalcEngine(const KV_QalcEngine&) = delete;
    KV_QalcEngine& operator=(const KV_QalcEngine&) = delete;

    // Brings text to the form the engine reads (KV_InputText) and checks its length, brackets,
    // nesting and names before the engine sees it. extraNames are accepted as names in
    // addition to those the engine knows; with anyNames every name is (a function whose
    // parameters are named later).
    int checkExpression(QString& text, const QStringList& extraNames, QStringList& warnings,
                        bool anyNames = false) const;
    // True when the engine knows the name as a function, variable, unit, prefixed unit or
    // compound unit.
    bool isKnownName(const QString& name) const;

    // Parses and calculates text. approximate forces approximate arithmetic regardless of the
    // arith mode. timeLimitMs bounds the calculation; the engine's messages are appended to
    // warnings. Returns a result code.
    int calculate(const QString& text, const Modes& modes, bool approximate, int timeLimitMs,
                  MathStructure& result, QStringList& warnings, MathStructure* parsed = nullptr);
    // Parses text without calculating it; preserveFormat keeps the input's own structure
    // (for display).
    int parse(const QString& text, const Modes& modes, MathStructure& parsed, QStringList& warnings,
              bool preserveFormat = false);

    // Time control around a series of engine calls; KV_EngineScope holds it for a scope.
    static void startControl(int timeLimitMs);
    static bool aborted();
    static void stopControl();

    // Text of a result in the given answer type and modes.
    // reorder lets the engine put terms in its display order (off for parsed input).
    QString print(const MathStructure& value, const Modes& modes, AnsType type, int timeLimitMs,
                  bool reorder = true);
    // Text of a real number in the given number format (no engine involved).
    static QString formatNumber(double value, unsigned decimalStyle, unsigned exponentStyle,
                                unsigned digits);

    // Shows a real 2- or 3-element vector in the cylindrical ([r, theta, z]) or spherical
    // ([rho, theta, phi]) form of the vector-form mode, angles in the angle mode's unit.
    static void applyVectorForm(MathStructure& value, const Modes& modes);

    // A real value of a result: false for non-numbers, complex numbers and values with units.
    static bool realValue(const MathStructure& value, double& out);

    EvaluationOptions evaluationOptions(const Modes& modes, bool approximate) const;
    PrintOptions printOptions(const Modes& modes, AnsType type) const;

    // Replaces whole-word occurrences of names (outside quotes) by the matching replacements.
    static QString substituteNames(const QString& text, const QStringList& names,
                                   const QStringList& replacements);
    // The engine's placeholder for the i-th argument of a function ("\\x", "\\y", ...).
    static QString placeholder(int index);
    // The name of the i-th placeholder as a symbol inside a parsed structure.
    static std::string placeholderSymbol(int index);

    static std::string toEngine(const QString& text);
    static QString fromEngine(const std::string& text);

    // Collects the engine's pending messages as text; parseTrouble receives the result code of
    // the first that came from parsing (an overflowing number, a misplaced operator, ignored
    // characters and the like), and stays Ok when none did.
    static void takeMessages(QStringList& warnings, int* parseTrouble = nullptr,
                             bool* error = nullptr);

    // Whether a value is a time: a number of one time unit, or a sum of such (2 h + 30 min).
    static bool isTime(const MathStructure& value);

private:
    // Significant digits the engine works with; enough for a double.
    static constexpr int EnginePrecision = 16;

    KV_QalcEngine();
    // Whether the engine reads the name as a compound of units (kWh, Nm, km2).
    bool isCompoundUnit(const std::string& name) const;
    // Whether the expression names a conversion target ("to km", "-> mi").
    static bool hasTarget(const std::string& expression, const EvaluationOptions& eo);
    // A result without a target: a time in hours, minutes and seconds, anything else in the
    // units mode's units.
    void showInModeUnits(MathStructure& value, const Modes& modes,
                         const EvaluationOptions& eo) const;
    // Converts value to target when both have exactly the same dimension.
    bool convertExactly(MathStructure& value, const char* target,
                        const EvaluationOptions& eo) const;
    void convertToUsUnits(MathStructure& value, const EvaluationOptions& eo) const;
    // Whether a calculated value holds no imaginary part, also where the reals left it
    // unsimplified.
    bool isReal(const MathStructure& value, const EvaluationOptions& eo) const;
};

#endif
