#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/media/HeldBytes.hpp"

namespace {

using platform::core::Data;
using platform::media::HeldBytes;

// Two deliveries of the same resource that can be told apart: the bytes a
// reader gets show which delivery they came from.
std::uint8_t first(std::int64_t at) { return static_cast<std::uint8_t>(at % 251); }
std::uint8_t second(std::int64_t at) { return static_cast<std::uint8_t>((at * 7 + 3) % 253); }

struct Write {
    std::int64_t offset;
    std::int64_t length;
    bool fromSecond;  // else from the first delivery
};

// A block holding bytes [from, from + length) of a delivery and a little
// around them, so that a write keeping a wrong slice of it shows.
std::shared_ptr<const Data> blockFor(const Write& w) {
    auto block = std::make_shared<Data>();
    for (std::int64_t at = w.offset - 3; at < w.offset + w.length + 3; ++at) {
        block->push_back(w.fromSecond ? second(at) : first(at));
    }
    return block;
}

// Whatever the order and overlap of deliveries, a byte once held keeps the
// value it was first delivered with, runs merge, and a read copies one run.
TEST(HeldBytesTest, BytesKeepTheirFirstDeliveryAndReadsCopyOneRun) {
    struct Case {
        std::string name;
        std::vector<Write> writes;
        std::int64_t readFrom;
        std::int64_t readCount;
        std::int64_t expectedRead;  // bytes copied
        std::int64_t expectedTotal;
    };
    const std::vector<Case> cases{
        {"in order", {{0, 100, false}, {100, 100, true}}, 50, 1000, 150, 200},
        {"out of order with a hole", {{300, 50, false}, {0, 100, true}}, 0, 1000, 100, 150},
        {"the hole filled", {{300, 50, false}, {0, 100, true}, {100, 200, false}}, 10, 1000, 340, 350},
        {"overlapping both ends", {{100, 100, false}, {50, 200, true}}, 40, 1000, 0, 200},
        {"overlapping both ends, read inside", {{100, 100, false}, {50, 200, true}}, 60, 1000, 190, 200},
        {"inside what is held", {{0, 300, false}, {100, 50, true}}, 0, 1000, 300, 300},
        {"several pieces bridged", {{0, 10, false}, {20, 10, false}, {40, 10, false}, {5, 40, true}}, 0, 60, 50, 50},
        {"a short read", {{0, 500, false}}, 100, 7, 7, 500},
        {"nothing held there", {{100, 50, false}}, 0, 10, 0, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeldBytes held;
        // What each byte should be: its first delivery.
        std::vector<int> expected(1000, -1);
        for (const auto& w : c.writes) {
            auto block = blockFor(w);
            held.write(w.offset, std::span<const std::uint8_t>(block->data() + 3, static_cast<std::size_t>(w.length)),
                       block);
            for (std::int64_t at = w.offset; at < w.offset + w.length; ++at) {
                if (expected[static_cast<std::size_t>(at)] < 0)
                    expected[static_cast<std::size_t>(at)] = w.fromSecond ? second(at) : first(at);
            }
        }
        EXPECT_EQ(held.total(), c.expectedTotal);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(c.readCount), 0xEE);
        const auto copied = held.copy(c.readFrom, out.data(), c.readCount);
        ASSERT_EQ(copied, c.expectedRead);
        if (copied < c.readCount) {
            EXPECT_EQ(held.contiguousEnd(c.readFrom), c.readFrom + copied);
        }
        for (std::int64_t i = 0; i < copied; ++i) {
            ASSERT_EQ(out[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(c.readFrom + i)])
                << "byte " << c.readFrom + i;
        }
        if (copied < c.readCount) {
            EXPECT_EQ(out[static_cast<std::size_t>(copied)], 0xEE);
        }
    }
}

// A block is kept, not copied: its bytes stay alive with the holder after
// the deliverer lets go, and an empty or unowned delivery holds nothing.
TEST(HeldBytesTest, ABlockIsKeptByReferenceAndNothingIsHeldWithoutOne) {
    HeldBytes held;
    std::weak_ptr<const Data> watched;
    {
        auto block = std::make_shared<const Data>(Data{1, 2, 3, 4});
        watched = block;
        held.write(10, std::span<const std::uint8_t>(block->data() + 1, 2), block);
        held.write(0, std::span<const std::uint8_t>(block->data(), 4), nullptr);
        held.write(-2, std::span<const std::uint8_t>(block->data(), 4), block);
        held.write(50, {}, block);
    }
    EXPECT_FALSE(watched.expired());
    EXPECT_EQ(held.total(), 2);
    std::uint8_t out[2] = {};
    EXPECT_EQ(held.copy(10, out, 2), 2);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 3);
}

}  // namespace
