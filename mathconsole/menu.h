// The numbered menu of the console and the dispatch of a selection to its command.
#ifndef MATHCONSOLE_MENU_H
#define MATHCONSOLE_MENU_H

// Highest selection; 0 quits.
constexpr int kLastMenuItem = 33;

// The menu, used as the prompt of the selection.
extern const char* const kMenuText;

// Runs the command of a selection from 1 to kLastMenuItem.
void runMenuCommand(int selection);

#endif
