#include "orvane/toolkit/AttributedStringExtensions.hpp"

#include <utility>
#include <vector>

namespace orvane {

namespace {

using platform::ui::AttributedString;
using platform::ui::AttributeKey;
using platform::ui::AttributeValue;
using platform::graphics::Color;
using platform::ui::Font;
using platform::ui::TextRange;

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra;
        char32_t value;
        if (c < 0x80) { ++i; continue; }
        if ((c & 0xE0) == 0xC0) { extra = 1; value = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; value = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; value = c & 0x07; }
        else return false;
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            value = (value << 6) | (d & 0x3F);
        }
        const char32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// Re-fonts the text in place, run by run in text order.
void changeFont(AttributedString& text, const Font& font, const std::optional<Color>& color) {
    std::vector<std::pair<TextRange, Font>> changes;
    text.enumerateAttribute(AttributeKey::font, text.fullRange(),
                            [&](const std::optional<AttributeValue>& value, TextRange range, bool&) {
                                const Font* runFont = value ? std::get_if<Font>(&*value) : nullptr;
                                if (!runFont) return;
                                // The face of the given family with the run's traits.
                                auto found = font.withTraits(runFont->isBold(), runFont->isItalic());
                                if (!found) return;
                                changes.emplace_back(range, found->withSize(font.pointSize()));
                            });
    for (const auto& [range, face] : changes) {
        text.removeAttribute(AttributeKey::font, range);
        text.addAttribute(AttributeKey::font, face, range);
        if (color) {
            text.removeAttribute(AttributeKey::foregroundColor, range);
            text.addAttribute(AttributeKey::foregroundColor, *color, range);
        }
    }
}

}  // namespace

std::expected<std::optional<AttributedString>, platform::ui::HtmlReadError>
attributedStringForHTMLString(std::string_view html, const Font& font, std::optional<Color> color) {
    if (!isValidUtf8(html)) return std::optional<AttributedString>();
    auto parsed = platform::ui::attributedStringFromHtml(html);
    if (!parsed) return std::unexpected(parsed.error());
    changeFont(*parsed, font, color);
    return std::optional<AttributedString>(std::move(*parsed));
}

}  // namespace orvane
