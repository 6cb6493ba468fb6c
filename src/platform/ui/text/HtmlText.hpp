// HTML to attributed text, read with gumbo (an HTML5 parser: malformed
// markup still gives its text). b and strong make bold runs, i and em italic
// ones, a carries its href as the link attribute, br breaks the line, p and
// the other block elements stand on lines of their own; entities are decoded,
// white space collapses as in a browser, script and style (and the document
// head) are dropped, and nothing is ever fetched. Runs get the reader's base
// font (the system font at 12 points, in its bold and italic faces where the
// machine has them) and black.
//
// Pure; main thread like the rest of the kit.
#pragma once

#include "platform/ui/text/AttributedString.hpp"

#include <expected>
#include <string>
#include <string_view>

namespace platform::ui {

struct HtmlReadError {
    std::string message;
};

// `html` is UTF-8; invalid bytes read as U+FFFD.
std::expected<AttributedString, HtmlReadError> attributedStringFromHtml(std::string_view html);

}  // namespace platform::ui
