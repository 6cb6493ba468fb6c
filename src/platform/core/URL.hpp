// An address, parsed with the rules of the platform's address parser that the
// component relies on: an empty text, blanks and other characters outside
// RFC 3986 (unreserved, reserved and "%" followed by two hex digits) give no
// address; a scheme-less relative reference such as "ep.mp3" is accepted.
// File addresses are made from paths with `fileURL`.
//
// Value type; immutable; safe to share between threads.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform::core {

class URL {
public:
    // None when `text` is not a valid address reference.
    static std::optional<URL> parse(std::string_view text);
    // "file://" address of an absolute path (percent-encoded as needed).
    static URL fileURL(const std::filesystem::path& path);

    const std::string& absoluteString() const { return text_; }
    // Scheme in lower case, or empty when the reference has none.
    const std::string& scheme() const { return scheme_; }
    // Host (without user info and port), or empty.
    const std::string& host() const { return host_; }
    std::optional<int> port() const { return port_; }
    // Percent-decoded path ("" when the address has none).
    std::string path() const;
    // The path as written (still percent-encoded).
    const std::string& encodedPath() const { return path_; }
    const std::optional<std::string>& query() const { return query_; }
    const std::optional<std::string>& fragment() const { return fragment_; }

    // Percent-decoded last path component: "/a/b%20c.mp3" gives "b c.mp3";
    // "/" for the root path; "" when the path is empty.
    std::string lastPathComponent() const;
    // Extension of the last path component without the dot ("" when none).
    std::string pathExtension() const;
    bool isFileURL() const { return scheme_ == "file"; }
    // File-system path of a file address (percent-decoded).
    std::filesystem::path filePath() const { return std::filesystem::path(path()); }

    // The same address with another scheme; none when the address has no
    // scheme or the result does not parse.
    std::optional<URL> replacingScheme(std::string_view scheme) const;
    // Appends one percent-encoded path component.
    URL appendingPathComponent(std::string_view component) const;

    friend bool operator==(const URL& a, const URL& b) { return a.text_ == b.text_; }

    // Percent-decoding; invalid escapes are kept as written.
    static std::string percentDecode(std::string_view text);
    // Percent-encodes everything but unreserved characters and those in `keep`.
    static std::string percentEncode(std::string_view text, std::string_view keep = "");

private:
    URL() = default;

    std::string text_;
    std::string scheme_;
    std::string host_;
    std::optional<int> port_;
    std::string path_;
    std::optional<std::string> query_;
    std::optional<std::string> fragment_;
};

}  // namespace platform::core

template <>
struct std::hash<platform::core::URL> {
    std::size_t operator()(const platform::core::URL& url) const noexcept {
        return std::hash<std::string>{}(url.absoluteString());
    }
};
