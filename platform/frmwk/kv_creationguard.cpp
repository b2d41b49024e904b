#include "kv_creationguard.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const char* guardedProgram = nullptr;
const char* guardedClass = nullptr;

// Runs among the exit handlers; those of libraries loaded since (the component's own) have run.
void endedDuringCreation() {
    if (!guardedClass)
        return;
    std::fprintf(stderr,
                 "%s: the component serving class \"%s\" ended the process while its object "
                 "was being created\n",
                 guardedProgram, guardedClass);
    // Calling exit() again from an exit handler is undefined; the status must still be 1.
    ::_exit(1);
}

} // namespace

KV_CreationGuard::KV_CreationGuard(const char* program, const char* className) {
    static const bool registered =
        std::atexit(endedDuringCreation) == 0 && std::at_quick_exit(endedDuringCreation) == 0;
    (void)registered;
    guardedProgram = program;
    guardedClass = className;
}

KV_CreationGuard::~KV_CreationGuard() {
    guardedClass = nullptr;
    guardedProgram = nullptr;
}
