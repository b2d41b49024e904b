#include "consolestate.h"

#include "receptorslots.h"

namespace console {
KVQ_MathServer* server = nullptr;
bool breakFlag = true;

ReceptorSlots& receptors() {
    static ReceptorSlots table;
    return table;
}
} // namespace console
