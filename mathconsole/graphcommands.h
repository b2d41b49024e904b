// Graph computation commands that print tables and values: menu items 4, 5, 6 and 14.
#ifndef MATHCONSOLE_GRAPHCOMMANDS_H
#define MATHCONSOLE_GRAPHCOMMANDS_H

void graphExpressionCommand();
void graphParametricCommand();
void realValueCommand();
void getRealArrayCommand();

#endif
