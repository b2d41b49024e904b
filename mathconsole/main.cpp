// The math console: a numbered menu on standard input that drives the math server.
#include "consoleio.h"
#include "consolestate.h"
#include "kvq_mathserver.h"
#include "kvq_orb.h"
#include "menu.h"
#include "receptorslots.h"

#include <malloc.h>

#include <cstdio>
#include <memory>

namespace {
const char* const kDashedLine =
    "--------------------------------------------------------------------------------\n";

// A new math server instance from the broker, or null when none can be had.
std::unique_ptr<KVQ_MathServer> createMathServer() {
    QObject* object = KVQ_ORB::createObject("KVQ_MathServer", nullptr, nullptr, QStringList());
    auto* server = qobject_cast<KVQ_MathServer*>(object);
    if (object && !server)
        delete object;
    if (!server)
        std::fputs("mathconsole: cannot create a math server (class KVQ_MathServer)\n", stderr);
    return std::unique_ptr<KVQ_MathServer>(server);
}

long long bytesInUse() {
    return static_cast<long long>(mallinfo2().uordblks);
}

void runMenuLoop() {
    for (;;) {
        std::fputs(kDashedLine, stdout);
        int selection = 0;
        if (!readInt(kMenuText, 0, kLastMenuItem, selection) || selection == 0)
            return;
        runMenuCommand(selection);
        if (inputEnded())
            return;
    }
}
} // namespace

int main() {
    std::unique_ptr<KVQ_MathServer> first = createMathServer();
    if (!first)
        return 1;
    first->prepare(QStringLiteral("0"));

    const long long baseline = bytesInUse();
    std::unique_ptr<KVQ_MathServer> working = createMathServer();
    if (!working)
        return 1;
    console::server = working.get();

    runMenuLoop();

    std::fputs(kDashedLine, stdout);
    console::receptors().clear();
    console::server = nullptr;
    working.reset();
    std::printf("Delta(RAM) = %lld\n", bytesInUse() - baseline);
    std::fflush(stdout);
    return 0;
}
