#include "orvane/toolkit/AttributedStringExtensions.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

using platform::ui::AttributedString;
using platform::ui::AttributeKey;
using platform::graphics::Color;
using platform::ui::Font;
using platform::ui::TextAttributes;
using platform::ui::TextRange;

TEST(HtmlTextTest, MarkupBecomesPlainTextWithoutScriptsStylesOrFetching) {
    struct Case {
        std::string html;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"Plain text, no tags", "Plain text, no tags"},
        {"<p>First   paragraph\n with  breaks</p><p>Second</p>", "First paragraph with breaks\nSecond"},
        {"one<br>two<br/>three", "one\ntwo\nthree"},
        {"Fish &amp; chips &lt;3 &eacute;t&eacute; &#8212; &nbsp;!", "Fish & chips <3 \xC3\xA9t\xC3\xA9 \xE2\x80\x94 \xC2\xA0!"},
        {"<script>alert('x')</script><style>p{color:red}</style>Shown<script src='http://127.0.0.1:1/x.js'></script>",
         "Shown"},
        {"<html><head><title>Title</title></head><body><div>A</div><div>B</div></body></html>", "A\nB"},
        {"<b>unclosed <i>tags <p>and</b> stray</i> </div> end", "unclosed tags\nand stray end"},
        {"<img src='http://127.0.0.1:1/a.png'>caption", "caption"},
        {"", ""},
    };
    for (const Case& c : cases) {
        auto parsed = platform::ui::attributedStringFromHtml(c.html);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->string(), c.text) << c.html;
    }

    // Markup nested far deeper than any page does still gives its text, fast.
    std::string deep = "<script>hidden()</script>";
    for (int i = 0; i < 50000; ++i) deep += "<span>";
    deep += "deep &amp; <b>bold</b><br>down";
    EXPECT_EQ(platform::ui::attributedStringFromHtml(deep)->string(), "deep & bold down");
}

TEST(HtmlTextTest, ReFontKeepsBoldAndItalicFacesAndReplacesOrKeepsTheColour) {
    const Font serif = *Font::named("DejaVuSerif", 15);
    const Color red{1, 0, 0, 1};
    const std::string html = "Plain <b>bold</b> <i>italic</i> <a href=\"https://example.test/e\">link</a>";

    struct Case {
        std::optional<Color> color;
        Color expected;
    };
    for (const Case& c : std::vector<Case>{{red, red}, {std::nullopt, Color::black()}}) {
        auto result = attributedStringForHTMLString(html, serif, c.color);
        ASSERT_TRUE(result.has_value());
        ASSERT_TRUE(result->has_value());
        const AttributedString& text = **result;
        EXPECT_EQ(text.string(), "Plain bold italic link");

        struct Expected {
            std::size_t index;
            const char* postScriptName;
        };
        for (const Expected& e : std::vector<Expected>{
                 {0, "DejaVuSerif"}, {6, "DejaVuSerif-Bold"}, {11, "DejaVuSerif-Italic"}, {18, "DejaVuSerif"}}) {
            const TextAttributes a = text.attributes(e.index);
            ASSERT_TRUE(a.font.has_value());
            EXPECT_EQ(a.font->postScriptName(), e.postScriptName);
            EXPECT_EQ(a.font->pointSize(), 15);
            EXPECT_EQ(a.foregroundColor, c.expected);
        }
        EXPECT_EQ(text.attributes(18).link, "https://example.test/e");
    }

    // A family without a bold face leaves the bold run as the reader made it.
    if (auto math = Font::named("DejaVuMathTeXGyre-Regular", 15)) {
        auto result = attributedStringForHTMLString("a <b>b</b>", *math, red);
        const TextAttributes bold = (**result).attributes(2);
        EXPECT_TRUE(bold.font->isBold());
        EXPECT_NE(bold.font->familyName(), math->familyName());
        EXPECT_EQ(bold.foregroundColor, Color::black());
        EXPECT_EQ((**result).attributes(0).foregroundColor, red);
    }

    // Text that is not UTF-8 cannot be encoded: none.
    auto invalid = attributedStringForHTMLString("bad \xC3\x28 byte", serif, red);
    ASSERT_TRUE(invalid.has_value());
    EXPECT_FALSE(invalid->has_value());
}

}  // namespace
}  // namespace orvane
