#include "platform/media/HeldBytes.hpp"

#include <algorithm>
#include <cstring>

namespace platform::media {

void HeldBytes::write(std::int64_t offset, std::span<const std::uint8_t> data,
               const std::shared_ptr<const core::Data>& block) {
    if (offset < 0 || data.empty() || !block) return;
    std::int64_t end = offset + static_cast<std::int64_t>(data.size());

    // The gaps of [offset, end) among the runs held become pieces.
    auto keep = [&](std::int64_t from, std::int64_t to) {
        if (to <= from) return;
        pieces_.emplace(from, Piece{block, data.subspan(static_cast<std::size_t>(from - offset),
                                                       static_cast<std::size_t>(to - from))});
    };
    std::int64_t at = offset;
    auto it = runs_.upper_bound(at);
    if (it != runs_.begin() && std::prev(it)->second > at) at = std::prev(it)->second;
    for (; it != runs_.end() && it->first < end && at < end; ++it) {
        keep(at, it->first);
        at = std::max(at, it->second);
    }
    keep(at, end);

    // Merge [offset, end) into the runs.
    std::int64_t start = offset;
    it = runs_.upper_bound(start);
    if (it != runs_.begin()) {
        auto before = std::prev(it);
        if (before->second >= start) {
            start = before->first;
            end = std::max(end, before->second);
            it = runs_.erase(before);
        }
    }
    while (it != runs_.end() && it->first <= end) {
        end = std::max(end, it->second);
        it = runs_.erase(it);
    }
    runs_.emplace(start, end);
}

std::int64_t HeldBytes::copy(std::int64_t offset, std::uint8_t* into, std::int64_t count) const {
    const std::int64_t end = std::min(contiguousEnd(offset), offset + count);
    std::int64_t at = offset;
    // The piece holding `at`, then the ones after it: a run has no holes.
    auto it = pieces_.upper_bound(at);
    if (it == pieces_.begin()) return 0;
    for (--it; at < end && it != pieces_.end(); ++it) {
        const std::int64_t pieceEnd = it->first + static_cast<std::int64_t>(it->second.bytes.size());
        if (it->first > at || pieceEnd <= at) break;
        const std::int64_t n = std::min(end, pieceEnd) - at;
        std::memcpy(into + (at - offset), it->second.bytes.data() + (at - it->first), static_cast<std::size_t>(n));
        at += n;
    }
    return at - offset;
}

std::int64_t HeldBytes::contiguousEnd(std::int64_t offset) const {
    auto it = runs_.upper_bound(offset);
    if (it == runs_.begin()) return offset;
    --it;
    return it->second > offset ? it->second : offset;
}

std::int64_t HeldBytes::total() const {
    std::int64_t sum = 0;
    for (const auto& [start, end] : runs_) sum += end - start;
    return sum;
}

}  // namespace platform::media
