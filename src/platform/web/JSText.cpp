#include "platform/web/JSText.hpp"

namespace platform::web {

std::u16string utf16FromUTF8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
                cp = ((c & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
                len = 2;
            }
        } else if (c >= 0xE0 && c <= 0xEF) {
            if (i + 2 < n && (s[i + 1] & 0xC0) == 0x80 && (s[i + 2] & 0xC0) == 0x80) {
                char32_t v = ((c & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
                if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
                    cp = v;
                    len = 3;
                }
            }
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (i + 3 < n && (s[i + 1] & 0xC0) == 0x80 && (s[i + 2] & 0xC0) == 0x80 && (s[i + 3] & 0xC0) == 0x80) {
                char32_t v = ((c & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) |
                             (s[i + 3] & 0x3Fu);
                if (v >= 0x10000 && v <= 0x10FFFF) {
                    cp = v;
                    len = 4;
                }
            }
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string utf8FromUTF16(std::u16string_view text) {
    // Written through a pointer into room for the longest form (three bytes a
    // code unit), then cut to what was written.
    std::string out(text.size() * 3, '\0');
    char* p = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp < 0x80) {
            *p++ = static_cast<char>(cp);
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x800) {
            *p++ = static_cast<char>(0xC0 | (cp >> 6));
            *p++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (cp >> 12));
            *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (cp >> 18));
            *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out;
}

JSText::JSText(std::string_view utf8) {
    const std::u16string chars = utf16FromUTF8(utf8);
    static_assert(sizeof(JSChar) == sizeof(char16_t));
    string_ = JSStringCreateWithCharacters(reinterpret_cast<const JSChar*>(chars.data()), chars.size());
}

JSText JSText::adopt(JSStringRef string) {
    JSText text;
    text.string_ = string;
    return text;
}

JSText::~JSText() {
    if (string_) JSStringRelease(string_);
}

std::string JSText::utf8() const {
    if (!string_) return {};
    const JSChar* chars = JSStringGetCharactersPtr(string_);
    const std::size_t length = JSStringGetLength(string_);
    return utf8FromUTF16(std::u16string_view(reinterpret_cast<const char16_t*>(chars), length));
}

std::string stringFromValue(JSContextRef context, JSValueRef value) {
    if (!value) return {};
    JSValueRef exception = nullptr;
    JSText text = JSText::adopt(JSValueToStringCopy(context, value, &exception));
    if (exception || !text) return {};
    return text.utf8();
}

}  // namespace platform::web
