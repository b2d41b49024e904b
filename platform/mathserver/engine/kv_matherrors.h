// Result codes of the math server and the symbol-watch hub, and their texts.
#ifndef KV_MATHERRORS_H
#define KV_MATHERRORS_H

#include <QString>

class KV_MathErrors {
public:
    enum Code {
        Ok = 0,
        EmptyExpression = 1,
        SyntaxError,
        UndefinedName,
        ExpressionTooLong,
        ExpressionTooDeep,
        CalculationFailed,
        TimedOut,
        Interrupted,
        NotRealNumber,
        BadRange,
        BadStep,
        TooManyPoints,
        NoMinimum,
        NoMaximum,
        NoIntersection,
        NotConverged,
        NotRealArray,
        ParseRecordInvalid,
        NullNames,
        TooManyParameters,
        InvalidVariableName,
        BuiltinName,
        NoSuchVariable,
        BadValidationLevel,
        NoHelp,
        UnknownKeyword,
        UnknownTags,
        BadWatchCode,
        BadAnswerType,
        NotAList,
        BadIndexRange,
        BadVariableType,
        BadArgument,
        Overflow,
        MisplacedOperator,
        UnknownVariable,
        DivergentIntegral,
        NotDifferentiable,
        InvisibleCharacter,
        VectorProduct,
        LastCode = VectorProduct
    };

    // Length limit of every expression, variable value and function text.
    static constexpr int MaxExpressionLength = 4096;
    // Limit of bracket nesting in one expression.
    static constexpr int MaxNestingDepth = 64;
    // Limit of the points of one point table.
    static constexpr unsigned MaxGraphPoints = 100000;
    // Limit of the named parameters of one parsed function.
    static constexpr int MaxParameters = 26;

    static QString text(int code);
};

#endif
