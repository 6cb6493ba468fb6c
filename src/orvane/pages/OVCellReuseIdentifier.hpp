// The requirement on every element cell class (and on the cells of the
// lists inside elements): a static `ReuseIdentifier`, the class's own name,
// which is both its reuse identifier and the name of its nib.
#pragma once

#include <concepts>
#include <string_view>

namespace orvane {

template <class Cell>
concept OVCellReuseIdentifier = requires {
    { Cell::ReuseIdentifier } -> std::convertible_to<std::string_view>;
};

}  // namespace orvane
