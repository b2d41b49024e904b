#include "watchcommands.h"

#include "consoleio.h"
#include "consolestate.h"
#include "kvq_symwatchhub.h"
#include "receptorslots.h"
#include "swreceptor.h"

#include <cstdio>

namespace {
// Asks how many receptors to make and puts them in the lowest empty slots.
void createReceptors() {
    int wanted = 0;
    if (!readInt("Number of receptor objects to create: ", 0, ReceptorSlots::kSlotCount, wanted))
        return;
    for (int i = 0; i < wanted; ++i) {
        if (console::receptors().createInLowestEmpty() == 0) {
            std::fputs("No more available slots\n", stdout);
            return;
        }
    }
}

void deleteReceptors() {
    ReceptorSlots& table = console::receptors();
    do {
        std::fputs("Existing SymWatch Receptor Objects:\n", stdout);
        table.printNumbers();
        int number = 0;
        if (!readInt("\nEnter index of SymWatch Receptor to delete (0 to quit): ", 0,
                     ReceptorSlots::kSlotCount, number) ||
            number == 0)
            return;
        if (table.remove(number))
            std::printf("Deleted SymWatch Receptor %d.\n", number);
    } while (table.count() > 0);
}

// Makes sure a receptor exists, offering to create some when there is none.
bool haveReceptor() {
    if (console::receptors().count() > 0)
        return true;
    std::fputs("You must define a receptor first.\n", stdout);
    createReceptors();
    return console::receptors().count() > 0;
}
} // namespace

void createDeleteReceptorsCommand() {
    if (console::receptors().count() > 0) {
        int choice = 0;
        if (!readInt("Enter\n1. Create SymWatch Receptors\n2. Delete SymWatch Receptors\n? ", 1, 2,
                     choice))
            return;
        if (choice == 2) {
            deleteReceptors();
            return;
        }
    }
    createReceptors();
}

void startStopMarkingCommand() {
    if (!haveReceptor())
        return;
    int action = 0;
    if (!readInt("1. Start Marking\n2. Stop Marking\n? ", 1, 2, action))
        return;
    std::fputs("Existing SymWatch Receptor Objects:\n", stdout);
    console::receptors().printNumbers();
    std::fputs("\n", stdout);
    for (;;) {
        int number = 0;
        if (!readInt("Enter Receptor Number (0 to quit): ", 0, ReceptorSlots::kSlotCount, number) ||
            number == 0)
            return;
        SWReceptor* receptor = console::receptors().at(number);
        if (!receptor) {
            std::fputs("No such receptor\n", stdout);
            continue;
        }
        if (action == 1) {
            int reset = 0;
            if (!readInt("Reset (0=no, 1=yes): ", 0, 1, reset))
                return;
            if (receptor->code() != 0 && receptor->hub())
                receptor->hub()->startMarking(receptor->code(), reset != 0);
            std::printf("Marking Started For Receptor %d, watchcode = %lx\n", number,
                        receptor->code());
        } else {
            if (receptor->code() != 0 && receptor->hub())
                receptor->hub()->stopMarking(receptor->code());
            std::printf("Marking Stopped For Receptor %d, watchcode = %lx\n", number,
                        receptor->code());
        }
    }
}

void markVariableListCommand() {
    if (!haveReceptor())
        return;
    console::receptors().printNumbers();
    std::fputs("\n", stdout);
    int number = 0;
    if (!readInt("Enter Receptor Number: ", 1, ReceptorSlots::kSlotCount, number))
        return;
    SWReceptor* receptor = console::receptors().at(number);
    if (!receptor) {
        std::fputs("No such receptor\n", stdout);
        return;
    }
    int reset = 0;
    int count = 0;
    if (!readInt("Reset watch flags? (0=no, 1=yes) ", 0, 1, reset) ||
        !readInt("Number of variables: ", 0, 999, count))
        return;
    QStringList variables;
    for (int i = 0; i < count; ++i) {
        char name[kShortLine];
        if (!readLine("Variable: ", name, sizeof name))
            return;
        variables.append(fromInput(name));
    }
    int code = 0;
    if (receptor->code() != 0 && receptor->hub())
        code = receptor->hub()->markVariableList(receptor->code(), variables, reset != 0);
    if (code == 0)
        std::fputs("Done\n", stdout);
    else
        printError(code);
}
