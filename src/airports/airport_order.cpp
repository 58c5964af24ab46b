#include <algorithm>
#include <cstdint>
#include <cstring>

#include "airports/airport_record.h"
#include "platform/platform.h"

namespace {

// An identifier as one number whose order is the identifiers' order: the
// bytes up to the terminator with A-Z folded to a-z, the bytes after it
// cleared, the first byte most significant. Eight bytes are handled at
// once; the sort calls this a few million times for a large install.
std::uint64_t ordering_key(const AirportRecord* record) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t high_bits = 0x8080808080808080ull;
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, record->ident.data(), sizeof bytes);  // first character in the lowest byte
    // Keep the bytes before the first zero byte (the lowest flagged one is exact).
    const std::uint64_t zeros = (bytes - ones) & ~bytes & high_bits;
    if (zeros != 0) bytes &= ((zeros & (0 - zeros)) >> 7) - 1;
    // Fold: a byte from 'A' to 'Z' (and below 0x80) gains 0x20.
    const std::uint64_t low7 = bytes & ~high_bits;
    const std::uint64_t from_a = low7 + 0x3F3F3F3F3F3F3F3Full;  // high bit when >= 'A'
    const std::uint64_t past_z = low7 + 0x2525252525252525ull;  // high bit when > 'Z'
    const std::uint64_t upper = from_a & ~past_z & ~bytes & high_bits;
    bytes |= upper >> 2;
    return __builtin_bswap64(bytes);
}

}  // namespace

int compare_idents(const void* a, const void* b) {
    const std::uint64_t left = ordering_key(*static_cast<const AirportRecord* const*>(a));
    const std::uint64_t right = ordering_key(*static_cast<const AirportRecord* const*>(b));
    return (left > right) - (left < right);
}

namespace {

// An entry of the sort index: a record's address with its ordering key,
// taken once per record rather than twice per comparison (which would
// also fetch two scattered records from memory every time).
struct IndexEntry {
    std::uint64_t key;
    AirportRecord* record;
};

}  // namespace

void sort_airports(AirportRecord** list_head, std::uint32_t count) {
    if (count == 0) {
        *list_head = nullptr;
        return;
    }
    auto* index = static_cast<IndexEntry*>(platform::alloc_zeroed(sizeof(IndexEntry) * count));
    std::uint32_t filled = 0;
    for (AirportRecord* record = *list_head; record != nullptr && filled < count; record = record->next) {
        index[filled++] = IndexEntry{ordering_key(record), record};
    }
    std::sort(index, index + filled, [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
    *list_head = filled == 0 ? nullptr : index[0].record;
    for (std::uint32_t i = 0; i + 1 < filled; ++i) index[i].record->next = index[i + 1].record;
    if (filled > 0) index[filled - 1].record->next = nullptr;
    platform::free_block(index);
}
