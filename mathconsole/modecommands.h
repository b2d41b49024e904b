// Answer types and calculation modes: the shared answer-type question, the mode line and the
// mode editor (menu item 2).
#ifndef MATHCONSOLE_MODECOMMANDS_H
#define MATHCONSOLE_MODECOMMANDS_H

#include "kv_mathtypes.h"

// Asks for one of the six answer types.
[[nodiscard]] bool askAnswerType(AnsType& type);
// Writes the working instance's current modes, with field labels when numbered.
void printModes(bool numbered);
void setModesCommand();

#endif
