#include "platform/web/EngineJSON.hpp"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace platform::web {

using core::Json;

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUTF8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        const char bytes[] = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(bytes, 2);
    } else if (cp < 0x10000) {
        const char bytes[] = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(bytes, 3);
    } else {
        const char bytes[] = {static_cast<char>(0xF0 | (cp >> 18)), static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                              static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(bytes, 4);
    }
}

int hexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Recursive descent over the text; the depth is bounded by maxDepth_, so
// the recursion is too.
class Reader {
public:
    Reader(std::u16string_view text, std::size_t maxDepth, LoneSurrogates loneSurrogates)
        : at_(text.data()), end_(text.data() + text.size()), maxDepth_(maxDepth), loneSurrogates_(loneSurrogates) {}

    bool sawLoneSurrogate() const { return sawLoneSurrogate_; }

    EngineJSONOutcome read(Json& out) {
        if (!value(out)) return tooDeep_ ? EngineJSONOutcome::tooDeep : EngineJSONOutcome::malformed;
        skipSpace();
        return at_ == end_ ? EngineJSONOutcome::value : EngineJSONOutcome::malformed;
    }

private:
    // A surrogate that is not half of a pair, as asked.
    char32_t lone(char32_t unit) {
        sawLoneSurrogate_ = true;
        return loneSurrogates_ == LoneSurrogates::keep ? unit : kReplacement;
    }

    void skipSpace() {
        while (at_ < end_ && (*at_ == ' ' || *at_ == '\n' || *at_ == '\r' || *at_ == '\t')) ++at_;
    }

    bool literal(std::u16string_view word) {
        if (static_cast<std::size_t>(end_ - at_) < word.size() || std::u16string_view(at_, word.size()) != word) {
            return false;
        }
        at_ += word.size();
        return true;
    }

    bool value(Json& out) {
        skipSpace();
        if (at_ == end_) return false;
        switch (*at_) {
            case '{':
                return object(out);
            case '[':
                return array(out);
            case '"': {
                std::string text;
                if (!string(text)) return false;
                out = std::move(text);
                return true;
            }
            case 't':
                out = true;
                return literal(u"true");
            case 'f':
                out = false;
                return literal(u"false");
            case 'n':
                out = nullptr;
                return literal(u"null");
            default:
                return number(out);
        }
    }

    bool enter() {
        if (++depth_ > maxDepth_) {
            tooDeep_ = true;
            return false;
        }
        ++at_;
        skipSpace();
        return true;
    }

    bool object(Json& out) {
        if (!enter()) return false;
        out = Json::object();
        auto& members = out.get_ref<Json::object_t&>();
        if (at_ < end_ && *at_ == '}') {
            ++at_;
            --depth_;
            return true;
        }
        std::string key;
        for (;;) {
            skipSpace();
            if (at_ == end_ || *at_ != '"') return false;
            if (!string(key)) return false;
            skipSpace();
            if (at_ == end_ || *at_ != ':') return false;
            ++at_;
            // Keys usually come in order, so the end is the place to try
            // first. A repeated key: the last value wins.
            const std::size_t before = members.size();
            Json& member = members.try_emplace(members.end(), std::move(key))->second;
            if (members.size() == before) member = nullptr;
            key = std::string();
            if (!value(member)) return false;
            skipSpace();
            if (at_ == end_) return false;
            if (*at_ == ',') {
                ++at_;
                continue;
            }
            if (*at_ != '}') return false;
            ++at_;
            --depth_;
            return true;
        }
    }

    // The elements are gathered in a list kept for this depth and moved into
    // an array of their exact count at the end: one allocation per array.
    bool array(Json& out) {
        if (!enter()) return false;
        if (at_ < end_ && *at_ == ']') {
            ++at_;
            --depth_;
            out = Json::array();
            return true;
        }
        if (gathered_.size() < depth_) gathered_.resize(depth_);
        gathered_[depth_ - 1].clear();
        for (;;) {
            // Deeper arrays gather in lists of their own: this list may move
            // (its elements do not) when `gathered_` grows, so it is looked
            // up each time.
            auto& elements = gathered_[depth_ - 1];
            elements.emplace_back();
            if (!value(elements.back())) return false;
            skipSpace();
            if (at_ == end_) return false;
            if (*at_ == ',') {
                ++at_;
                continue;
            }
            if (*at_ != ']') return false;
            ++at_;
            auto& done = gathered_[depth_ - 1];
            out = Json::array_t(std::make_move_iterator(done.begin()), std::make_move_iterator(done.end()));
            done.clear();
            --depth_;
            return true;
        }
    }

    // The unit of the escape "\uXXXX" starting at `from`, or -1.
    long escapedUnit(const char16_t* from) const {
        if (end_ - from < 6 || from[0] != '\\' || from[1] != 'u') return -1;
        long unit = 0;
        for (int i = 2; i < 6; ++i) {
            const int digit = hexValue(from[i]);
            if (digit < 0) return -1;
            unit = unit * 16 + digit;
        }
        return unit;
    }

    // At most how many UTF-8 bytes the string token whose text starts at
    // `from` makes: exact for text without escapes, more for escapes.
    std::size_t lengthBound(const char16_t* from) const {
        std::size_t bytes = 0;
        for (const char16_t* unit = from; unit < end_ && *unit != '"'; ++unit) {
            if (*unit == '\\' && unit + 1 < end_) {
                bytes += 2;
                ++unit;
                continue;
            }
            bytes += *unit < 0x80 ? 1 : (*unit < 0x800 ? 2 : 3);
        }
        return bytes;
    }

    // A string token into `out` (UTF-8), the cursor on its opening quote;
    // `out`'s room is made once.
    bool string(std::string& out) {
        ++at_;
        out.reserve(out.size() + lengthBound(at_));
        for (;;) {
            // A run of plain ASCII, narrowed in one go.
            const char16_t* run = at_;
            while (at_ < end_ && *at_ >= 0x20 && *at_ < 0x80 && *at_ != '"' && *at_ != '\\') ++at_;
            if (at_ != run) {
                const std::size_t old = out.size();
                out.resize(old + static_cast<std::size_t>(at_ - run));
                char* to = out.data() + old;
                for (const char16_t* from = run; from != at_; ++from) *to++ = static_cast<char>(*from);
            }
            if (at_ == end_) return false;
            const char16_t c = *at_;
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20) return false;
            if (c != '\\') {
                char32_t cp = c;
                if (isHighSurrogate(cp) && end_ - at_ > 1 && isLowSurrogate(at_[1])) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (at_[1] - 0xDC00);
                    at_ += 2;
                } else {
                    if (isHighSurrogate(cp) || isLowSurrogate(cp)) cp = lone(cp);
                    ++at_;
                }
                appendUTF8(out, cp);
                continue;
            }
            if (end_ - at_ < 2) return false;
            switch (at_[1]) {
                case '"': out.push_back('"'); break;
                case '\\': out.push_back('\\'); break;
                case '/': out.push_back('/'); break;
                case 'b': out.push_back('\b'); break;
                case 'f': out.push_back('\f'); break;
                case 'n': out.push_back('\n'); break;
                case 'r': out.push_back('\r'); break;
                case 't': out.push_back('\t'); break;
                case 'u': {
                    const long unit = escapedUnit(at_);
                    if (unit < 0) return false;
                    char32_t cp = static_cast<char32_t>(unit);
                    if (isHighSurrogate(cp)) {
                        const long low = escapedUnit(at_ + 6);
                        if (low >= 0 && isLowSurrogate(static_cast<char32_t>(low))) {
                            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
                            at_ += 6;
                        } else {
                            cp = lone(cp);
                        }
                    } else if (isLowSurrogate(cp)) {
                        cp = lone(cp);
                    }
                    appendUTF8(out, cp);
                    at_ += 6;
                    continue;
                }
                default:
                    return false;
            }
            at_ += 2;
        }
    }

    // A number token, with the kinds our JSON parser gives: an integer
    // without fraction or exponent is unsigned (or signed when negative)
    // when it fits, floating otherwise.
    bool number(Json& out) {
        const char16_t* start = at_;
        const auto digits = [&] {
            const char16_t* first = at_;
            while (at_ < end_ && *at_ >= '0' && *at_ <= '9') ++at_;
            return at_ != first;
        };
        const bool negative = at_ < end_ && *at_ == '-';
        if (negative) ++at_;
        if (at_ < end_ && *at_ == '0') {
            ++at_;
        } else if (!digits()) {
            return false;
        }
        bool integral = true;
        if (at_ < end_ && *at_ == '.') {
            ++at_;
            if (!digits()) return false;
            integral = false;
        }
        if (at_ < end_ && (*at_ == 'e' || *at_ == 'E')) {
            ++at_;
            if (at_ < end_ && (*at_ == '+' || *at_ == '-')) ++at_;
            if (!digits()) return false;
            integral = false;
        }
        char buffer[64];
        const std::size_t length = static_cast<std::size_t>(at_ - start);
        std::string longText;
        char* text = buffer;
        if (length >= sizeof buffer) {
            longText.resize(length);
            text = longText.data();
        }
        for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(start[i]);
        const char* textEnd = text + length;
        if (integral) {
            if (negative) {
                std::int64_t signedValue = 0;
                auto [end, error] = std::from_chars(text, textEnd, signedValue);
                if (error == std::errc() && end == textEnd) {
                    out = signedValue;
                    return true;
                }
            } else {
                std::uint64_t unsignedValue = 0;
                auto [end, error] = std::from_chars(text, textEnd, unsignedValue);
                if (error == std::errc() && end == textEnd) {
                    out = unsignedValue;
                    return true;
                }
            }
        }
        double floating = 0;
        auto [end, error] = std::from_chars(text, textEnd, floating);
        if (error == std::errc::result_out_of_range) {
            // What the C library makes of it (a denormal or zero for a tiny
            // value, infinity for a huge one), read in the current locale.
            std::string copy(text, length);
            if (const char* point = std::localeconv()->decimal_point; point && *point) {
                for (auto& ch : copy) {
                    if (ch == '.') ch = *point;
                }
            }
            floating = std::strtod(copy.c_str(), nullptr);
        } else if (error != std::errc() || end != textEnd) {
            return false;
        }
        if (!std::isfinite(floating)) return false;
        out = floating;
        return true;
    }

    const char16_t* at_;
    const char16_t* end_;
    std::size_t maxDepth_;
    LoneSurrogates loneSurrogates_;
    bool sawLoneSurrogate_ = false;
    std::size_t depth_ = 0;
    bool tooDeep_ = false;
    // The elements of the arrays being read, one list per depth.
    std::vector<std::vector<Json>> gathered_;
};

}  // namespace

EngineJSONOutcome jsonFromEngineText(std::u16string_view text, Json& out, std::size_t maxDepth,
                                     LoneSurrogates loneSurrogates, bool* sawLoneSurrogate) {
    Reader reader(text, maxDepth, loneSurrogates);
    const auto outcome = reader.read(out);
    if (sawLoneSurrogate) *sawLoneSurrogate = reader.sawLoneSurrogate();
    return outcome;
}

}  // namespace platform::web
