#include "transcript.h"

namespace transcript {
const std::string dash = std::string(80, '-') + "\n";
const std::string menu = "1.  evaluate              21. misc\n"
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
const std::string ansType = "Ans Type:\n1. FULL_PRECISION_ANS\n2. FORMATTED_ANS\n3. MATHML_ANS\n"
                            "4. FULL_PRECISION_ANS_NOEXPORT\n5. FORMATTED_ANS_NOEXPORT\n"
                            "6. MATHML_ANS_NOEXPORT\n? ";
const std::string outOfRange = "*** OUT OF RANGE ***\n";
const std::string closing = dash + "Delta(RAM) = #\n";
} // namespace transcript
