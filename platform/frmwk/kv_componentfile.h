// Checks a component library file before it is loaded. The dynamic loader maps a library's
// segments without comparing them with the file's size, so a library cut short (an interrupted
// install) kills the process with SIGBUS when its pages are touched, and opening a named pipe
// waits for a writer forever; a library built for another machine it calls missing. A file that
// passes is a regular file holding an ELF header for the machine, word size and byte order of
// this process, its program headers and the file contents of every loadable segment.
#ifndef KV_COMPONENTFILE_H
#define KV_COMPONENTFILE_H

#include <QString>

class KV_ComponentFile {
public:
    // True when the file at path may be handed to the dynamic loader; otherwise false with
    // *why set to a short reason.
    static bool isLoadable(const QString& path, QString* why);
    // True when symbol, found in a loaded library, is a function.
    static bool isFunction(const void* symbol);
};

#endif
