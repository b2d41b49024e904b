#include "engine/kv_matherrors.h"

QString KV_MathErrors::text(int code) {
    switch (code) {
    case Ok:
        return QStringLiteral("No error");
    case EmptyExpression:
        return QStringLiteral("The expression is empty");
    case SyntaxError:
        return QStringLiteral("Syntax error in the expression");
    case UndefinedName:
        return QStringLiteral("The expression uses an undefined name");
    case ExpressionTooLong:
        return QStringLiteral("The expression is too long (at most %1 characters)")
            .arg(MaxExpressionLength);
    case ExpressionTooDeep:
        return QStringLiteral("The expression is nested too deeply (at most %1 levels)")
            .arg(MaxNestingDepth);
    case CalculationFailed:
        return QStringLiteral("The calculation failed");
    case TimedOut:
        return QStringLiteral("The calculation took too long and was stopped");
    case Interrupted:
        return QStringLiteral("The calculation was interrupted by the break flag");
    case NotRealNumber:
        return QStringLiteral("The result is not a real number");
    case BadRange:
        return QStringLiteral("Invalid interval: the bounds must be finite and the lower bound "
                              "below the upper bound");
    case BadStep:
        return QStringLiteral("Invalid step: it must be finite and greater than zero");
    case TooManyPoints:
        return QStringLiteral("Too many points (at most %1)").arg(MaxGraphPoints);
    case NoMinimum:
        return QStringLiteral("No local minimum found in the interval");
    case NoMaximum:
        return QStringLiteral("No local maximum found in the interval");
    case NoIntersection:
        return QStringLiteral("No intersection found in the interval");
    case NotConverged:
        return QStringLiteral("The numeric method did not converge");
    case NotRealArray:
        return QStringLiteral("The result is not a list or matrix of real numbers");
    case ParseRecordInvalid:
        return QStringLiteral("The parsed function record is empty or invalid");
    case NullNames:
        return QStringLiteral("The array of parameter names is missing");
    case TooManyParameters:
        return QStringLiteral("Too many parameters (at most %1)").arg(MaxParameters);
    case InvalidVariableName:
        return QStringLiteral("Invalid variable name");
    case BuiltinName:
        return QStringLiteral("Built-in names cannot be defined or deleted");
    case NoSuchVariable:
        return QStringLiteral("No such variable");
    case BadValidationLevel:
        return QStringLiteral("Unknown validation level");
    case NoHelp:
        return QStringLiteral("No help for this keyword or operator");
    case UnknownKeyword:
        return QStringLiteral("Unknown operator or keyword");
    case UnknownTags:
        return QStringLiteral("No keyword has these tags");
    case BadWatchCode:
        return QStringLiteral("Invalid watch code");
    case BadAnswerType:
        return QStringLiteral("Unknown answer type");
    case NotAList:
        return QStringLiteral("The result is not a list");
    case BadIndexRange:
        return QStringLiteral("Invalid index range");
    case BadVariableType:
        return QStringLiteral("Unknown variable type");
    case BadArgument:
        return QStringLiteral("Invalid argument: numbers must be finite");
    case Overflow:
        return QStringLiteral("A number in the expression is too large or too small (overflow)");
    case MisplacedOperator:
        return QStringLiteral("An operator in the expression is misplaced");
    case UnknownVariable:
        return QStringLiteral("Unknown variable: the function depends on a variable other than "
                              "the one named");
    case DivergentIntegral:
        return QStringLiteral("The integral diverges");
    case NotDifferentiable:
        return QStringLiteral("The function is not differentiable at this point");
    case InvisibleCharacter:
        return QStringLiteral("The expression holds an invisible or control character");
    case VectorProduct:
        return QStringLiteral("Vectors are not multiplied with an operator: use cross(), dot() "
                              "or hadamard()");
    default:
        return QStringLiteral("Unknown error code %1").arg(code);
    }
}
