// Measuring and drawing attributed text. Measuring goes through the installed
// `TextMeasurer`: Pango by default (on the fontconfig faces of `Font`, in
// points, without hinting, so every machine with the installed fonts measures
// alike); a test may install a `FixedAdvanceTextMeasurer` to reproduce worked
// examples with round numbers. Drawing is always Pango through PangoCairo,
// into a Cairo context the renderer gives.
//
// A width limit wraps text (by words, breaking a word that does not fit on a
// line of its own, or by characters) or, for one line, truncates it at the
// head, middle or tail with an ellipsis, or clips it. A line limit keeps the
// first lines; in a truncating mode the last kept line ends in an ellipsis.
// The line-break mode and alignment come from the options when given, else
// from the paragraph style at the start of the text.
//
// Main thread only.
#pragma once

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"
#include "platform/ui/text/AttributedString.hpp"
#include "platform/ui/text/Font.hpp"

#include <limits>
#include <memory>
#include <optional>

typedef struct _cairo cairo_t;  // NOLINT: Cairo's own declaration

namespace platform::ui {

struct TextLayoutOptions {
    double maxWidth = std::numeric_limits<double>::infinity();
    int numberOfLines = 0;  // 0: no limit
    std::optional<LineBreakMode> lineBreakMode;
    std::optional<TextAlignment> alignment;
    // For runs without a font or colour (default: the system font at 12
    // points, black).
    std::optional<Font> defaultFont;
    std::optional<Color> defaultColor;
};

struct TextMetrics {
    Size size;          // the lines shown: widest line by their total height
    int lineCount = 0;  // lines shown
    bool truncated = false;  // text was cut: lines dropped, an ellipsis, or clipped
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual TextMetrics measure(const AttributedString& text, const TextLayoutOptions& options) const = 0;
};

// Every character `advance` points wide, every line `lineHeight` high; words
// break at spaces, an ellipsis is one character.
class FixedAdvanceTextMeasurer final : public TextMeasurer {
public:
    FixedAdvanceTextMeasurer(double advance, double lineHeight) : advance_(advance), lineHeight_(lineHeight) {}
    TextMetrics measure(const AttributedString& text, const TextLayoutOptions& options) const override;

private:
    double advance_;
    double lineHeight_;
};

// Installs the measurer used by `measureText` (none: Pango). Returns the
// previous one.
std::shared_ptr<const TextMeasurer> setTextMeasurer(std::shared_ptr<const TextMeasurer> measurer);

// Installs a measurer while it lives (RAII), restoring the previous one.
class ScopedTextMeasurer {
public:
    explicit ScopedTextMeasurer(std::shared_ptr<const TextMeasurer> measurer)
        : previous_(setTextMeasurer(std::move(measurer))) {}
    ~ScopedTextMeasurer() { setTextMeasurer(std::move(previous_)); }
    ScopedTextMeasurer(const ScopedTextMeasurer&) = delete;
    ScopedTextMeasurer& operator=(const ScopedTextMeasurer&) = delete;

private:
    std::shared_ptr<const TextMeasurer> previous_;
};

TextMetrics measureText(const AttributedString& text, const TextLayoutOptions& options = {});

// The byte index of the character under `point` (relative to the top-left
// of the text) when the text is laid out `width` wide with the options; none
// when the point is on no character. Always found through Pango, the layout
// that draws the text.
std::optional<std::size_t> characterIndexAt(const AttributedString& text, const TextLayoutOptions& options, double width,
                                            Point point);

// Draws the text from the top-left of `rect`, as wide as `rect` (aligned
// within it) and clipped to it; the options' width limit is the rect's width.
// In a truncating mode without a line limit, the last line that fits in the
// rect's height ends in the ellipsis.
void drawText(cairo_t* context, const AttributedString& text, const Rect& rect, const TextLayoutOptions& options = {});

}  // namespace platform::ui
