#include "orvane/widget/DebugDescription.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace orvane {

using platform::core::Json;

namespace {

// Length of the valid UTF-8 sequence that starts at `at` (a byte of 0x80 or
// more), 0 when it is not one (overlong forms, surrogates and code points
// beyond U+10FFFF are not).
std::size_t validSequence(const unsigned char* at, const unsigned char* end) {
    const unsigned char lead = *at;
    const auto continuation = [&](std::size_t i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return at + i < end && at[i] >= low && at[i] <= high;
    };
    if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
    if (lead == 0xE0) return continuation(1, 0xA0) && continuation(2) ? 3 : 0;
    if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) return continuation(1) && continuation(2) ? 3 : 0;
    if (lead == 0xED) return continuation(1, 0x80, 0x9F) && continuation(2) ? 3 : 0;
    if (lead == 0xF0) return continuation(1, 0x90) && continuation(2) && continuation(3) ? 4 : 0;
    if (lead >= 0xF1 && lead <= 0xF3) return continuation(1) && continuation(2) && continuation(3) ? 4 : 0;
    if (lead == 0xF4) return continuation(1, 0x80, 0x8F) && continuation(2) && continuation(3) ? 4 : 0;
    return 0;
}

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    // False when the value holds something this writer leaves to the
    // library (invalid UTF-8, binary or discarded values).
    bool value(const Json& json) {
        switch (json.type()) {
            case Json::value_t::object: {
                const auto& members = json.get_ref<const Json::object_t&>();
                out_.push_back('{');
                bool first = true;
                for (const auto& [key, member] : members) {
                    if (!first) out_.push_back(',');
                    first = false;
                    if (!string(key)) return false;
                    out_.push_back(':');
                    if (!value(member)) return false;
                }
                out_.push_back('}');
                return true;
            }
            case Json::value_t::array: {
                const auto& elements = json.get_ref<const Json::array_t&>();
                out_.push_back('[');
                bool first = true;
                for (const auto& element : elements) {
                    if (!first) out_.push_back(',');
                    first = false;
                    if (!value(element)) return false;
                }
                out_.push_back(']');
                return true;
            }
            case Json::value_t::string:
                return string(json.get_ref<const std::string&>());
            case Json::value_t::boolean:
                out_.append(json.get<bool>() ? "true" : "false");
                return true;
            case Json::value_t::null:
                out_.append("null");
                return true;
            case Json::value_t::number_integer:
                integer(json.get<std::int64_t>());
                return true;
            case Json::value_t::number_unsigned:
                integer(json.get<std::uint64_t>());
                return true;
            case Json::value_t::number_float:
                floating(json.get<double>());
                return true;
            case Json::value_t::binary:
            case Json::value_t::discarded:
                return false;
        }
        return false;
    }

private:
    template <class Integer>
    void integer(Integer number) {
        char buffer[24];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, number);
        out_.append(buffer, end);
    }

    void floating(double number) {
        if (!std::isfinite(number)) {
            out_.append("null");
            return;
        }
        // The library's own shortest form ("1.0", "1e+21", "1e-07").
        char buffer[64];
        char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, number);
        out_.append(buffer, end);
    }

    bool string(const std::string& text) {
        out_.push_back('"');
        const auto* at = reinterpret_cast<const unsigned char*>(text.data());
        const auto* end = at + text.size();
        while (at < end) {
            const unsigned char* run = at;
            for (;;) {
                while (at < end && *at >= 0x20 && *at < 0x80 && *at != '"' && *at != '\\') ++at;
                if (at == end || *at < 0x80) break;
                const std::size_t length = validSequence(at, end);
                if (length == 0) return false;
                at += length;
            }
            out_.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(at - run));
            if (at == end) break;
            const unsigned char c = *at++;
            switch (c) {
                case '"': out_.append("\\\""); break;
                case '\\': out_.append("\\\\"); break;
                case '\b': out_.append("\\b"); break;
                case '\t': out_.append("\\t"); break;
                case '\n': out_.append("\\n"); break;
                case '\f': out_.append("\\f"); break;
                case '\r': out_.append("\\r"); break;
                default: {
                    static constexpr char hex[] = "0123456789abcdef";
                    const char escape[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 0xF]};
                    out_.append(escape, sizeof escape);
                }
            }
        }
        out_.push_back('"');
        return true;
    }

    std::string& out_;
};

}  // namespace

std::string debugDescription(const Json& value) {
    std::string out;
    if (Writer(out).value(value)) return out;
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace orvane
