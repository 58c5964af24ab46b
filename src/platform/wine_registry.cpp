// Reading text values from a Wine prefix's "system.reg".
//
// The file holds sections such as
//   [Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0] 1700000000
//   "EXE Path"="C:\\Program Files\\Microsoft Games\\FS2002"
// with key and value names compared without regard to case, and strings
// escaped with backslashes (\\ \" \n \r \t \0 and \xHHHH for other units).
#include "platform/wine_registry.h"

#include "platform/folded_text.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {
namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes the escaped text that starts at `at` and ends before `closing`
// (an unescaped '"' or ']'). Leaves `at` just after the closing character;
// false when the line ends first.
bool unescape(std::string_view line, std::size_t* at, char closing, std::string* text) {
    text->clear();
    std::size_t i = *at;
    while (i < line.size()) {
        const char c = line[i++];
        if (c == closing) {
            *at = i;
            return true;
        }
        if (c != '\\' || i >= line.size()) {
            text->push_back(c);
            continue;
        }
        const char e = line[i++];
        switch (e) {
            case 'n': text->push_back('\n'); break;
            case 'r': text->push_back('\r'); break;
            case 't': text->push_back('\t'); break;
            case 'a': text->push_back('\a'); break;
            case 'b': text->push_back('\b'); break;
            case 'e': text->push_back('\x1b'); break;
            case 'f': text->push_back('\f'); break;
            case 'v': text->push_back('\v'); break;
            case '0': text->push_back('\0'); break;
            case 'x': {
                unsigned unit = 0;
                int digits = 0;
                while (digits < 4 && i < line.size() && hex_value(line[i]) >= 0) {
                    unit = unit * 16 + static_cast<unsigned>(hex_value(line[i++]));
                    ++digits;
                }
                // The program's text is 8-bit: units beyond it cannot be named.
                text->push_back(unit < 256 ? static_cast<char>(unit) : '?');
                break;
            }
            default: text->push_back(e); break;
        }
    }
    return false;
}

}  // namespace

std::string wine_prefix() {
    std::string prefix;
    if (const char* named = std::getenv("WINEPREFIX"); named != nullptr && named[0] != '\0') {
        prefix = named;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        prefix = std::string(home) + "/.wine";
    }
    struct stat info {};
    if (prefix.empty() || stat(prefix.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return {};
    return prefix;
}

bool find_registry_text(std::string_view registry, std::string_view key, std::string_view value,
                        std::string* text) {
    bool in_key = false;
    bool key_found = false;
    std::string name;
    text->clear();
    while (!registry.empty()) {
        std::size_t end = registry.find('\n');
        std::string_view line = registry.substr(0, end);
        registry.remove_prefix(end == std::string_view::npos ? registry.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;

        std::size_t at = 1;
        if (line[0] == '[') {
            in_key = unescape(line, &at, ']', &name) && same_folded(name, key);
            key_found = key_found || in_key;
            continue;
        }
        if (!in_key || line[0] != '"') continue;
        if (!unescape(line, &at, '"', &name) || !same_folded(name, value)) continue;
        // Only string values ("...", str(2):"...") carry a path.
        std::string_view rest = line.substr(at);
        if (rest.substr(0, 2) == "=\"") {
            at += 2;
        } else if (rest.substr(0, 9) == "=str(2):\"") {
            at += 9;
        } else {
            return true;
        }
        std::string decoded;
        if (unescape(line, &at, '"', &decoded)) *text = decoded.substr(0, decoded.find('\0'));
        return true;
    }
    return key_found;
}

bool read_wine_registry_text(const char* key, const char* value, char* buffer, std::size_t size) {
    const std::string prefix = wine_prefix();
    if (prefix.empty() || size == 0) return false;
    std::FILE* file = std::fopen((prefix + "/system.reg").c_str(), "rb");
    if (file == nullptr) return false;
    std::string registry;
    std::array<char, 65536> chunk{};
    for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0;) registry.append(chunk.data(), got);
    std::fclose(file);

    std::string text;
    if (!find_registry_text(registry, key, value, &text)) return false;
    // As on Windows, a value too long for the buffer with its terminator
    // yields nothing.
    const std::size_t length = text.size() < size ? text.size() : 0;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return true;
}

}  // namespace platform
