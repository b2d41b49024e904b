// The table of symbol-watch receptors: a fixed number of slots, numbered from 1 for the user,
// each empty or owning one receptor.
#ifndef MATHCONSOLE_RECEPTORSLOTS_H
#define MATHCONSOLE_RECEPTORSLOTS_H

#include <array>
#include <memory>

class SWReceptor;

class ReceptorSlots {
public:
    static constexpr int kSlotCount = 35;

    ReceptorSlots();
    ~ReceptorSlots();
    ReceptorSlots(const ReceptorSlots&) = delete;
    ReceptorSlots& operator=(const ReceptorSlots&) = delete;

    int count() const { return filled; }
    // The receptor in slot number (1 to kSlotCount), or null when empty or out of range.
    SWReceptor* at(int number) const;
    // Puts a new receptor in the lowest empty slot and returns its number, or 0 when full.
    int createInLowestEmpty();
    // Deletes the receptor in slot number; false when the slot was empty.
    bool remove(int number);
    // Deletes every receptor, in slot order.
    void clear();
    // Writes "N " for each filled slot, in order.
    void printNumbers() const;

private:
    std::array<std::unique_ptr<SWReceptor>, kSlotCount> table;
    int filled = 0;
};

#endif
