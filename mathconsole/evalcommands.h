// Evaluation, help and formatting commands: menu items 1, 3, 16, 17, 18, 19 and 21.
#ifndef MATHCONSOLE_EVALCOMMANDS_H
#define MATHCONSOLE_EVALCOMMANDS_H

// Item 1 (evaluate) and, with parseAndFormat set, item 16.
void evaluateCommand(bool parseAndFormat);
void helpStringCommand();
void formatFloatCommand();
void breakFlagCommand();
void keywordFilePathCommand();
void miscCommand();

#endif
