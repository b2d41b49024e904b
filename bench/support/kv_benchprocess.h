// Child processes of a benchmark: this process's environment with some variables changed, and
// programs run in it to their end, their input from a file and their output discarded.
#ifndef KV_BENCHPROCESS_H
#define KV_BENCHPROCESS_H

#include <string>
#include <vector>

class KV_BenchProcess {
public:
    // set holds "NAME=value" entries that replace or add variables; the variables named in
    // unset are dropped.
    explicit KV_BenchProcess(const std::vector<std::string>& set,
                             const std::vector<std::string>& unset = {});

    // Runs command, its program found in PATH when the name has no slash, and returns its exit
    // status, or -1 when it cannot start or does not exit normally.
    int run(const std::vector<std::string>& command, const char* inputFile = "/dev/null") const;

private:
    std::vector<std::string> strings;
};

#endif
