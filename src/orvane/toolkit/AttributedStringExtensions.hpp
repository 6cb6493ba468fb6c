// Attributed text made from HTML in the component's own font and colour:
// episode and podcast descriptions, the footer player's labels, section
// headers of episode lists. Stateless; main thread, as interface code.
#pragma once

#include "platform/graphics/Color.hpp"
#include "platform/ui/text/AttributedString.hpp"
#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/HtmlText.hpp"

#include <expected>
#include <optional>
#include <string_view>

namespace orvane {

// The HTML read into attributed text, then re-fonted: every run whose font
// has traits (bold, italic) that `font`'s family offers takes that face of
// the family at `font`'s size, so bold and italic passages keep their weight
// and slant; runs the family cannot match keep the reader's font and colour.
// With a `color`, re-fonted runs take it; without, the reader's colours stay.
// None when the text is not valid UTF-8 (it cannot be encoded); the reader's
// error when it fails.
std::expected<std::optional<platform::ui::AttributedString>, platform::ui::HtmlReadError>
attributedStringForHTMLString(std::string_view html, const platform::ui::Font& font,
                              std::optional<platform::graphics::Color> color = std::nullopt);

}  // namespace orvane
