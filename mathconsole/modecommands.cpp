#include "modecommands.h"

#include "consoleio.h"
#include "consolestate.h"
#include "kvq_mathserver.h"

#include <cstdio>
#include <initializer_list>

namespace {
// Writes the label (when numbered) and the value text of one mode field; a value without a
// text writes nothing.
void printField(bool numbered, const char* label, unsigned value,
                std::initializer_list<const char*> texts) {
    if (numbered)
        std::fputs(label, stdout);
    if (value < texts.size())
        std::fputs(texts.begin()[value], stdout);
}

// One question of the mode editor: its prompt and the value stored for each choice.
struct ModeQuestion {
    const char* prompt;
    int choices;
    unsigned values[3];
};

const ModeQuestion kQuestions[] = {
    {"Arith\n1. auto\n2. exact\n3. approx\n? ", 3, {0, 1, 2}},
    {"Angle\n1. radians\n2. degrees\n? ", 2, {0, 1}},
    {"Domain\n1. real-calc\n2. real-result\n3. complex\n? ", 3, {0, 2, 1}},
    {"Complex Form\n1. a+b*i\n2. r*exp(i*theta)\n? ", 2, {0, 1}},
    {"Units\n1. SI\n2. ENG_US\n? ", 2, {0, 1}},
    {"Vector Form\n1. rectangular\n2. cylindrical\n3. spherical\n? ", 3, {0, 1, 2}},
    {"Decimal Style\n1. float\n2. fixed\n? ", 2, {0, 1}},
    {"Exponent Style\n1. norm\n2. sci\n3. eng\n? ", 3, {0, 1, 2}},
};

void storeMode(Modes& modes, int which, unsigned value) {
    switch (which) {
    case 1:
        modes.arith = value & 0xF;
        break;
    case 2:
        modes.angle = value & 0xF;
        break;
    case 3:
        modes.domain = value & 0xF;
        break;
    case 4:
        modes.complexForm = value & 0xF;
        break;
    case 5:
        modes.units = value & 0xF;
        break;
    case 6:
        modes.vectorForm = value & 0xF;
        break;
    case 7:
        modes.decimalStyle = value & 0xF;
        break;
    case 8:
        modes.exponentStyle = value & 0xF;
        break;
    default:
        modes.digits = value & 0xFF;
        break;
    }
}
} // namespace

bool askAnswerType(AnsType& type) {
    int choice = 0;
    if (!readInt("Ans Type:\n1. FULL_PRECISION_ANS\n2. FORMATTED_ANS\n3. MATHML_ANS\n"
                 "4. FULL_PRECISION_ANS_NOEXPORT\n5. FORMATTED_ANS_NOEXPORT\n"
                 "6. MATHML_ANS_NOEXPORT\n? ",
                 1, 6, choice))
        return false;
    type = static_cast<AnsType>(choice - 1);
    return true;
}

void printModes(bool numbered) {
    const Modes modes = console::server->getModes();
    printField(numbered, "1. Arith: ", modes.arith, {"auto ", "exact ", "approx "});
    printField(numbered, "\n2. Angle: ", modes.angle, {"radians ", "degrees "});
    printField(numbered, "\n3. Domain: ", modes.domain, {"real-calc ", "complex ", "real-result"});
    printField(numbered, "\n4. Complex Form: ", modes.complexForm, {"a+b*i ", "r*exp(i*theta) "});
    printField(numbered, "\n5. Units: ", modes.units, {"SI ", "ENG_US "});
    printField(numbered, "\n6. Vector Form: ", modes.vectorForm,
               {"rectangular ", "cylindrical ", "spherical "});
    printField(numbered, "\n7. Decimal Style: ", modes.decimalStyle, {"float ", "fixed "});
    printField(numbered, "\n8. Exponent Style: ", modes.exponentStyle, {"norm ", "sci ", "eng "});
    if (numbered)
        std::fputs("\n9. Digits: ", stdout);
    if (modes.decimalStyle != 0 || modes.digits != 0)
        std::printf("%d", static_cast<int>(modes.digits));
    else
        std::fputs("auto ", stdout);
    std::fputs("\n", stdout);
}

void setModesCommand() {
    Modes kept = console::server->getModes();
    printModes(true);
    for (;;) {
        int which = 0;
        if (!readInt("Which mode do you want to change? (0 to quit)  ", 0, 9, which) || which == 0)
            return;
        int choice = 0;
        if (which == 9) {
            if (!readInt("Digits ? ", 0, 12, choice))
                return;
            storeMode(kept, which, static_cast<unsigned>(choice));
        } else {
            const ModeQuestion& question = kQuestions[which - 1];
            if (!readInt(question.prompt, 1, question.choices, choice))
                return;
            storeMode(kept, which, question.values[choice - 1]);
        }
        console::server->setModes(kept);
        printModes(true);
    }
}
