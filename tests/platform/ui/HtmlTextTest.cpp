#include "platform/ui/text/HtmlText.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {
namespace {

std::string repeated(std::string_view unit, std::size_t times) {
    std::string out;
    out.reserve(unit.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += unit;
    return out;
}

std::size_t count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Markup built to make the reader slow or greedy: unknown end tags that close
// nothing under thousands of open elements, a flood of parse errors, and
// ordinary formatting repeated to a quarter of a megabyte. Each is read, fast
// and in little memory, into the text a browser would show.
TEST(HtmlTextTest, HostileMarkupIsReadIntoItsText) {
    struct Case {
        const char* name;
        std::string html;
        std::string prefix;        // the text starts with this
        std::string_view counted;  // and holds this...
        std::size_t times;         // ...so many times
    };
    const std::vector<Case> cases = {
        {"unknown end tags under open divs", repeated("<div></x>", 20'000) + "end", "end", "end", 1},
        {"a flood of parse errors", "start" + repeated("<div>", 250) + repeated("</x>", 1'000'000), "start", "start", 1},
        {"formatting repeated to 250 KB", repeated("<p><b>a</b> <i>b</i> <a href>c</a></p>", 6'600), "a b c\na b c\n",
         "a b c", 6'600},
    };
    for (const Case& c : cases) {
        auto text = attributedStringFromHtml(c.html);
        ASSERT_TRUE(text.has_value()) << c.name;
        EXPECT_EQ(text->string().substr(0, c.prefix.size()), c.prefix) << c.name;
        EXPECT_EQ(count(text->string(), c.counted), c.times) << c.name;
    }
}

// Descriptions that never close their paragraphs or list items are nested no
// deeper for that: every paragraph keeps its line, its bold and its italic.
TEST(HtmlTextTest, UnclosedParagraphsAndItemsKeepLinesAndStyles) {
    for (const std::string unit : {"<p><b>bold</b> <i>slanted</i> plain", "<li><b>bold</b> <i>slanted</i> plain"}) {
        const std::string html = "<ul>" + repeated(unit, 300);
        auto text = attributedStringFromHtml(html);
        ASSERT_TRUE(text.has_value());
        const std::string line = "bold slanted plain";
        ASSERT_EQ(text->string(), repeated(line + "\n", 299) + line) << unit;
        const std::size_t last = 299 * (line.size() + 1);
        const TextAttributes bold = text->attributes(last);
        const TextAttributes slanted = text->attributes(last + 5);
        const TextAttributes plain = text->attributes(last + 13);
        EXPECT_TRUE(bold.font->isBold()) << unit;
        EXPECT_FALSE(bold.font->isItalic()) << unit;
        EXPECT_TRUE(slanted.font->isItalic()) << unit;
        EXPECT_FALSE(slanted.font->isBold()) << unit;
        EXPECT_FALSE(plain.font->isBold() || plain.font->isItalic()) << unit;
    }
}

// Text that looks like markup but is not (a lone "<", a comment holding ">",
// a quoted attribute holding ">") reads as a browser reads it, whether near
// the top or nested far past the reader's bound, where the content is
// flattened: its text still comes out, without further styles or lines.
TEST(HtmlTextTest, TextLikeMarkupReadsTheSameAtAnyDepth) {
    struct Case {
        std::string html;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"1 < 2 and 3 > 2", "1 < 2 and 3 > 2"},
        {"a<!-- x > y -->b", "ab"},
        {"<a title=\"p>q\" href=\"https://example.test/\">link</a>", "link"},
        {"<script>if (a < b) hide();</script>shown<style>p > q {}</style>", "shown"},
        {"one<br>two<p>three</p>four", "one\ntwo\nthree\nfour"},
    };
    for (const std::size_t depth : {std::size_t{0}, std::size_t{300}, std::size_t{5'000}}) {
        for (const Case& c : cases) {
            const std::string html = repeated("<span>", depth) + c.html + repeated("</span>", depth);
            auto text = attributedStringFromHtml(html);
            ASSERT_TRUE(text.has_value());
            std::string expected = c.text;
            if (depth > 256)
                for (char& ch : expected) ch = ch == '\n' ? ' ' : ch;
            EXPECT_EQ(text->string(), expected) << depth << ": " << c.html;
        }
    }

    // Styles set above the bound hold for the flattened content beneath it;
    // those set below it do not.
    const std::string deep = "<b>" + repeated("<span>", 300) + "outer <i>inner</i>";
    auto text = attributedStringFromHtml(deep);
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->string(), "outer inner");
    EXPECT_TRUE(text->attributes(0).font->isBold());
    EXPECT_FALSE(text->attributes(6).font->isItalic());
}

// Long descriptions are read in sections; whatever spans them (a link, bold
// text, a long word run, a script or comment holding "<" and ">") reads as if
// read at once.
TEST(HtmlTextTest, LongMarkupReadsTheSameAcrossSections) {
    struct Case {
        std::string html;
        std::string text;
        // Every run of the text but the last has this style; the last has none.
        bool bold;
        bool italic;
        std::optional<std::string> link;
    };
    const std::string words = repeated("word ", 5'000);
    const std::string text = words.substr(0, words.size() - 1);
    const std::vector<Case> cases = {
        {"<div><a href=\"https://example.test/x?a=1&amp;b=2\">" + words + "</a></div>after", text + "\nafter", false,
         false, "https://example.test/x?a=1&b=2"},
        {"<b><em>" + words + "</em></b><p>after", text + "\nafter", true, true, std::nullopt},
        {"<p><b>" + words + "</b>after", text + " after", true, false, std::nullopt},
        {"<p><b>" + words + "<script>" + repeated("if (a<b && c>d) x(); ", 2'000) + "</script>" + words +
             "</b>after",
         text + " " + text + " after", true, false, std::nullopt},
        {"<b>" + words + "<!--" + repeated("c > d <e> ", 2'000) + "-->" + words + "</b>after", text + " " + text + " after",
         true, false, std::nullopt},
        {"<i>" + repeated("&amp; ", 5'000) + "</i>after", repeated("& ", 5'000) + "after", false, true, std::nullopt},
    };
    for (const Case& c : cases) {
        auto read = attributedStringFromHtml(c.html);
        ASSERT_TRUE(read.has_value());
        const std::string& got = read->string();
        const auto differ = std::mismatch(got.begin(), got.end(), c.text.begin(), c.text.end());
        ASSERT_EQ(got, c.text) << c.html.substr(0, 40) << ": differs at " << (differ.first - got.begin()) << ": "
                               << std::string(differ.first, got.end()).substr(0, 40);
        const std::size_t tail = c.text.size() - 5;
        const std::size_t styled = tail - 1;  // up to the break before "after"
        read->enumerateAttributes({0, styled}, [&](const TextAttributes& a, TextRange r, bool& stop) {
            const bool ok = a.font->isBold() == c.bold && a.font->isItalic() == c.italic && a.link == c.link;
            EXPECT_TRUE(ok) << c.html.substr(0, 40) << " at " << r.location;
            stop = !ok;
        });
        const TextAttributes after = read->attributes(tail);
        EXPECT_FALSE(after.font->isBold() || after.font->isItalic() || after.link) << c.html.substr(0, 40);
    }
}

// Whatever bytes or references the markup holds, the text is UTF-8: what
// cannot be a character reads as U+FFFD.
TEST(HtmlTextTest, OutputIsAlwaysValidUtf8) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        std::string html;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"a&#8088881810;b", "a" + replacement + "b"},
        {"a&#xCCCCCbCb;b", "a" + replacement + "b"},
        {"a&#x110000;b&#0;c", "a" + replacement + "b" + replacement + "c"},
        {"bad \xC3\x28 byte \xFF end", "bad " + replacement + "( byte " + replacement + " end"},
        {"caf\xC3\xA9 &#x1F600;", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
    };
    for (const Case& c : cases) {
        auto text = attributedStringFromHtml(c.html);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->string(), c.text) << c.html;
    }
    auto linked = attributedStringFromHtml("<a href=\"https://example.test/&#8088881810;\xC3\">x</a>");
    ASSERT_TRUE(linked.has_value());
    ASSERT_TRUE(linked->attributes(0).link.has_value());
    EXPECT_TRUE(isValidUtf8(*linked->attributes(0).link));
    EXPECT_EQ(*linked->attributes(0).link, "https://example.test/" + replacement + replacement);
}

}  // namespace
}  // namespace platform::ui
