#include "receptorslots.h"

#include "swreceptor.h"

#include <cstdio>

ReceptorSlots::ReceptorSlots() = default;

ReceptorSlots::~ReceptorSlots() {
    clear();
}

SWReceptor* ReceptorSlots::at(int number) const {
    if (number < 1 || number > kSlotCount)
        return nullptr;
    return table[static_cast<size_t>(number - 1)].get();
}

int ReceptorSlots::createInLowestEmpty() {
    for (size_t i = 0; i < table.size(); ++i) {
        if (!table[i]) {
            table[i] = std::make_unique<SWReceptor>();
            ++filled;
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

bool ReceptorSlots::remove(int number) {
    if (!at(number))
        return false;
    table[static_cast<size_t>(number - 1)].reset();
    --filled;
    return true;
}

void ReceptorSlots::clear() {
    for (auto& slot : table) {
        if (slot) {
            slot.reset();
            --filled;
        }
    }
}

void ReceptorSlots::printNumbers() const {
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i])
            std::printf("%d ", static_cast<int>(i) + 1);
    }
}
