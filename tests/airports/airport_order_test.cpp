#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "airports/airport_record.h"

namespace {

// Records for a test, linked in the order given.
struct TestList {
    std::vector<AirportRecord> records;
    AirportRecord* head = nullptr;

    explicit TestList(const std::vector<std::string>& idents) : records(idents.size()) {
        for (std::size_t i = 0; i < idents.size(); ++i) {
            records[i] = AirportRecord{};
            std::memcpy(records[i].ident.data(), idents[i].data(), std::min<std::size_t>(idents[i].size(), 4));
            records[i].elevation_m = static_cast<std::int32_t>(i);
            records[i].next = i + 1 < idents.size() ? &records[i + 1] : nullptr;
        }
        head = idents.empty() ? nullptr : &records[0];
    }

    std::vector<std::string> sorted() {
        sort_airports(&head, static_cast<std::uint32_t>(records.size()));
        std::vector<std::string> idents;
        for (AirportRecord* r = head; r != nullptr && idents.size() <= records.size(); r = r->next) {
            idents.emplace_back(r->ident.data());
        }
        return idents;
    }
};

int compare(const char* a, const char* b) {
    TestList list({a, b});
    const AirportRecord* left = &list.records[0];
    const AirportRecord* right = &list.records[1];
    return compare_idents(&left, &right);
}

TEST(CompareIdents, CaseFoldedByteOrder) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"KJF", "KJFK", -1},  {"kjfk", "KJFK", 0},  {"0A7", "A00", -1}, {"A_B", "AAB", -1},
        {"A_B", "aab", -1},   {"ZZZZ", "a", 1},     {"", "0", -1},      {"", "", 0},
        {"[", "a", -1},  // '[' is 0x5B: below the folded letters, above the upper-case ones
        {"\xE9", "z", 1},     // bytes above 0x7F compare as unsigned
    };
    for (const Case& c : cases) {
        const int result = compare(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
        const int reverse = compare(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

// The ordering, one byte at a time: the reference the fast comparison must
// agree with.
int reference_order(const std::array<char, 8>& a, const std::array<char, 8>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned x = static_cast<unsigned char>(a[i]);
        unsigned y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

TEST(CompareIdents, AgreesWithByteByByteOrderOnAnyBytes) {
    std::mt19937 random(11);
    const char alphabet[] = {'\0', 'A', 'Z', 'a', 'z', '@', '[', '`', '{', '0', '_', '\x7F', '\x80', '\xC1', '\xDA', '\xFF'};
    for (int round = 0; round < 200000; ++round) {
        AirportRecord left{};
        AirportRecord right{};
        // Bytes after a terminator are not always zero: they must not count.
        for (std::size_t i = 0; i < 8; ++i) {
            left.ident[i] = alphabet[random() % sizeof alphabet];
            right.ident[i] = random() % 4 == 0 ? alphabet[random() % sizeof alphabet] : left.ident[i];
        }
        const AirportRecord* l = &left;
        const AirportRecord* r = &right;
        const int fast = compare_idents(&l, &r);
        ASSERT_EQ((fast > 0) - (fast < 0), reference_order(left.ident, right.ident))
            << testing::PrintToString(left.ident) << " vs " << testing::PrintToString(right.ident);
    }
}

TEST(SortAirports, EmptyAndSingleLists) {
    TestList empty({});
    EXPECT_TRUE(empty.sorted().empty());
    EXPECT_EQ(empty.head, nullptr);

    TestList one({"KSEA"});
    EXPECT_EQ(one.sorted(), std::vector<std::string>{"KSEA"});
    EXPECT_EQ(one.head->next, nullptr);
}

TEST(SortAirports, ManyRecordsWithDuplicatesAllStay) {
    TestList list({"KJFK", "kjfk", "KJF", "0A7", "A00", "EGLL", "KJFK", "A_B"});
    const auto sorted = list.sorted();
    ASSERT_EQ(sorted.size(), 8u);
    EXPECT_EQ(sorted[0], "0A7");
    EXPECT_EQ(sorted[1], "A00");
    EXPECT_EQ(sorted[2], "A_B");
    EXPECT_EQ(sorted[3], "EGLL");
    EXPECT_EQ(sorted[4], "KJF");
    for (int i = 5; i < 8; ++i) EXPECT_TRUE(sorted[i] == "KJFK" || sorted[i] == "kjfk") << sorted[i];

    std::mt19937 random(7);
    std::vector<std::string> idents;
    for (int i = 0; i < 5000; ++i) {
        std::string ident;
        for (int k = 0; k < 1 + static_cast<int>(random() % 4); ++k) ident.push_back("AbC0z_9"[random() % 7]);
        idents.push_back(ident);
    }
    TestList big(idents);
    const auto big_sorted = big.sorted();
    ASSERT_EQ(big_sorted.size(), idents.size());
    for (std::size_t i = 1; i < big_sorted.size(); ++i) {
        EXPECT_LE(compare(big_sorted[i - 1].c_str(), big_sorted[i].c_str()), 0) << i;
    }
    EXPECT_EQ(big.records.size(), idents.size());
}

}  // namespace
