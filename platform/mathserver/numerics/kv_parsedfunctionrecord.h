// The self-contained block behind ParsedFunction::data: a marker, the modes the function was
// parsed under and its text. It is one malloc'ed block, so the caller's free() releases it.
#ifndef KV_PARSEDFUNCTIONRECORD_H
#define KV_PARSEDFUNCTIONRECORD_H

#include "kv_mathtypes.h"

#include <QString>

class KV_ParsedFunctionRecord {
public:
    // A new block for text and modes, or null when memory is short.
    static void* create(const QString& text, const Modes& modes);
    // Reads a block made by create(); false for null or foreign data.
    static bool read(const void* data, QString& text, Modes& modes);
};

#endif
