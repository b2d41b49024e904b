// Process-wide state of the console, owned by the main loop.
#ifndef MATHCONSOLE_CONSOLESTATE_H
#define MATHCONSOLE_CONSOLESTATE_H

class KVQ_MathServer;
class ReceptorSlots;

namespace console {
// The working math server instance through which every command calls the server; null
// before start-up and after shutdown.
extern KVQ_MathServer* server;
// The flag handed to breakFlag() next; true at start.
extern bool breakFlag;
// The symbol-watch receptors made by the user.
ReceptorSlots& receptors();
} // namespace console

#endif
