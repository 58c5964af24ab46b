#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace platform {
namespace {

void redirect(const std::string& path, int flags, int target) {
    const int descriptor = open(path.empty() ? "/dev/null" : path.c_str(), flags, 0644);
    if (descriptor < 0) _exit(127);
    dup2(descriptor, target);
    close(descriptor);
}

}  // namespace

int run_program(const ProgramRun& run, ProgramUsage* usage) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(run.program.c_str()));
    for (const std::string& argument : run.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (!run.working_directory.empty() && chdir(run.working_directory.c_str()) != 0) _exit(127);
        redirect(run.input_path, O_RDONLY, 0);
        redirect(run.output_path, O_WRONLY | O_CREAT | O_TRUNC, 1);
        redirect(run.error_path, O_WRONLY | O_CREAT | O_TRUNC, 2);
        for (const auto& [name, value] : run.environment) {
            if (value.empty()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), value.c_str(), 1);
            }
        }
        if (run.file_size_limit != 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{run.file_size_limit, run.file_size_limit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execv(run.program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage used{};
    while (wait4(child, &status, 0, &used) < 0) {
    }
    if (usage != nullptr) {
        usage->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        usage->peak_bytes = static_cast<std::uint64_t>(used.ru_maxrss) * 1024;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void set_environment(const char* name, const char* value) {
    if (value[0] == '\0') {
        unsetenv(name);
    } else {
        setenv(name, value, 1);
    }
}

bool write_machine_registry_value(const char*, const char*, const void*, std::size_t, bool) { return false; }
bool delete_machine_registry_key(const char*) { return false; }

}  // namespace platform
