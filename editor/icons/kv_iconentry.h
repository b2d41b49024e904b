// KV_IconEntry: one icon file the generator writes: its name (the extension picks the format),
// its size and the function that draws it. The tables are split by the buttons they serve.
#ifndef KV_ICONENTRY_H
#define KV_ICONENTRY_H

#include <vector>

class KV_IconPainter;

struct KV_IconEntry {
    const char* name;
    int width;
    int height;
    void (*draw)(KV_IconPainter&);
};

// Modes, file actions and the application's icons.
const std::vector<KV_IconEntry>& kvToolIcons();
// The line and shape tool bars and their popup entries.
const std::vector<KV_IconEntry>& kvLineIcons();

#endif
