#include "orvane/toolkit/AttributedStringExtensions.hpp"

#include <string>
#include <utility>

namespace orvane {

namespace {

using platform::ui::AttributedString;
using platform::graphics::Color;
using platform::ui::Font;
using platform::ui::TextAttributes;
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

// Re-fonts the text run by run in text order, building the result by
// appending, so the work is linear in the number of runs. The faces are
// looked up once for each combination of traits.
void changeFont(AttributedString& text, const Font& font, const std::optional<Color>& color) {
    std::optional<std::optional<Font>> faces[4];
    const auto faceFor = [&](const Font& runFont) -> const std::optional<Font>& {
        std::optional<std::optional<Font>>& slot = faces[(runFont.isBold() ? 2 : 0) + (runFont.isItalic() ? 1 : 0)];
        if (!slot) {
            // The face of the given family with the run's traits.
            auto found = font.withTraits(runFont.isBold(), runFont.isItalic());
            slot = found ? std::optional<Font>(found->withSize(font.pointSize())) : std::nullopt;
        }
        return *slot;
    };
    AttributedString result;
    const std::string& string = text.string();
    text.enumerateAttributes(text.fullRange(), [&](const TextAttributes& attributes, TextRange range, bool&) {
        TextAttributes changed = attributes;
        if (attributes.font) {
            if (const std::optional<Font>& face = faceFor(*attributes.font)) {
                changed.font = *face;
                if (color) changed.foregroundColor = *color;
            }
        }
        result.append(std::string_view(string).substr(range.location, range.length), changed);
    });
    text = std::move(result);
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
