#include "kv_benchprocess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

std::string nameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& n : names)
        if (n == name)
            return true;
    return false;
}

} // namespace

KV_BenchProcess::KV_BenchProcess(const std::vector<std::string>& set,
                                 const std::vector<std::string>& unset) {
    std::vector<std::string> replaced;
    for (const std::string& entry : set)
        replaced.push_back(nameOf(entry));
    for (char** e = environ; *e; ++e) {
        const std::string name = nameOf(*e);
        if (!listed(replaced, name) && !listed(unset, name))
            strings.push_back(*e);
    }
    strings.insert(strings.end(), set.begin(), set.end());
}

int KV_BenchProcess::run(const std::vector<std::string>& command, const char* inputFile) const {
    std::vector<char*> argv;
    for (const std::string& s : command)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& s : strings)
        envp.push_back(const_cast<char*>(s.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputFile, O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
