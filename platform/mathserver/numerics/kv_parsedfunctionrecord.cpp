#include "numerics/kv_parsedfunctionrecord.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Header {
    char marker[8];
    Modes modes;
    uint32_t length; // UTF-16 code units that follow
};

const char Marker[8] = {'K', 'V', 'P', 'F', 'N', '0', '0', '1'};

} // namespace

void* KV_ParsedFunctionRecord::create(const QString& text, const Modes& modes) {
    const size_t bytes = sizeof(Header) + size_t(text.size()) * sizeof(char16_t);
    auto* block = static_cast<char*>(std::malloc(bytes));
    if (!block)
        return nullptr;
    Header h;
    std::memcpy(h.marker, Marker, sizeof Marker);
    h.modes = modes;
    h.length = uint32_t(text.size());
    std::memcpy(block, &h, sizeof h);
    std::memcpy(block + sizeof h, text.utf16(), size_t(text.size()) * sizeof(char16_t));
    return block;
}

bool KV_ParsedFunctionRecord::read(const void* data, QString& text, Modes& modes) {
    if (!data)
        return false;
    Header h;
    std::memcpy(&h, data, sizeof h);
    if (std::memcmp(h.marker, Marker, sizeof Marker) != 0)
        return false;
    modes = h.modes;
    text.resize(int(h.length));
    std::memcpy(text.data(), static_cast<const char*>(data) + sizeof h,
                size_t(h.length) * sizeof(char16_t));
    return true;
}
