// The result code of a message from the engine's parser. The engine reports an overflowing
// number, a misplaced operator and a product of vectors only as message texts, in the user's
// language; they are told apart by comparing them with the engine's own translation of those
// texts.
#ifndef KV_ENGINEMESSAGE_H
#define KV_ENGINEMESSAGE_H

#include <string>

class KV_EngineMessage {
public:
    // Overflow, MisplacedOperator, VectorProduct, or SyntaxError for any other parsing message.
    static int parseCode(const std::string& message);
};

#endif
