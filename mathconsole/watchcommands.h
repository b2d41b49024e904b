// Symbol-watch commands: menu items 31 (create and delete receptors), 32 (start and stop
// marking) and 33 (hand a receptor's hub a list of variables).
#ifndef MATHCONSOLE_WATCHCOMMANDS_H
#define MATHCONSOLE_WATCHCOMMANDS_H

void createDeleteReceptorsCommand();
void startStopMarkingCommand();
void markVariableListCommand();

#endif
