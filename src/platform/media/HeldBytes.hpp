// The bytes of a resource held as they were delivered, in any order: runs
// kept by reference to the blocks they lie in (shared with whoever delivered
// them, so nothing is copied in), never overlapping. Not thread-safe: the
// owner locks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>

#include "platform/core/Json.hpp"

namespace platform::media {

class HeldBytes {
public:
    // Keeps the bytes of [offset, offset + data.size()) not held yet, by
    // reference to `block`, which `data` lies in; bytes already held stay as
    // they are.
    void write(std::int64_t offset, std::span<const std::uint8_t> data,
               const std::shared_ptr<const core::Data>& block);
    // Copies up to `count` held bytes from `offset` on, as far as they run
    // without a hole; the number copied.
    std::int64_t copy(std::int64_t offset, std::uint8_t* into, std::int64_t count) const;
    // The end of the held run containing `offset` (`offset` itself when none).
    std::int64_t contiguousEnd(std::int64_t offset) const;
    // How many bytes are held.
    std::int64_t total() const;

private:
    struct Piece {
        std::shared_ptr<const core::Data> block;
        std::span<const std::uint8_t> bytes;
    };
    std::map<std::int64_t, Piece> pieces_;      // by where they start
    std::map<std::int64_t, std::int64_t> runs_;  // start -> end, merged
};

}  // namespace platform::media
