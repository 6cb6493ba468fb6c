// The place of a row of a table or an item of a collection: its section and
// its index in that section (`row` for a table, `item` for a collection).
// A plain value, ordered by section then index.
#pragma once

#include <compare>
#include <cstddef>
#include <functional>

namespace platform::ui {

struct IndexPath {
    int section = 0;
    int row = 0;

    static constexpr IndexPath forRow(int row, int section) { return {section, row}; }
    static constexpr IndexPath forItem(int item, int section) { return {section, item}; }
    constexpr int item() const { return row; }

    friend constexpr bool operator==(const IndexPath&, const IndexPath&) = default;
    friend constexpr auto operator<=>(const IndexPath&, const IndexPath&) = default;
};

}  // namespace platform::ui

template <>
struct std::hash<platform::ui::IndexPath> {
    std::size_t operator()(const platform::ui::IndexPath& p) const noexcept {
        return std::hash<long long>{}((static_cast<long long>(p.section) << 32) ^ static_cast<unsigned>(p.row));
    }
};
