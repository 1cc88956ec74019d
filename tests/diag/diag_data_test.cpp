// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "diag/diag_data.h"
#include "diag/sample_fields.h"

namespace {

app_msg_t numbered(std::uint32_t index) {
    app_msg_t s;
    s.index = index;
    s.gas_time = static_cast<std::uint16_t>(index * 3);
    return s;
}

std::vector<std::uint32_t> indexes(const std::vector<app_msg_t>& samples) {
    std::vector<std::uint32_t> out;
    for (const auto& s : samples) {
        out.push_back(s.index);
    }
    return out;
}

class StoreTest : public ::testing::Test {
  protected:
    void fill(int count) {
        for (int i = 1; i <= count; ++i) {
            store.push(numbered(static_cast<std::uint32_t>(i)));
        }
    }
    CDiagData store;
};

TEST_F(StoreTest, EveryRecordedFieldKeepsItsFullWidthInTwentyEightBytesASample) {
    app_msg_t widest;
    for (const auto& field : kSampleFields) {
        field.set(widest, 0xFFFFFFFFu);
    }
    widest.injector = 2;
    widest.gas_time2 = 7;  // not recorded, so not kept
    widest.colour = 1;     // follows the injector
    constexpr int kCount = 1 << 16;
    for (int i = 0; i < kCount; ++i) {
        store.push(widest);
    }
    app_msg_t expected = widest;
    expected.gas_time2 = 0;
    expected.colour = injectorColour(2);
    app_msg_t last;
    ASSERT_TRUE(store.getLast(&last));
    EXPECT_EQ(last, expected);
    EXPECT_LE(store.memoryBytes(), std::size_t{28} * kCount);
}

TEST_F(StoreTest, PushKeepsOrderAndGetLastCopiesTheNewest) {
    fill(3);
    EXPECT_EQ(store.getSize(), 3u);
    app_msg_t last;
    EXPECT_TRUE(store.getLast(&last));
    EXPECT_EQ(last, numbered(3));
}

TEST_F(StoreTest, GetLastOnAnEmptyStoreLeavesTheCallersSampleAlone) {
    app_msg_t mine = numbered(77);
    EXPECT_FALSE(store.getLast(&mine));
    EXPECT_EQ(mine, numbered(77));
    EXPECT_FALSE(store.getLast(nullptr));
}

TEST_F(StoreTest, GetRangeAppendsFromFirstUpToEndWithinTheStore) {
    fill(5);
    std::vector<app_msg_t> out = {numbered(99)};
    store.getRange(out, 1, 3);
    EXPECT_EQ(indexes(out), (std::vector<std::uint32_t>{99, 2, 3}));

    out.clear();
    store.getRange(out, 3, 100);  // end beyond the store stops at the end
    EXPECT_EQ(indexes(out), (std::vector<std::uint32_t>{4, 5}));

    out.clear();
    store.getRange(out, 0, INT_MAX);
    EXPECT_EQ(out.size(), 5u);
}

TEST_F(StoreTest, GetRangeOutsideTheStoreAppendsNothing) {
    fill(5);
    std::vector<app_msg_t> out;
    store.getRange(out, 5, 10);  // first equal to the size
    store.getRange(out, 6, 10);  // first beyond the size
    store.getRange(out, 3, 3);   // empty range
    store.getRange(out, 4, 2);   // end before first
    EXPECT_TRUE(out.empty());

    store.getRange(out, -2, 2);  // a negative first counts from 0
    EXPECT_EQ(indexes(out), (std::vector<std::uint32_t>{1, 2}));
}

TEST_F(StoreTest, ClearEmptiesTheStore) {
    fill(4);
    store.clear();
    EXPECT_EQ(store.getSize(), 0u);
    std::vector<app_msg_t> out;
    store.getRange(out, 0, 10);
    EXPECT_TRUE(out.empty());
    store.push(numbered(1));
    EXPECT_EQ(store.getSize(), 1u);
}

// A reader taking blocks while the writer appends always sees whole, ordered runs.
TEST_F(StoreTest, ReadersSeeConsistentBlocksWhileTheWriterAppends) {
    constexpr int kCount = 20000;
    std::thread writer([this] { fill(kCount); });
    bool ordered = true;
    while (store.getSize() < static_cast<std::size_t>(kCount)) {
        std::vector<app_msg_t> block;
        const int size = static_cast<int>(store.getSize());
        store.getRange(block, std::max(0, size - 40), size);
        for (std::size_t i = 1; i < block.size(); ++i) {
            ordered = ordered && block[i].index == block[i - 1].index + 1 &&
                      block[i].gas_time == static_cast<std::uint16_t>(block[i].index * 3);
        }
    }
    writer.join();
    EXPECT_TRUE(ordered);
    app_msg_t last;
    ASSERT_TRUE(store.getLast(&last));
    EXPECT_EQ(last.index, static_cast<std::uint32_t>(kCount));
}

}  // namespace
