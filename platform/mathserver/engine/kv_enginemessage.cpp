#include "engine/kv_enginemessage.h"

#include "engine/kv_matherrors.h"

#include <libintl.h>

namespace {

// The engine's message catalogue.
const char EngineDomain[] = "libqalculate";

// Whether message is the engine's text for msgid, which may hold one "%s".
bool isEngineText(const std::string& message, const char* msgid) {
    const std::string text = dgettext(EngineDomain, msgid);
    const size_t hole = text.find("%s");
    if (hole == std::string::npos)
        return message == text;
    const size_t tail = text.size() - hole - 2;
    return message.size() >= hole + tail && message.compare(0, hole, text, 0, hole) == 0 &&
           message.compare(message.size() - tail, tail, text, hole + 2, tail) == 0;
}

} // namespace

int KV_EngineMessage::parseCode(const std::string& message) {
    if (isEngineText(message, "Floating point overflow") ||
        isEngineText(message, "Floating point underflow"))
        return KV_MathErrors::Overflow;
    if (isEngineText(message, "Misplaced operator(s) \"%s\" ignored"))
        return KV_MathErrors::MisplacedOperator;
    if (isEngineText(message, "Please use the cross(), dot(), and hadamard() functions for vector "
                              "multiplication."))
        return KV_MathErrors::VectorProduct;
    return KV_MathErrors::SyntaxError;
}
