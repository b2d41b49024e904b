#include "menu.h"

#include "evalcommands.h"
#include "graphcommands.h"
#include "modecommands.h"
#include "numericcommands.h"
#include "symbolcommands.h"
#include "watchcommands.h"

const char* const kMenuText = "1.  evaluate              21. misc\n"
                              "2.  setModes              22. ST_GetKeyword and ST_GetTags\n"
                              "3.  helpString            23. ST_GetList\n"
                              "4.  GC_GraphExpression    24. ST_ClearSymbolTable\n"
                              "5.  GC_GraphParametric    25. ST_GetVarNames\n"
                              "6.  GC_RealValue          26. ST_GetVarType\n"
                              "7.  GC_FMin               27. ST_GetVarValue\n"
                              "8.  GC_FMax               28. ST_IsValidVarName\n"
                              "9.  GC_FDerivative        29. ST_GetDim\n"
                              "10. GC_FIntegral          30. ST_GetVarNamesInExpression\n"
                              "11. GC_FIntersect         31. SymWatch Create/Delete Receptors\n"
                              "12. GC_PolarSlope         32  SymWatch Start/Stop Marking\n"
                              "13. GC_ParametricSlope    33  SymWatch Mark Variable List\n"
                              "14. GC_GetRealArray\n"
                              "15. GC_EvalFParse and GC_EvalF\n"
                              "16. parseAndFormat\n"
                              "17. formatFloat\n"
                              "18. breakFlag\n"
                              "19. keywordFilePath\n"
                              "20. ST_DefVar\n"
                              "Selection (Enter 0 to QUIT): ";

void runMenuCommand(int selection) {
    switch (selection) {
    case 1:
        evaluateCommand(false);
        break;
    case 2:
        setModesCommand();
        break;
    case 3:
        helpStringCommand();
        break;
    case 4:
        graphExpressionCommand();
        break;
    case 5:
        graphParametricCommand();
        break;
    case 6:
        realValueCommand();
        break;
    case 7:
        extremumCommand(false);
        break;
    case 8:
        extremumCommand(true);
        break;
    case 9:
        derivativeCommand();
        break;
    case 10:
        integralCommand();
        break;
    case 11:
        intersectCommand();
        break;
    case 12:
        polarSlopeCommand();
        break;
    case 13:
        parametricSlopeCommand();
        break;
    case 14:
        getRealArrayCommand();
        break;
    case 15:
        evalFunctionCommand();
        break;
    case 16:
        evaluateCommand(true);
        break;
    case 17:
        formatFloatCommand();
        break;
    case 18:
        breakFlagCommand();
        break;
    case 19:
        keywordFilePathCommand();
        break;
    case 20:
        defVarCommand();
        break;
    case 21:
        miscCommand();
        break;
    case 22:
        keywordAndTagsCommand();
        break;
    case 23:
        getListCommand();
        break;
    case 24:
        clearSymbolTableCommand();
        break;
    case 25:
        getVarNamesCommand();
        break;
    case 26:
        getVarTypeCommand();
        break;
    case 27:
        getVarValueCommand();
        break;
    case 28:
        isValidVarNameCommand();
        break;
    case 29:
        getDimCommand();
        break;
    case 30:
        varNamesInExpressionCommand();
        break;
    case 31:
        createDeleteReceptorsCommand();
        break;
    case 32:
        startStopMarkingCommand();
        break;
    case 33:
        markVariableListCommand();
        break;
    default:
        break;
    }
}
