#include <cstdlib>

#include "airports/airport_record.h"
#include "platform/platform.h"

namespace {

unsigned fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

int compare_idents(const void* a, const void* b) {
    const auto* left = *static_cast<const AirportRecord* const*>(a);
    const auto* right = *static_cast<const AirportRecord* const*>(b);
    for (std::size_t i = 0; i < left->ident.size(); ++i) {
        const unsigned x = fold(static_cast<unsigned char>(left->ident[i]));
        const unsigned y = fold(static_cast<unsigned char>(right->ident[i]));
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

void sort_airports(AirportRecord** list_head, std::uint32_t count) {
    if (count == 0) {
        *list_head = nullptr;
        return;
    }
    auto** index = static_cast<AirportRecord**>(platform::alloc_zeroed(sizeof(AirportRecord*) * count));
    std::uint32_t filled = 0;
    for (AirportRecord* record = *list_head; record != nullptr && filled < count; record = record->next) {
        index[filled++] = record;
    }
    std::qsort(index, filled, sizeof(AirportRecord*), compare_idents);
    *list_head = filled == 0 ? nullptr : index[0];
    for (std::uint32_t i = 0; i + 1 < filled; ++i) index[i]->next = index[i + 1];
    if (filled > 0) index[filled - 1]->next = nullptr;
    platform::free_block(index);
}
