#include "platform/ui/text/AttributedString.hpp"
#include "platform/ui/text/TextLayout.hpp"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {
namespace {

TEST(AttributedStringTest, AttributesAddedAndRemovedOverRangesEnumerateAsRuns) {
    const Font regular = Font::systemFont(12);
    AttributedString text("Hello wide world", TextAttributes{regular, Color::black(), {}, {}});
    text.addAttribute(AttributeKey::foregroundColor, Color::white(), {6, 4});
    text.addAttribute(AttributeKey::link, std::string("https://example.test"), {3, 8});
    text.removeAttribute(AttributeKey::font, {0, 2});
    text.addAttribute(AttributeKey::foregroundColor, Color::black(), {6, 2});  // splits the white run

    struct Run {
        TextRange range;
        bool hasValue;
    };
    const auto runsOf = [&](AttributeKey key, TextRange within) {
        std::vector<Run> runs;
        text.enumerateAttribute(key, within, [&](const std::optional<AttributeValue>& v, TextRange r, bool&) {
            runs.push_back({r, v.has_value()});
        });
        return runs;
    };
    struct Case {
        AttributeKey key;
        TextRange within;
        std::vector<std::pair<TextRange, bool>> runs;
    };
    const std::vector<Case> cases = {
        {AttributeKey::font, text.fullRange(), {{{0, 2}, false}, {{2, 14}, true}}},
        {AttributeKey::foregroundColor, text.fullRange(), {{{0, 8}, true}, {{8, 2}, true}, {{10, 6}, true}}},
        {AttributeKey::link, {1, 5}, {{{1, 2}, false}, {{3, 3}, true}}},
        {AttributeKey::paragraphStyle, text.fullRange(), {{{0, 16}, false}}},
    };
    for (const Case& c : cases) {
        const auto runs = runsOf(c.key, c.within);
        ASSERT_EQ(runs.size(), c.runs.size()) << static_cast<int>(c.key);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].range, c.runs[i].first);
            EXPECT_EQ(runs[i].hasValue, c.runs[i].second);
        }
    }
    EXPECT_EQ(text.attributes(9).foregroundColor, Color::white());

    // A range cutting into a multi-byte character covers the whole character.
    AttributedString accented("caf\xC3\xA9!");
    accented.addAttribute(AttributeKey::foregroundColor, Color::white(), {4, 1});
    TextRange effective;
    accented.attributes(3, &effective);
    EXPECT_EQ(effective, (TextRange{3, 2}));
}

TEST(TextLayoutTest, FixedAdvanceMeasureWrapsAndTruncates) {
    ScopedTextMeasurer fixed(std::make_shared<FixedAdvanceTextMeasurer>(10, 20));
    struct Case {
        std::string text;
        double maxWidth;
        int lines;
        LineBreakMode mode;
        Size size;
        bool truncated;
    };
    const double none = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {"aaaa bbbb cccc dd", none, 0, LineBreakMode::byWordWrapping, {170, 20}, false},
        {"aaaa bbbb cccc dd", 95, 0, LineBreakMode::byWordWrapping, {90, 40}, false},
        {"aaaa bbbb cccc dd", 45, 2, LineBreakMode::byWordWrapping, {40, 40}, true},
        {"aaaa bbbb cccc dd", 95, 1, LineBreakMode::byTruncatingTail, {90, 20}, true},
        {"aaaa bbbb cccc dd", 65, 2, LineBreakMode::byTruncatingMiddle, {60, 40}, true},
        {"aaaa bbbb cccc dd", 95, 1, LineBreakMode::byClipping, {95, 20}, true},
        {"abcdefghijkl", 50, 0, LineBreakMode::byWordWrapping, {50, 60}, false},
        {"abcdefghijkl", 50, 0, LineBreakMode::byCharWrapping, {50, 60}, false},
        {"one\ntwo three", 200, 0, LineBreakMode::byWordWrapping, {90, 40}, false},
        {"short", 95, 1, LineBreakMode::byTruncatingTail, {50, 20}, false},
    };
    for (const Case& c : cases) {
        TextLayoutOptions options;
        options.maxWidth = c.maxWidth;
        options.numberOfLines = c.lines;
        options.lineBreakMode = c.mode;
        const TextMetrics m = measureText(AttributedString(c.text), options);
        EXPECT_EQ(m.size, c.size) << c.text << " in " << c.maxWidth;
        EXPECT_EQ(m.truncated, c.truncated) << c.text << " in " << c.maxWidth;
    }
    EXPECT_EQ(AttributedString("twenty characters!!!").size(), (Size{200, 20}));
}

TEST(TextLayoutTest, PangoMeasuresInPointsAndHonoursWidthAndLineLimits) {
    // A face whose line is taller than its size (the system face's family
    // follows the substitution table).
    const Font font = *Font::named("DejaVuSans", 20);
    const AttributedString line("The quick brown fox jumps over the lazy dog", {font, {}, {}, {}});
    const TextMetrics natural = measureText(line);
    EXPECT_EQ(natural.lineCount, 1);
    EXPECT_GT(natural.size.width, 300);
    EXPECT_LT(natural.size.height, 40);  // about 1.2 × 20 points
    EXPECT_GT(natural.size.height, 20);

    TextLayoutOptions wrapped;
    wrapped.maxWidth = 150;
    const TextMetrics w = measureText(line, wrapped);
    EXPECT_GT(w.lineCount, 2);
    EXPECT_LE(w.size.width, 150);
    EXPECT_NEAR(w.size.height, natural.size.height * w.lineCount, 1);

    wrapped.numberOfLines = 2;
    wrapped.lineBreakMode = LineBreakMode::byTruncatingTail;
    const TextMetrics t = measureText(line, wrapped);
    EXPECT_EQ(t.lineCount, 2);
    EXPECT_TRUE(t.truncated);
    EXPECT_NEAR(t.size.height, natural.size.height * 2, 1);

    // A bold run makes the same text wider.
    AttributedString bold = line;
    bold.addAttribute(AttributeKey::font, *font.withTraits(true, false), line.fullRange());
    EXPECT_GT(bold.size().width, natural.size.width);
    EXPECT_EQ(AttributedString().size(), Size::zero());
}

TEST(TextLayoutTest, ParagraphLineHeightsAreHeldBetweenTheirMinimumAndMaximum) {
    const Font font = *Font::named("DejaVuSans", 20);
    const std::string words = "The quick brown fox jumps over the lazy dog again and again";
    TextLayoutOptions wrapped;
    wrapped.maxWidth = 150;
    const TextMetrics natural = measureText(AttributedString(words, {font, {}, {}, {}}), wrapped);
    ASSERT_GE(natural.lineCount, 3);
    const double own = natural.size.height / natural.lineCount;  // about 1.16 x 20 points
    ASSERT_GT(own, 21);
    ASSERT_LT(own, 26);

    struct Case {
        const char* name;
        ParagraphStyle style;
        double lineHeight;
    };
    const std::vector<Case> cases = {
        {"a maximum below the font's own height", {.maximumLineHeight = 20}, 20},
        {"a maximum above it changes nothing", {.maximumLineHeight = 40}, own},
        {"a minimum above it", {.minimumLineHeight = 30}, 30},
        {"a multiple, then the maximum", {.lineHeightMultiple = 1.5, .maximumLineHeight = 25}, 25},
        {"a multiple, then the minimum", {.lineHeightMultiple = 0.5, .minimumLineHeight = 18}, 18},
        {"a minimum and a maximum that meet", {.minimumLineHeight = 22, .maximumLineHeight = 22}, 22},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AttributedString text(words, {font, {}, c.style, {}});
        const TextMetrics m = measureText(text, wrapped);
        EXPECT_EQ(m.lineCount, natural.lineCount);
        EXPECT_NEAR(m.size.height, c.lineHeight * m.lineCount, 0.05);
        // Two lines kept: the height of two such lines.
        TextLayoutOptions twoLines = wrapped;
        twoLines.numberOfLines = 2;
        twoLines.lineBreakMode = LineBreakMode::byTruncatingTail;
        EXPECT_NEAR(measureText(text, twoLines).size.height, c.lineHeight * 2, 0.05);
        // The fixed-advance measure follows the same bounds from its own 24-point lines.
        ScopedTextMeasurer fixed(std::make_shared<FixedAdvanceTextMeasurer>(10, 24));
        const double fixedLine = std::clamp(24 * (c.style.lineHeightMultiple > 0 ? c.style.lineHeightMultiple : 1.0),
                                            c.style.minimumLineHeight,
                                            c.style.maximumLineHeight > 0 ? c.style.maximumLineHeight : 1e9);
        const TextMetrics f = measureText(text, wrapped);
        EXPECT_DOUBLE_EQ(f.size.height, fixedLine * f.lineCount);
    }
}

TEST(TextLayoutTest, DrawnTextStaysInsideItsClippedRectangle) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 60);
    cairo_t* cr = cairo_create(surface);
    const AttributedString text("MMMMMMMMMMMMMMMMMMMMMMMM", {Font::systemFont(24), Color::black(), {}, {}});
    TextLayoutOptions options;
    options.numberOfLines = 1;
    options.lineBreakMode = LineBreakMode::byClipping;
    drawText(cr, text, {20, 10, 100, 40}, options);
    cairo_surface_flush(surface);

    const unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            const unsigned char alpha = pixels[y * stride + x * 4 + 3];
            if (alpha == 0) continue;
            (x >= 20 && x < 120 && y >= 10 && y < 50 ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 200);
    EXPECT_EQ(outside, 0);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}  // namespace
}  // namespace platform::ui
