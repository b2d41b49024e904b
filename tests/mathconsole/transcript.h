// Texts of the console that most transcripts share.
#ifndef TRANSCRIPT_H
#define TRANSCRIPT_H

#include <string>

namespace transcript {
extern const std::string dash;
extern const std::string menu;
extern const std::string ansType;
extern const std::string outOfRange;
extern const std::string closing; // the dashed line and the memory report after choice 0

// One round of the menu loop: the dashed line and the menu.
inline std::string atMenu() {
    return dash + menu;
}
// The menu loop's last round and shutdown: what choice 0 (or end of input) at the menu gives.
inline std::string quit() {
    return atMenu() + closing;
}
// The four change lists of one receptor report.
inline std::string lists(const char* added, const char* deleted, const char* modified,
                         const char* all) {
    return std::string("  New variables: ") + added + "\n  Deleted variables: " + deleted +
           "\n  Modified variables: " + modified + "\n  All affected variables: " + all + "\n";
}
} // namespace transcript

#endif
