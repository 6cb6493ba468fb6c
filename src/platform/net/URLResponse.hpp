// What a server answered to a request: the final address (after redirects),
// the HTTP status code, the MIME type and the expected body length.
//
// Value type; safe to copy between threads. Made by the session when the
// response's headers have arrived; readers never change it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/core/URL.hpp"

namespace platform::net {

class URLResponse {
public:
    // Header names are compared without regard to letter case.
    struct CaseInsensitiveLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using HeaderFields = std::map<std::string, std::string, CaseInsensitiveLess>;

    URLResponse(core::URL url, int statusCode, std::optional<std::string> mimeType,
                std::int64_t expectedContentLength, std::optional<std::string> textEncodingName = std::nullopt,
                HeaderFields headerFields = {})
        : url_(std::move(url)),
          statusCode_(statusCode),
          mimeType_(std::move(mimeType)),
          expectedContentLength_(expectedContentLength),
          textEncodingName_(std::move(textEncodingName)),
          headerFields_(std::move(headerFields)) {}

    // The address that answered (the last one when redirects were followed).
    const core::URL& url() const { return url_; }
    // HTTP status code (200, 404, ...).
    int statusCode() const { return statusCode_; }
    // True for a status code in 200...299.
    bool isSuccessStatus() const { return statusCode_ >= 200 && statusCode_ < 300; }
    // The Content-Type without its parameters, in lower case ("audio/mpeg");
    // none when the server sent no Content-Type.
    const std::optional<std::string>& mimeType() const { return mimeType_; }
    // The announced body length, or -1 (kTransferSizeUnknown) when unknown.
    std::int64_t expectedContentLength() const { return expectedContentLength_; }
    // The "charset" parameter of the Content-Type, when there is one.
    const std::optional<std::string>& textEncodingName() const { return textEncodingName_; }
    // The final response's header fields (the last value of a repeated field).
    const HeaderFields& allHeaderFields() const { return headerFields_; }
    std::optional<std::string> valueForHeaderField(const std::string& name) const;

    static constexpr std::int64_t kTransferSizeUnknown = -1;

private:
    core::URL url_;
    int statusCode_;
    std::optional<std::string> mimeType_;
    std::int64_t expectedContentLength_;
    std::optional<std::string> textEncodingName_;
    HeaderFields headerFields_;
};

}  // namespace platform::net
