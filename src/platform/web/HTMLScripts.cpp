#include "platform/web/HTMLScripts.hpp"

#include <algorithm>
#include <cctype>

namespace platform::web {
namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string toLower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

// Case-insensitive search for an ASCII needle.
std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from;
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && lower(haystack[i + k]) == needle[k]) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

struct Tag {
    std::vector<std::pair<std::string, std::optional<std::string>>> attributes;
    std::size_t end = 0;  // index just past '>'
    bool selfClosing = false;
};

// Parses the attributes of a start tag from `pos` (just after the tag name)
// to its closing '>'. None when the document ends first.
std::optional<Tag> parseTag(std::string_view html, std::size_t pos) {
    Tag tag;
    const std::size_t n = html.size();
    while (pos < n) {
        while (pos < n && isSpace(html[pos])) ++pos;
        if (pos >= n) return std::nullopt;
        if (html[pos] == '>') {
            tag.end = pos + 1;
            return tag;
        }
        if (html[pos] == '/') {
            ++pos;
            if (pos < n && html[pos] == '>') {
                tag.selfClosing = true;
                tag.end = pos + 1;
                return tag;
            }
            continue;
        }
        std::size_t nameStart = pos;
        while (pos < n && !isSpace(html[pos]) && html[pos] != '=' && html[pos] != '>' && html[pos] != '/') ++pos;
        std::string name = toLower(html.substr(nameStart, pos - nameStart));
        while (pos < n && isSpace(html[pos])) ++pos;
        std::optional<std::string> value;
        if (pos < n && html[pos] == '=') {
            ++pos;
            while (pos < n && isSpace(html[pos])) ++pos;
            if (pos >= n) return std::nullopt;
            if (html[pos] == '"' || html[pos] == '\'') {
                const char quote = html[pos++];
                const std::size_t close = html.find(quote, pos);
                if (close == std::string_view::npos) return std::nullopt;
                value = std::string(html.substr(pos, close - pos));
                pos = close + 1;
            } else {
                std::size_t valueStart = pos;
                while (pos < n && !isSpace(html[pos]) && html[pos] != '>') ++pos;
                value = std::string(html.substr(valueStart, pos - valueStart));
            }
        }
        if (!name.empty()) tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    return std::nullopt;
}

bool isJavaScriptType(const std::optional<std::string>& type) {
    if (!type) return true;
    std::string t = toLower(*type);
    t.erase(0, t.find_first_not_of(" \t\n\r\f"));
    t.erase(t.find_last_not_of(" \t\n\r\f") + 1);
    return t.empty() || t == "text/javascript" || t == "application/javascript" ||
           t == "application/x-javascript" || t == "text/ecmascript" || t == "application/ecmascript";
}

}  // namespace

std::vector<HTMLScript> extractScripts(std::string_view html) {
    std::vector<HTMLScript> scripts;
    std::size_t pos = 0;
    while (pos < html.size()) {
        const std::size_t comment = html.find("<!--", pos);
        std::size_t open = findNoCase(html, "<script", pos);
        if (open == std::string_view::npos) break;
        if (comment != std::string_view::npos && comment < open) {
            const std::size_t close = html.find("-->", comment + 4);
            if (close == std::string_view::npos) break;
            pos = close + 3;
            continue;
        }
        const std::size_t afterName = open + 7;
        if (afterName < html.size() && !isSpace(html[afterName]) && html[afterName] != '>' && html[afterName] != '/') {
            pos = afterName;  // some other element, such as <scripts>
            continue;
        }
        auto tag = parseTag(html, afterName);
        if (!tag) break;

        HTMLScript script;
        std::optional<std::string> type;
        for (auto& [name, value] : tag->attributes) {
            if (name == "src" && value && !script.src) script.src = *value;
            if (name == "type" && !type) type = value.value_or("");
        }
        pos = tag->end;
        // A script element's text runs to the first "</script", whatever it holds.
        std::size_t close = findNoCase(html, "</script", pos);
        std::string_view text = html.substr(pos, close == std::string_view::npos ? std::string_view::npos : close - pos);
        if (!script.src) script.text = std::string(text);
        if (close == std::string_view::npos) {
            pos = html.size();
        } else {
            const std::size_t gt = html.find('>', close);
            pos = gt == std::string_view::npos ? html.size() : gt + 1;
        }
        if (isJavaScriptType(type)) scripts.push_back(std::move(script));
    }
    return scripts;
}

}  // namespace platform::web
