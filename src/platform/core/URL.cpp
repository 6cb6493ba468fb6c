#include "platform/core/URL.hpp"

#include <algorithm>
#include <cctype>

namespace platform::core {
namespace {

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isUnreserved(char c) { return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~'; }
bool isSubDelim(char c) {
    switch (c) {
        case '!': case '$': case '&': case '\'': case '(': case ')':
        case '*': case '+': case ',': case ';': case '=':
            return true;
        default:
            return false;
    }
}
bool isPathChar(char c) { return isUnreserved(c) || isSubDelim(c) || c == ':' || c == '@' || c == '%'; }

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// Every character is allowed somewhere in a reference and every '%' starts a
// valid escape.
bool validCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
            i += 2;
            continue;
        }
        if (isUnreserved(c) || isSubDelim(c)) continue;
        switch (c) {
            case ':': case '/': case '?': case '#': case '[': case ']': case '@':
                continue;
            default:
                return false;
        }
    }
    return true;
}

bool allOf(std::string_view text, bool (*pred)(char)) { return std::all_of(text.begin(), text.end(), pred); }

}  // namespace

std::optional<URL> URL::parse(std::string_view text) {
    if (text.empty() || !validCharacters(text)) return std::nullopt;
    URL url;
    url.text_ = std::string(text);
    std::string_view rest = text;

    // Fragment: everything after the first '#', which must not hold another.
    if (const auto hash = rest.find('#'); hash != std::string_view::npos) {
        const auto fragment = rest.substr(hash + 1);
        if (fragment.find('#') != std::string_view::npos || fragment.find_first_of("[]") != std::string_view::npos)
            return std::nullopt;
        url.fragment_ = std::string(fragment);
        rest = rest.substr(0, hash);
    }
    if (const auto question = rest.find('?'); question != std::string_view::npos) {
        const auto query = rest.substr(question + 1);
        if (query.find_first_of("[]") != std::string_view::npos) return std::nullopt;
        url.query_ = std::string(query);
        rest = rest.substr(0, question);
    }

    // Scheme: letters, digits, "+", "-", "." before the first ':' that comes
    // before any '/'.
    const auto colon = rest.find(':');
    const auto slash = rest.find('/');
    if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash)) {
        const auto scheme = rest.substr(0, colon);
        if (scheme.empty() || !isAlpha(scheme[0]) ||
            !allOf(scheme, [](char c) { return isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.'; }))
            return std::nullopt;  // a relative reference may not hold ':' in its first segment
        url.scheme_.resize(scheme.size());
        std::transform(scheme.begin(), scheme.end(), url.scheme_.begin(),
                       [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        rest = rest.substr(colon + 1);
    }

    if (rest.starts_with("//")) {
        rest = rest.substr(2);
        const auto end = rest.find('/');
        std::string_view authority = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
        if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
            const auto userInfo = authority.substr(0, at);
            if (userInfo.find_first_of("[]@") != std::string_view::npos) return std::nullopt;
            authority = authority.substr(at + 1);
        }
        std::string_view host = authority;
        if (authority.starts_with('[')) {
            const auto close = authority.find(']');
            if (close == std::string_view::npos) return std::nullopt;
            host = authority.substr(0, close + 1);
            authority = authority.substr(close + 1);
            if (!authority.empty() && authority[0] != ':') return std::nullopt;
        } else {
            const auto portColon = authority.find(':');
            host = authority.substr(0, portColon);
            authority = portColon == std::string_view::npos ? std::string_view{} : authority.substr(portColon);
            if (host.find_first_of("[]") != std::string_view::npos) return std::nullopt;
        }
        if (!authority.empty()) {  // ":port"
            const auto port = authority.substr(1);
            if (!allOf(port, isDigit)) return std::nullopt;
            if (!port.empty()) {
                if (port.size() > 5) return std::nullopt;
                url.port_ = std::stoi(std::string(port));
            }
        }
        url.host_ = std::string(host);
    }
    if (!allOf(rest, [](char c) { return isPathChar(c) || c == '/'; })) return std::nullopt;
    url.path_ = std::string(rest);
    return url;
}

URL URL::fileURL(const std::filesystem::path& path) {
    auto absolute = path.is_absolute() ? path : std::filesystem::absolute(path);
    return *parse("file://" + percentEncode(absolute.generic_string(), "/!$&'()*+,;=:@"));
}

std::string URL::path() const { return percentDecode(path_); }

std::string URL::lastPathComponent() const {
    if (path_.empty()) return "";
    std::string_view p = path_;
    while (p.size() > 1 && p.back() == '/') p.remove_suffix(1);
    if (p == "/") return "/";
    const auto slash = p.rfind('/');
    return percentDecode(slash == std::string_view::npos ? p : p.substr(slash + 1));
}

std::string URL::pathExtension() const {
    const std::string last = lastPathComponent();
    const auto dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == last.size()) return "";
    return last.substr(dot + 1);
}

std::optional<URL> URL::replacingScheme(std::string_view scheme) const {
    if (scheme_.empty() || scheme.empty()) return std::nullopt;
    return parse(std::string(scheme) + text_.substr(scheme_.size()));
}

URL URL::appendingPathComponent(std::string_view component) const {
    std::string base = text_;
    std::string suffix;
    if (query_) suffix += "?" + *query_;
    if (fragment_) suffix += "#" + *fragment_;
    base.resize(base.size() - suffix.size());
    if (base.empty() || base.back() != '/') base += '/';
    base += percentEncode(component, "!$&'()*+,;=:@");
    if (auto url = parse(base + suffix)) return *url;
    return *this;
}

std::string URL::percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2])) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string URL::percentEncode(std::string_view text, std::string_view keep) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (isUnreserved(c) || keep.find(c) != std::string_view::npos) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 15];
        }
    }
    return out;
}

}  // namespace platform::core
