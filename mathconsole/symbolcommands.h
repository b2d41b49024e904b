// Symbol table commands: menu items 20 and 22 to 30.
#ifndef MATHCONSOLE_SYMBOLCOMMANDS_H
#define MATHCONSOLE_SYMBOLCOMMANDS_H

void defVarCommand();
void keywordAndTagsCommand();
void getListCommand();
void clearSymbolTableCommand();
void getVarNamesCommand();
void getVarTypeCommand();
void getVarValueCommand();
void isValidVarNameCommand();
void getDimCommand();
void varNamesInExpressionCommand();

#endif
