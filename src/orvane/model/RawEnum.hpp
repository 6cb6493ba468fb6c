// Enumerations with text raw values: one table per enumeration (case, text)
// in case order gives `rawValue`, `fromRawValue` (exact, case-sensitive) and
// `allCases`. Used by every record enumeration of the component; pure and
// thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace orvane {

// Specialise with `static constexpr std::array<std::pair<E, std::string_view>, N> table`
// listing every case in declaration order.
template <class E>
struct EnumTraits;

template <class E>
concept RawEnum = requires { EnumTraits<E>::table; };

template <RawEnum E>
constexpr std::string_view rawValue(E value) {
    for (const auto& [item, text] : EnumTraits<E>::table) {
        if (item == value) return text;
    }
    return {};
}

template <RawEnum E>
constexpr std::optional<E> fromRawValue(std::string_view text) {
    for (const auto& [item, raw] : EnumTraits<E>::table) {
        if (raw == text) return item;
    }
    return std::nullopt;
}

template <RawEnum E>
constexpr auto allCases() {
    constexpr auto& table = EnumTraits<E>::table;
    std::array<E, table.size()> cases{};
    for (std::size_t i = 0; i < table.size(); ++i) cases[i] = table[i].first;
    return cases;
}

}  // namespace orvane
