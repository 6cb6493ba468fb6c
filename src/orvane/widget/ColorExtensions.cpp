#include "orvane/widget/ColorExtensions.hpp"

#include <cstdint>
#include <string>

namespace orvane {

namespace {

bool isTrimmed(unsigned char c) {
    // White space and line breaks (ASCII; the widget sends ASCII colours).
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads hexadecimal digits from the start the way the platform scanner does:
// at least one digit is needed; on overflow the value saturates.
std::optional<std::uint32_t> scanHex(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isTrimmed(static_cast<unsigned char>(text[i]))) ++i;  // the scanner skips blanks
    text.remove_prefix(i);
    i = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'X' || text[1] == 'x')) i = 2;
    std::uint64_t value = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else break;
        any = true;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull;
    }
    if (!any) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<platform::graphics::Color> colorFromHex(std::optional<std::string_view> text, double alpha) {
    if (!text) return std::nullopt;
    std::string_view view = *text;
    while (!view.empty() && isTrimmed(static_cast<unsigned char>(view.front()))) view.remove_prefix(1);
    while (!view.empty() && isTrimmed(static_cast<unsigned char>(view.back()))) view.remove_suffix(1);
    std::string upper(view);
    for (auto& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (!upper.empty() && upper.front() == '#') upper.erase(0, 1);

    std::uint32_t value = 0x999999;
    if (upper.size() == 6) {
        if (auto scanned = scanHex(upper)) value = *scanned;
    }
    return platform::graphics::Color{static_cast<double>((value >> 16) & 0xFF) / 255.0,
                               static_cast<double>((value >> 8) & 0xFF) / 255.0,
                               static_cast<double>(value & 0xFF) / 255.0, alpha};
}

}  // namespace orvane
