// On POSIX the machine registry is the one of the Wine prefix that FS2002
// was installed into, if any: the folder named by WINEPREFIX, else ".wine"
// in the user's home folder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The Wine prefix folder, or empty when there is none.
std::string wine_prefix();

// Looks `key` (a path under HKEY_LOCAL_MACHINE) and its text value `value`
// up in the prefix's "system.reg". Returns false when the key is not there;
// when it is, `buffer` receives the value, terminated, or an empty text
// when the key has no such value or the value does not fit.
bool read_wine_registry_text(const char* key, const char* value, char* buffer, std::size_t size);

// The same lookup in the text of a "system.reg" file; exposed for tests.
bool find_registry_text(std::string_view registry, std::string_view key, std::string_view value,
                        std::string* text);

}  // namespace platform
