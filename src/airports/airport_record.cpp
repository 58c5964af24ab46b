#include "airports/airport_record.h"

#include "platform/platform.h"

namespace {

// Records are handed out from blocks of many: one allocation per block
// instead of one per airport, and no allocator overhead per record.
constexpr std::size_t records_per_block = 16384;

struct RecordBlock {
    RecordBlock* previous;
    std::size_t used;
    std::array<AirportRecord, records_per_block> records;
};

RecordBlock* newest_block = nullptr;

}  // namespace

AirportRecord* new_airport_record() {
    if (newest_block == nullptr || newest_block->used == records_per_block) {
        auto* block = static_cast<RecordBlock*>(platform::alloc_zeroed(sizeof(RecordBlock)));
        block->previous = newest_block;
        newest_block = block;
    }
    return &newest_block->records[newest_block->used++];
}

void release_airport_records() {
    while (newest_block != nullptr) {
        RecordBlock* previous = newest_block->previous;
        platform::free_block(newest_block);
        newest_block = previous;
    }
}
