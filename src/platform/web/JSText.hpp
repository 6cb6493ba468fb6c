// Text conversions between our UTF-8 strings and JavaScriptCore strings.
// Conversions never fail: invalid UTF-8 and lone surrogates become U+FFFD,
// and NUL characters are carried through.
#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <string>
#include <string_view>

namespace platform::web {

std::u16string utf16FromUTF8(std::string_view text);
std::string utf8FromUTF16(std::u16string_view text);

// Owns one JSStringRef.
class JSText {
public:
    explicit JSText(std::string_view utf8);
    // Adopts a string returned by a "Copy"/"Create" call (may be null).
    static JSText adopt(JSStringRef string);
    ~JSText();
    JSText(const JSText&) = delete;
    JSText& operator=(const JSText&) = delete;
    JSText(JSText&& other) noexcept : string_(other.string_) { other.string_ = nullptr; }

    JSStringRef get() const { return string_; }
    explicit operator bool() const { return string_ != nullptr; }
    std::string utf8() const;

private:
    JSText() = default;
    JSStringRef string_ = nullptr;
};

// The value's string conversion (as `String(value)`), or "" when that throws.
std::string stringFromValue(JSContextRef context, JSValueRef value);

}  // namespace platform::web
