// Numeric graph computations: menu items 7 to 13 (minimum, maximum, derivative, integral,
// intersection, polar and parametric slopes) and 15 (a function evaluated with parameters).
#ifndef MATHCONSOLE_NUMERICCOMMANDS_H
#define MATHCONSOLE_NUMERICCOMMANDS_H

// Item 7, or item 8 with maximum set.
void extremumCommand(bool maximum);
void derivativeCommand();
void integralCommand();
void intersectCommand();
void polarSlopeCommand();
void parametricSlopeCommand();
void evalFunctionCommand();

#endif
