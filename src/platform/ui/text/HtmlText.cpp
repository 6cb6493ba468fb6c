#include "platform/ui/text/HtmlText.hpp"

#include "platform/core/DebugPrint.hpp"

#include <gumbo.h>

#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

namespace {

bool isBlock(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_P:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_TR:
        return true;
    default:
        return false;
    }
}

bool isDropped(GumboTag tag) {
    return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_HEAD || tag == GUMBO_TAG_TITLE ||
           tag == GUMBO_TAG_TEMPLATE || tag == GUMBO_TAG_NOSCRIPT;
}

// The document's own frame: these elements do not count as nesting.
bool isFrame(GumboTag tag) { return tag == GUMBO_TAG_HTML || tag == GUMBO_TAG_BODY; }

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0.
std::size_t validSequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = byte(0);
    if (c < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;           // no overlong forms
        if (c == 0xED) high = 0x9F;          // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;           // no overlong forms
        if (c == 0xF4) high = 0x8F;          // nothing beyond U+10FFFF
    } else return 0;
    if (s.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return length;
}

// `text` with every byte that does not begin a well-formed UTF-8 sequence
// replaced by U+FFFD. The parser passes some numeric references (those past
// U+10FFFF) through as lone bytes; nothing of that reaches the output.
std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = validSequenceLength(text);
        if (length == 0) {
            out += replacementCharacter;
            text.remove_prefix(1);
        } else {
            out += text.substr(0, length);
            text.remove_prefix(length);
        }
    }
    return out;
}

class Builder {
public:
    Builder() : regular_(Font::systemFont(12)) {}

    // Iterative, so deeply nested markup cannot exhaust the stack. Elements
    // nested more than `maximumNesting` deep (the document's html and body
    // not counted) are flattened: their text still comes out, in the style
    // of the level at the bound, with line breaks and block edges read as
    // word breaks.
    void walk(const GumboNode* root, std::size_t maximumNesting) {
        struct Frame {
            const GumboNode* node;
            unsigned next = 0;
            std::size_t depth = 0;
            bool block = false;
            bool flat = false;
            bool wasBold = false;
            bool wasItalic = false;
            std::optional<std::string> outerLink;
        };
        std::vector<Frame> stack;
        const auto enter = [&](const GumboNode* node) {
            if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA || node->type == GUMBO_NODE_WHITESPACE) {
                text(node->v.text.text);
                return;
            }
            if (node->type == GUMBO_NODE_DOCUMENT) {
                stack.push_back(Frame{node, 0, 0, false, false, bold_, italic_, link_});
                return;
            }
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) return;  // comments
            const GumboElement& e = node->v.element;
            if (isDropped(e.tag)) return;
            const std::size_t parentDepth = stack.empty() ? 0 : stack.back().depth;
            const std::size_t depth = parentDepth + (isFrame(e.tag) ? 0 : 1);
            const bool flat = depth > maximumNesting;
            if (e.tag == GUMBO_TAG_BR) {
                if (flat) wordBreak();
                else lineBreak();
                return;
            }
            if (flat) {
                if (isBlock(e.tag)) wordBreak();
                stack.push_back(Frame{node, 0, depth, false, true, bold_, italic_, std::nullopt});
                return;
            }
            Frame frame{node, 0, depth, isBlock(e.tag), false, bold_, italic_, link_};
            if (frame.block) blockBoundary();
            if (e.tag == GUMBO_TAG_B || e.tag == GUMBO_TAG_STRONG) bold_ = true;
            if (e.tag == GUMBO_TAG_I || e.tag == GUMBO_TAG_EM) italic_ = true;
            if (e.tag == GUMBO_TAG_A) {
                if (const GumboAttribute* href = gumbo_get_attribute(&e.attributes, "href"))
                    link_ = validUtf8(href->value);
            }
            stack.push_back(std::move(frame));
        };
        enter(root);
        while (!stack.empty()) {
            Frame& top = stack.back();
            const GumboVector& children =
                top.node->type == GUMBO_NODE_DOCUMENT ? top.node->v.document.children : top.node->v.element.children;
            if (top.next < children.length) {
                enter(static_cast<const GumboNode*>(children.data[top.next++]));
                continue;
            }
            if (top.flat) {
                if (isBlock(top.node->v.element.tag)) wordBreak();
                stack.pop_back();
                continue;
            }
            if (top.block) blockBoundary();
            bold_ = top.wasBold;
            italic_ = top.wasItalic;
            link_ = std::move(top.outerLink);
            stack.pop_back();
        }
    }

    // The text without the line breaks that end it.
    AttributedString finish() {
        flush();
        std::size_t end = out_.length();
        while (end > 0 && out_.string()[end - 1] == '\n') --end;
        if (end == out_.length()) return std::move(out_);
        AttributedString trimmed;
        out_.enumerateAttributes({0, end}, [&](const TextAttributes& a, TextRange r, bool&) {
            trimmed.append(std::string_view(out_.string()).substr(r.location, r.length), a);
        });
        return trimmed;
    }

private:
    void text(const char* chars) {
        std::string collapsed;
        bool lineStart = atLineStart_;
        for (const char* c = chars; *c; ++c) {
            if (isSpace(*c)) {
                pendingSpace_ = true;
                continue;
            }
            if (pendingSpace_ && !lineStart) collapsed += ' ';
            pendingSpace_ = false;
            collapsed += *c;
            lineStart = false;
        }
        if (!collapsed.empty()) emit(validUtf8(collapsed));
    }

    void lineBreak() {
        pendingSpace_ = false;
        emit("\n");
        atLineStart_ = true;
    }

    void wordBreak() { pendingSpace_ = true; }

    // A block stands on lines of its own: close the current line if it has text.
    void blockBoundary() {
        pendingSpace_ = false;
        if (!atLineStart_) lineBreak();
    }

    // Text of one style gathers in `pending_` and becomes one run when the
    // style changes.
    void emit(std::string_view s) {
        if (!pending_.empty() && (pendingBold_ != bold_ || pendingItalic_ != italic_ || pendingLink_ != link_))
            flush();
        if (pending_.empty()) {
            pendingBold_ = bold_;
            pendingItalic_ = italic_;
            pendingLink_ = link_;
        }
        pending_ += s;
        atLineStart_ = false;
    }

    void flush() {
        if (pending_.empty()) return;
        TextAttributes a;
        a.font = face(pendingBold_, pendingItalic_);
        a.foregroundColor = Color::black();
        a.link = pendingLink_;
        out_.append(pending_, a);
        pending_.clear();
    }

    const Font& face(bool bold, bool italic) {
        std::optional<Font>& slot = faces_[(bold ? 2 : 0) + (italic ? 1 : 0)];
        if (!slot) slot = regular_.withTraits(bold, italic).value_or(regular_);
        return *slot;
    }

    Font regular_;
    std::optional<Font> faces_[4];
    bool bold_ = false;
    bool italic_ = false;
    std::optional<std::string> link_;
    bool pendingSpace_ = false;
    bool atLineStart_ = true;
    std::string pending_;
    bool pendingBold_ = false;
    bool pendingItalic_ = false;
    std::optional<std::string> pendingLink_;
    AttributedString out_;
};

// Bounds of the reader; see the header.
constexpr std::size_t maximumInput = 1 << 20;
constexpr std::size_t maximumNesting = 256;
constexpr int maximumErrors = 16;

}  // namespace

std::expected<AttributedString, HtmlReadError> attributedStringFromHtml(std::string_view html) {
    if (html.size() > maximumInput) {
        std::size_t end = maximumInput;
        while (end > 0 && (static_cast<unsigned char>(html[end]) & 0xC0) == 0x80) --end;
        core::debugPrint("HTML text: " + std::to_string(html.size()) + " bytes, read up to the first " +
                         std::to_string(end));
        html = html.substr(0, end);
    }
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = maximumErrors;
    GumboOutput* output = gumbo_parse_with_options(&options, html.data(), html.size());
    if (!output) return std::unexpected(HtmlReadError{"the HTML could not be parsed"});
    Builder builder;
    builder.walk(output->document, maximumNesting);
    gumbo_destroy_output(&options, output);
    return builder.finish();
}

}  // namespace platform::ui
