// Attributed text of the interface kit: UTF-8 text with runs of attributes
// (font, foreground colour, paragraph style, link). Ranges are byte ranges of
// the UTF-8 text; a range that cuts into a character is widened to whole
// characters, and one that reaches past the end is cut at the end.
// Adjacent runs with equal attributes are merged, so enumerating visits each
// distinct run once, in text order. Plain value; main thread like the rest of
// the kit (measuring goes through the installed text measurer).
#pragma once

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"
#include "platform/ui/text/Font.hpp"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform::ui {

// Raw values as the platform numbers them (clipping is 2).
enum class LineBreakMode {
    byWordWrapping = 0,
    byCharWrapping = 1,
    byClipping = 2,
    byTruncatingHead = 3,
    byTruncatingTail = 4,
    byTruncatingMiddle = 5,
};

enum class TextAlignment { left, center, right, justified, natural };

// A line is as high as its font's line height, times `lineHeightMultiple`
// when set, then held between `minimumLineHeight` and `maximumLineHeight`
// when they are set (a maximum below the font's height overlaps the lines).
struct ParagraphStyle {
    LineBreakMode lineBreakMode = LineBreakMode::byWordWrapping;
    TextAlignment alignment = TextAlignment::natural;
    double lineHeightMultiple = 0;  // 0: the font's own line height
    double minimumLineHeight = 0;   // 0: no minimum
    double maximumLineHeight = 0;   // 0: no maximum
    friend bool operator==(const ParagraphStyle&, const ParagraphStyle&) = default;
};

struct TextRange {
    std::size_t location = 0;
    std::size_t length = 0;
    std::size_t end() const { return location + length; }
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

enum class AttributeKey { font, foregroundColor, paragraphStyle, link };
using AttributeValue = std::variant<Font, Color, ParagraphStyle, std::string>;

struct TextAttributes {
    std::optional<Font> font;
    std::optional<Color> foregroundColor;
    std::optional<ParagraphStyle> paragraphStyle;
    std::optional<std::string> link;

    std::optional<AttributeValue> get(AttributeKey key) const;
    // Sets the value of `key`; a value of another attribute's type is ignored.
    void set(AttributeKey key, const AttributeValue& value);
    void remove(AttributeKey key);
    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

class AttributedString {
public:
    AttributedString() = default;
    explicit AttributedString(std::string text, const TextAttributes& attributes = {});

    const std::string& string() const { return text_; }
    std::size_t length() const { return text_.size(); }
    TextRange fullRange() const { return {0, text_.size()}; }

    void append(const AttributedString& other);
    void append(std::string_view text, const TextAttributes& attributes);

    // The attributes at `index`, and the range of the run that has them.
    TextAttributes attributes(std::size_t index, TextRange* effectiveRange = nullptr) const;

    void addAttribute(AttributeKey key, const AttributeValue& value, TextRange range);
    void removeAttribute(AttributeKey key, TextRange range);
    void setAttributes(const TextAttributes& attributes, TextRange range);

    // Visits the ranges within `range` over which `key` keeps one value (none
    // where the attribute is absent), in order; setting `stop` ends the walk.
    using AttributeVisitor = std::function<void(const std::optional<AttributeValue>&, TextRange, bool& stop)>;
    void enumerateAttribute(AttributeKey key, TextRange range, const AttributeVisitor& visit) const;
    using AttributesVisitor = std::function<void(const TextAttributes&, TextRange, bool& stop)>;
    void enumerateAttributes(TextRange range, const AttributesVisitor& visit) const;

    // The size the text takes laid out without a width limit (one line per
    // paragraph), as the installed text measurer measures it.
    Size size() const;

    friend bool operator==(const AttributedString&, const AttributedString&) = default;

private:
    struct Run {
        std::size_t length = 0;
        TextAttributes attributes;
        friend bool operator==(const Run&, const Run&) = default;
    };

    TextRange clamp(TextRange range) const;
    // Makes a run boundary at `index` and returns the index of the run starting there.
    std::size_t splitAt(std::size_t index);
    void coalesce();
    template <typename Change>
    void change(TextRange range, Change&& change);

    std::string text_;
    std::vector<Run> runs_;
};

}  // namespace platform::ui
