#include "platform/ui/text/HtmlText.hpp"

#include "platform/core/DebugPrint.hpp"

#include <gumbo.h>

#include <algorithm>
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

// Elements whose content is read as text up to their end tag.
bool readsRawText(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_PLAINTEXT:
        return true;
    default:
        return false;
    }
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
    //
    // A section of a long text starts with the start tags of the elements
    // left open where the section before it ended (`prefixLength` bytes of
    // `length`): those elements continue, so they open no new block. The
    // elements still open where this section ends are left open (no block
    // edge) and listed in `openAtEnd()` for the next section.
    void walk(const GumboNode* root, std::size_t maximumNesting, std::size_t prefixLength, std::size_t length,
              bool last) {
        openAtEnd_.clear();
        std::size_t continuedLinks = 0;
        const auto openAtEnd = [&](const GumboNode* node) {
            return !last && node->type != GUMBO_NODE_DOCUMENT && node->v.element.end_pos.offset == length &&
                   (node->parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG);
        };
        struct Frame {
            const GumboNode* node;
            unsigned next = 0;
            std::size_t depth = 0;
            bool block = false;
            bool flat = false;
            bool leftOpen = false;
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
                stack.push_back(Frame{node, 0, 0, false, false, false, bold_, italic_, link_});
                return;
            }
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) return;  // comments
            const GumboElement& e = node->v.element;
            const bool continued = e.start_pos.offset < prefixLength && !isFrame(e.tag);
            const bool leftOpen = openAtEnd(node);
            if (isDropped(e.tag)) {
                if (leftOpen) keepOpenBeneath(node, length);
                return;
            }
            std::optional<std::string> carriedLink;
            if (continued && e.tag == GUMBO_TAG_A) carriedLink = continuedLink(continuedLinks++);
            const bool kept = leftOpen && !isFrame(e.tag) && keepOpen(e, carriedLink);
            const std::size_t parentDepth = stack.empty() ? 0 : stack.back().depth;
            const std::size_t depth = parentDepth + (isFrame(e.tag) ? 0 : 1);
            const bool flat = depth > maximumNesting;
            if (e.tag == GUMBO_TAG_BR) {
                if (flat) wordBreak();
                else lineBreak();
                return;
            }
            if (flat) {
                if (isBlock(e.tag) && !continued) wordBreak();
                stack.push_back(Frame{node, 0, depth, false, true, leftOpen, bold_, italic_, std::nullopt});
                return;
            }
            Frame frame{node, 0, depth, isBlock(e.tag), false, leftOpen, bold_, italic_, link_};
            if (frame.block && !continued) blockBoundary();
            if (e.tag == GUMBO_TAG_B || e.tag == GUMBO_TAG_STRONG) bold_ = true;
            if (e.tag == GUMBO_TAG_I || e.tag == GUMBO_TAG_EM) italic_ = true;
            if (e.tag == GUMBO_TAG_A) {
                if (continued) {
                    if (carriedLink) link_ = std::move(carriedLink);
                } else if (const GumboAttribute* href = gumbo_get_attribute(&e.attributes, "href")) {
                    link_ = validUtf8(href->value);
                }
                if (kept) openAtEnd_.back().link = link_;
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
                if (isBlock(top.node->v.element.tag) && !top.leftOpen) wordBreak();
                stack.pop_back();
                continue;
            }
            if (top.block && !top.leftOpen) blockBoundary();
            bold_ = top.wasBold;
            italic_ = top.wasItalic;
            link_ = std::move(top.outerLink);
            stack.pop_back();
        }
        carried_ = openAtEnd_;
    }

    // The start tags that re-open, in order, the elements left open at the
    // end of the last section.
    std::string reopeningTags() const {
        std::string tags = "<body>";
        for (const OpenElement& e : carried_) {
            tags += '<';
            tags += e.name;
            if (e.name == "a" && e.link) tags += " href";
            tags += '>';
        }
        return tags;
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
    struct OpenElement {
        std::string name;
        std::optional<std::string> link;
    };

    // A continued link takes its target from the section before, whatever
    // its re-opening tag says.
    std::optional<std::string> continuedLink(std::size_t index) const {
        std::size_t seen = 0;
        for (const OpenElement& e : carried_) {
            if (e.name != "a") continue;
            if (seen++ == index) return e.link;
        }
        return std::nullopt;
    }

    bool keepOpen(const GumboElement& e, std::optional<std::string> link) {
        // Past the bound only elements whose content the tokenizer reads
        // differently are re-opened; deeper styles no longer show.
        if (openAtEnd_.size() >= maximumReopened && !readsRawText(e.tag) && !isDropped(e.tag)) return false;
        std::string name;
        if (e.tag != GUMBO_TAG_UNKNOWN) {
            name = gumbo_normalized_tagname(e.tag);
        } else {
            GumboStringPiece piece = e.original_tag;
            gumbo_tag_from_original_text(&piece);
            if (piece.data && piece.length > 0 && piece.length <= 64) name.assign(piece.data, piece.length);
            else name = "span";
            for (char& c : name)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        openAtEnd_.push_back({std::move(name), std::move(link)});
        return true;
    }

    // A dropped element left open (a script cut in two) is re-opened with
    // whatever it holds open, so that the next section drops the rest of it.
    void keepOpenBeneath(const GumboNode* node, std::size_t length) {
        while (node && (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) &&
               node->v.element.end_pos.offset == length) {
            keepOpen(node->v.element, std::nullopt);
            const GumboVector& children = node->v.element.children;
            node = children.length ? static_cast<const GumboNode*>(children.data[children.length - 1]) : nullptr;
        }
    }

    static constexpr std::size_t maximumReopened = 260;

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
    std::vector<OpenElement> openAtEnd_;
    std::vector<OpenElement> carried_;
};

// Bounds of the reader; see the header.
constexpr std::size_t maximumInput = 1 << 20;
constexpr std::size_t maximumNesting = 256;
constexpr int maximumErrors = 16;
constexpr std::size_t sectionSize = 8 * 1024;

struct Parse {
    explicit Parse(const std::string& buffer) {
        options.max_errors = maximumErrors;
        output = gumbo_parse_with_options(&options, buffer.data(), buffer.size());
    }
    ~Parse() {
        if (output) gumbo_destroy_output(&options, output);
    }
    Parse(const Parse&) = delete;
    Parse& operator=(const Parse&) = delete;

    GumboOptions options = kGumboDefaultOptions;
    GumboOutput* output = nullptr;
};

// Where the section of `html` that starts at `start` (re-opened by `reopen`)
// ends: at the start of the last node (element, text or comment) that starts
// in the section, or inside the last text where a space or a reference begins
// before any '<'. The parser has passed every byte before such a point and
// stands between two tokens there, so parsing on from it with the open
// elements re-opened reads as one parse would. A section is given room to
// grow when its second half holds no such point (one long text, comment or
// tag).
std::size_t sectionEnd(std::string_view html, std::size_t start, const std::string& reopen) {
    std::size_t size = sectionSize;
    while (true) {
        const std::size_t end = std::min(html.size(), start + size);
        if (end == html.size()) return end;
        std::string buffer = reopen;
        buffer.append(html.substr(start, end - start));
        Parse parse(buffer);
        if (!parse.output) return end;
        std::size_t best = start;
        const auto consider = [&](std::size_t offset) {
            if (offset < reopen.size()) return;
            const std::size_t at = start + (offset - reopen.size());
            if (at <= best || at >= end || html[at] == '\n' || html[at] == '\r') return;
            best = at;
        };
        std::vector<const GumboNode*> pending{parse.output->document};
        while (!pending.empty()) {
            const GumboNode* node = pending.back();
            pending.pop_back();
            switch (node->type) {
            case GUMBO_NODE_DOCUMENT:
                for (unsigned i = 0; i < node->v.document.children.length; ++i)
                    pending.push_back(static_cast<const GumboNode*>(node->v.document.children.data[i]));
                break;
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE:
                if (node->v.element.original_tag.length > 0 && !(node->parse_flags & GUMBO_INSERTION_BY_PARSER))
                    consider(node->v.element.start_pos.offset);
                for (unsigned i = 0; i < node->v.element.children.length; ++i)
                    pending.push_back(static_cast<const GumboNode*>(node->v.element.children.data[i]));
                break;
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA: {
                const std::size_t offset = node->v.text.start_pos.offset;
                consider(offset);
                if (offset < reopen.size()) break;
                // Inside a text, before its first '<': at a space, or where a
                // reference begins.
                const std::size_t from = start + (offset - reopen.size());
                const std::size_t to = std::min(end, from + node->v.text.original_text.length);
                std::size_t stop = from;
                while (stop < to && html[stop] != '<') ++stop;
                for (std::size_t at = stop; at > from + 1; --at) {
                    const char c = html[at - 1];
                    if (c == ' ' || c == '\t' || c == '&') {
                        consider(offset + (at - 1 - from));
                        break;
                    }
                }
                break;
            }
            case GUMBO_NODE_COMMENT:
                consider(node->v.text.start_pos.offset);
                break;
            }
        }
        if (best >= start + size / 4 || (best > start && size >= 8 * sectionSize)) return best;
        size *= 2;
    }
}

}  // namespace

std::expected<AttributedString, HtmlReadError> attributedStringFromHtml(std::string_view html) {
    if (html.size() > maximumInput) {
        std::size_t end = maximumInput;
        while (end > 0 && (static_cast<unsigned char>(html[end]) & 0xC0) == 0x80) --end;
        core::debugPrint("HTML text: " + std::to_string(html.size()) + " bytes, read up to the first " +
                         std::to_string(end));
        html = html.substr(0, end);
    }
    Builder builder;
    std::size_t start = 0;
    std::string reopen;
    while (true) {
        const std::size_t end = html.size() - start > sectionSize ? sectionEnd(html, start, reopen) : html.size();
        std::string buffer = reopen;
        buffer.append(html.substr(start, end - start));
        Parse parse(buffer);
        if (!parse.output) return std::unexpected(HtmlReadError{"the HTML could not be parsed"});
        const bool last = end == html.size();
        builder.walk(parse.output->document, maximumNesting, reopen.size(), buffer.size(), last);
        if (last) break;
        start = end;
        reopen = builder.reopeningTags();
    }
    return builder.finish();
}

}  // namespace platform::ui
