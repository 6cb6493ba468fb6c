#include "orvane/widget/OVWidgetScripts.hpp"

#include <charconv>
#include <cmath>

namespace orvane {

using platform::core::Json;

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

std::string jsStore(std::string_view body) {
    std::string out(OrvaneGlobal);
    out += "store.dispatch({ ";
    out += body;
    out += " });";
    return out;
}

std::string emit(std::string_view arguments) {
    std::string out(OrvaneGlobal);
    out += "crossStackHandler.emit(";
    out += arguments;
    out += ");";
    return out;
}

std::string jsonText(const Json& value) {
    return value.dump(-1, ' ', true, Json::error_handler_t::replace);
}

}  // namespace

std::string plainDescription(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    // Shortest round-trip digits in fixed notation: at most 309 integer
    // digits or 324 fraction digits.
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc{}) return "NaN";
    std::string text(buffer, end);
    if (text.find('.') == std::string::npos) text += ".0";
    return text;
}

std::string singleQuotedLiteral(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '\\': out += "\\\\"; continue;
            case '\'': out += "\\'"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            default: break;
        }
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else if (c == 0xED && i + 2 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0xA0 &&
                   (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80) {
            // A lone surrogate in its generalized UTF-8 form (a text the page
            // gave, ScriptMessage::exactBody): the page gets the same code unit.
            const unsigned unit = 0xD000u | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                                  (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out += hex[(unit >> shift) & 0xF];
            i += 2;
        } else if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
            // Line and paragraph separators.
            out += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '\'';
    return out;
}

std::string scriptValueText(const std::optional<Json>& value) {
    if (!value) return "null";
    switch (value->type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::boolean: return value->get<bool>() ? "true" : "false";
        case Json::value_t::number_integer: return std::to_string(value->get<std::int64_t>());
        case Json::value_t::number_unsigned: return std::to_string(value->get<std::uint64_t>());
        case Json::value_t::number_float: return plainDescription(value->get<double>());
        default: return jsonText(*value);
    }
}

std::string SDKPlayerAction::selectTrackPayload(std::string_view trackKey) {
    Json object = Json::object();
    object["key"] = std::string(trackKey);
    // The only slashes are inside the key's string.
    std::string text = jsonText(object);
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        if (c == '/') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string SDKPlayerAction::body() const {
    return std::visit(Overloaded{
                          [](const SelectTrack& a) { return "    type: 'PLAYER_SELECT_TRACK',\n    payload: " + a.payload; },
                          [](const PlayerUserTimeUpdate& a) {
                              return "type: 'PLAYER_USER_TIME_UPDATE',\npayload: " + plainDescription(a.seconds);
                          },
                          [](const Open&) { return std::string("type: 'PLAYER_OPEN'"); },
                          [](const Close&) { return std::string("type: 'PLAYER_CLOSE'"); },
                          [](const Play&) { return std::string("type: 'PLAYER_PLAY_REQUESTED'"); },
                          [](const Pause&) { return std::string("type: 'PLAYER_PAUSE'"); },
                          [](const ToggleReadMore&) { return std::string("type: 'PLAYER_TOGGLE_READ_MORE'"); },
                      },
                      value);
}

std::string SDKPlayerAction::script() const { return jsStore(body()); }

std::string_view body(SDKTracking tracking) {
    switch (tracking) {
        case SDKTracking::halfScreen: return "type: 'TRACK_HALFSCREEN'";
        case SDKTracking::fullScreen: return "type: ' TRACK_FULLSCREEN'";
        case SDKTracking::swipeDown: return "type: 'TRACK_SWIPE_DOWN'";
        case SDKTracking::trackListPlay: return "type: 'TRACK_TRACKLIST_PLAY'";
        case SDKTracking::trackListPause: return "type: 'TRACK_TRACKLIST_PAUSE'";
        case SDKTracking::mainPlay: return "type: 'TRACK_MAIN_PLAY'";
        case SDKTracking::mainPause: return "type: 'TRACK_MAIN_PAUSE'";
        case SDKTracking::cursorMove: return "type: 'TRACK_CURSOR_MOVE'";
        case SDKTracking::rewind: return "type: 'TRACK_REWIND'";
        case SDKTracking::fastForward: return "type: 'TRACK_FASTFORWARD'";
        case SDKTracking::close: return "type: 'TRACK_CLOSE'";
        case SDKTracking::readMore: return "type: 'TRACK_READ_MORE'";
    }
    return {};
}

std::string script(SDKTracking tracking) { return jsStore(body(tracking)); }

std::string SDKEvent::arguments() const {
    return std::visit(Overloaded{
                          [](const DurationChange& e) { return "'durationchange', " + plainDescription(e.seconds); },
                          [](const TimeUpdate& e) { return "'timeupdate', " + plainDescription(e.seconds); },
                          [](const End&) { return std::string("'end'"); },
                      },
                      value);
}

std::string SDKEvent::script() const { return emit(arguments()); }

std::string OVPromiseType::stack() { return std::string(OrvaneGlobal) + "crossStackHandler"; }

std::string OVPromiseType::formatted() const {
    return std::visit(Overloaded{
                          [](const Resolve& r) {
                              return stack() + ".resolvePromise(" + singleQuotedLiteral(r.id) + ", " +
                                     scriptValueText(r.value) + ")";
                          },
                          [](const Reject& r) {
                              return stack() + ".rejectPromise(" + singleQuotedLiteral(r.id) + ", " +
                                     scriptValueText(r.error) + ")";
                          },
                      },
                      value);
}

}  // namespace orvane
