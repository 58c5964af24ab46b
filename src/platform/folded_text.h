// Names compared as the file system and the registry of Windows compare
// them: the ASCII letters without regard to case, every other byte as it is.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

constexpr char fold_char(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool same_folded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold_char(a[i]) != fold_char(b[i])) return false;
    }
    return true;
}

}  // namespace platform
