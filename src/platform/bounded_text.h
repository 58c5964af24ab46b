// Zero-terminated text in fixed buffers (paths, names), never written past
// the buffer's end.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>

// Appends `text` to the text in the `size` bytes at `buffer`. False, with
// the buffer unchanged, when the result would not fit with its terminator.
inline bool append_text(char* buffer, std::size_t size, const char* text) {
    const std::size_t used = strnlen(buffer, size);
    const std::size_t length = std::strlen(text);
    if (used >= size || length >= size - used) return false;
    std::memcpy(buffer + used, text, length + 1);
    return true;
}

template <std::size_t N>
bool append_text(std::array<char, N>& buffer, const char* text) {
    return append_text(buffer.data(), N, text);
}

// Copies `text` into `buffer`. False, with the buffer left empty, when it
// does not fit with its terminator.
template <std::size_t N>
bool copy_text(std::array<char, N>& buffer, const char* text) {
    buffer[0] = '\0';
    return append_text(buffer.data(), N, text);
}
