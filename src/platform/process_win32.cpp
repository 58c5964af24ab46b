#include "platform/process.h"

#include <windows.h>
// after windows.h
#include <psapi.h>

#include <chrono>


namespace platform {
namespace {

// Quotes one argument the way the C runtime splits command lines.
void append_quoted(std::string* line, const std::string& argument) {
    line->push_back('"');
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            line->append(backslashes * 2 + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        line->push_back(c);
    }
    line->append(backslashes, '\\');
    line->push_back('"');
}

HANDLE open_inherited(const std::string& path, bool writing) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const char* name = path.empty() ? "NUL" : path.c_str();
    return CreateFileA(name, writing ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       writing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int run_program(const ProgramRun& run, ProgramUsage* usage) {
    std::string line;
    append_quoted(&line, run.program);
    for (const std::string& argument : run.arguments) {
        line.push_back(' ');
        append_quoted(&line, argument);
    }

    // The child inherits this process's environment with the changes made
    // for it; they are taken back afterwards.
    std::vector<std::pair<std::string, std::string>> saved;
    for (const auto& [name, value] : run.environment) {
        char old[32768];
        const DWORD length = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
        saved.emplace_back(name, length > 0 && length < sizeof old ? std::string(old, length) : std::string());
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = open_inherited(run.input_path, false);
    startup.hStdOutput = open_inherited(run.output_path, true);
    startup.hStdError = open_inherited(run.error_path, true);
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        run.working_directory.empty() ? nullptr : run.working_directory.c_str(),
                                        &startup, &process);
    for (const auto& [name, value] : saved) SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    if (!started) return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    if (usage != nullptr) {
        usage->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        PROCESS_MEMORY_COUNTERS counters{};
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters)) {
            usage->peak_bytes = counters.PeakWorkingSetSize;
        }
    }
    DWORD status = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &status) != 0;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return known ? static_cast<int>(status) : -1;
}

void set_environment(const char* name, const char* value) {
    SetEnvironmentVariableA(name, value[0] == '\0' ? nullptr : value);
}

bool write_machine_registry_value(const char* key, const char* value, const void* data, std::size_t size, bool binary) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG result = RegSetValueExA(opened, value, 0, binary ? REG_BINARY : REG_SZ, static_cast<const BYTE*>(data),
                                       static_cast<DWORD>(size));
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

bool delete_machine_registry_key(const char* key) { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS; }

}  // namespace platform
