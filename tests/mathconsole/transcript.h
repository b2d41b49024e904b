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
} // namespace transcript

#endif
