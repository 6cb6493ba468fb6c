#include "platform/ui/text/HtmlText.hpp"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>

#include <optional>
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

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

class Builder {
public:
    Builder() : regular_(Font::systemFont(12)) {}

    // Iterative, so deeply nested markup cannot exhaust the stack.
    void walk(const GumboNode* root) {
        struct Frame {
            const GumboNode* node;
            unsigned next = 0;
            bool block = false;
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
                stack.push_back(Frame{node, 0, false, bold_, italic_, link_});
                return;
            }
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) return;  // comments
            const GumboElement& e = node->v.element;
            if (isDropped(e.tag)) return;
            if (e.tag == GUMBO_TAG_BR) {
                lineBreak();
                return;
            }
            Frame frame{node, 0, isBlock(e.tag), bold_, italic_, link_};
            if (frame.block) blockBoundary();
            if (e.tag == GUMBO_TAG_B || e.tag == GUMBO_TAG_STRONG) bold_ = true;
            if (e.tag == GUMBO_TAG_I || e.tag == GUMBO_TAG_EM) italic_ = true;
            if (e.tag == GUMBO_TAG_A) {
                if (const GumboAttribute* href = gumbo_get_attribute(&e.attributes, "href")) link_ = href->value;
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
            if (top.block) blockBoundary();
            bold_ = top.wasBold;
            italic_ = top.wasItalic;
            link_ = std::move(top.outerLink);
            stack.pop_back();
        }
    }

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
        if (!collapsed.empty()) emit(collapsed);
    }

    void lineBreak() {
        pendingSpace_ = false;
        emit("\n");
        atLineStart_ = true;
    }

    // A block stands on lines of its own: close the current line if it has text.
    void blockBoundary() {
        pendingSpace_ = false;
        if (!atLineStart_) lineBreak();
    }

    void emit(std::string_view s) {
        TextAttributes a;
        a.font = face();
        a.foregroundColor = Color::black();
        a.link = link_;
        if (!(a == pendingAttributes_)) flush();
        pendingAttributes_ = std::move(a);
        pending_ += s;
        atLineStart_ = false;
    }

    void flush() {
        out_.append(pending_, pendingAttributes_);
        pending_.clear();
    }

    Font face() {
        std::optional<Font>& slot = faces_[(bold_ ? 2 : 0) + (italic_ ? 1 : 0)];
        if (!slot) slot = regular_.withTraits(bold_, italic_).value_or(regular_);
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
    TextAttributes pendingAttributes_;
    AttributedString out_;
};

// The parser's time grows with the square of the element nesting, so markup
// nested deeper than any real description is read as its text alone: tags
// (and the content of scripts and styles) are taken out before parsing, which
// still decodes the entities.
constexpr std::size_t maximumNesting = 256;

std::string lowerName(std::string_view html, std::size_t at) {
    std::string name;
    while (at < html.size() && std::isalnum(static_cast<unsigned char>(html[at])))
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[at++])));
    return name;
}

bool isVoid(const std::string& name) {
    static const char* const names[] = {"area", "base", "br",   "col",   "embed", "hr",    "img",
                                        "input", "link", "meta", "param", "source", "track", "wbr"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return name == n; });
}

bool nestsTooDeep(std::string_view html) {
    std::size_t depth = 0;
    for (std::size_t i = html.find('<'); i != std::string_view::npos; i = html.find('<', i + 1)) {
        if (i + 1 < html.size() && html[i + 1] == '/') {
            if (depth > 0) --depth;
            continue;
        }
        const std::string name = lowerName(html, i + 1);
        if (name.empty() || isVoid(name)) continue;
        if (++depth > maximumNesting) return true;
    }
    return false;
}

std::string withoutTags(std::string_view html) {
    std::string text;
    std::size_t i = 0;
    while (i < html.size()) {
        if (html[i] != '<') {
            text += html[i++];
            continue;
        }
        const std::string name = lowerName(html, i + 1);
        const std::size_t close = html.find('>', i);
        if (close == std::string_view::npos) break;
        i = close + 1;
        if (name == "script" || name == "style") {
            const std::string closing = "</" + name;
            const auto end = std::search(html.begin() + static_cast<std::ptrdiff_t>(i), html.end(), closing.begin(),
                                         closing.end(), [](char a, char b) {
                                             return std::tolower(static_cast<unsigned char>(a)) == b;
                                         });
            i = static_cast<std::size_t>(end - html.begin());
        }
        if (name == "br" || name == "p" || name == "div") text += ' ';
    }
    return text;
}

}  // namespace

std::expected<AttributedString, HtmlReadError> attributedStringFromHtml(std::string_view html) {
    std::string flattened;
    if (nestsTooDeep(html)) {
        flattened = withoutTags(html);
        html = flattened;
    }
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size());
    if (!output) return std::unexpected(HtmlReadError{"the HTML could not be parsed"});
    Builder builder;
    builder.walk(output->document);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return builder.finish();
}

}  // namespace platform::ui
