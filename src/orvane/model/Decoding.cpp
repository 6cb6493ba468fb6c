#include "orvane/model/Decoding.hpp"

#include <charconv>

namespace orvane {

namespace {
// Read for every date and string decoded: kept in the static TLS block, with
// no lookup call.
[[gnu::tls_model("initial-exec")]] thread_local DateDecodingStrategy tlsStrategy = DateDecodingStrategy::iso8601Full;
[[gnu::tls_model("initial-exec")]] thread_local bool tlsConsuming = false;

// Seconds between 1970-01-01 and 2001-01-01 (GMT).
constexpr double referenceDateOffset = 978307200.0;

std::string numberText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}
}  // namespace

DateDecodingStrategy currentDateDecodingStrategy() { return tlsStrategy; }

DateDecodingScope::DateDecodingScope(DateDecodingStrategy strategy) : previous_(tlsStrategy) {
    tlsStrategy = strategy;
}

DateDecodingScope::~DateDecodingScope() { tlsStrategy = previous_; }

namespace decoding {

std::string_view jsonTypeName(const Json& value) {
    switch (value.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::object: return "a dictionary";
        case Json::value_t::array: return "an array";
        case Json::value_t::string: return "a string";
        case Json::value_t::boolean: return "a boolean";
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float: return "a number";
        case Json::value_t::binary: return "binary data";
        case Json::value_t::discarded: return "a discarded value";
    }
    return "an unknown value";
}

void throwTypeMismatch(std::string_view expected, const Json& found) {
    std::string text = "Expected to decode ";
    text += expected;
    text += " but found ";
    text += jsonTypeName(found);
    text += " instead.";
    throw DecodingError(DecodingError::Kind::typeMismatch, std::move(text));
}

void throwDataCorrupted(std::string debugDescription) {
    throw DecodingError(DecodingError::Kind::dataCorrupted, std::move(debugDescription));
}

void throwKeyNotFound(std::string_view key) {
    DecodingError error(DecodingError::Kind::keyNotFound,
                        "No value associated with key \"" + std::string(key) + "\".");
    error.prependKey(key);
    throw error;
}

void throwValueNotFound(std::string_view key, std::string_view expected) {
    DecodingError error(DecodingError::Kind::valueNotFound,
                        "Expected " + std::string(expected) + " value but found null instead.");
    error.prependKey(key);
    throw error;
}

bool consumingSource() { return tlsConsuming; }

ConsumingScope::ConsumingScope(bool consuming) : previous_(tlsConsuming) { tlsConsuming = consuming; }

ConsumingScope::~ConsumingScope() { tlsConsuming = previous_; }

Members::Members(const Object& object) : object_(&object), count_(object.size()) {
    if (count_ > capacity) return;
    std::size_t i = 0;
    for (const auto& [name, value] : object) entries_[i++] = Entry{name.data(), name.size(), &value};
}

const Json* Members::findInTree(std::string_view key) const {
    auto it = object_->find(key);
    return it == object_->end() ? nullptr : &it->second;
}

Members object(const Json& value) {
    if (!value.is_object()) throwTypeMismatch("Dictionary<String, Any>", value);
    return Members(value.get_ref<const Object&>());
}

double Decoder<double>::decode(const Json& value) {
    if (!value.is_number()) throwTypeMismatch("Double", value);
    const double number = value.get<double>();
    if (!std::isfinite(number)) {
        throwDataCorrupted("Parsed JSON number <" + numberText(number) + "> does not fit in Double.");
    }
    return number;
}

std::int64_t Decoder<std::int64_t>::decode(const Json& value) {
    switch (value.type()) {
        case Json::value_t::number_integer: return value.get<std::int64_t>();
        case Json::value_t::number_unsigned: {
            const auto number = value.get<std::uint64_t>();
            if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                throwDataCorrupted("Parsed JSON number <" + std::to_string(number) + "> does not fit in Int.");
            }
            return static_cast<std::int64_t>(number);
        }
        case Json::value_t::number_float: {
            const double number = value.get<double>();
            // Only finite whole numbers inside the range convert; 2^63 itself is out of range.
            if (std::isfinite(number) && std::trunc(number) == number && number >= -9223372036854775808.0 &&
                number < 9223372036854775808.0) {
                return static_cast<std::int64_t>(number);
            }
            throwDataCorrupted("Parsed JSON number <" + numberText(number) + "> does not fit in Int.");
        }
        default: throwTypeMismatch("Int", value);
    }
}

platform::core::Date Decoder<platform::core::Date>::decode(const Json& value) {
    if (currentDateDecodingStrategy() == DateDecodingStrategy::deferredToDate) {
        const double seconds = Decoder<double>::decode(value);
        return platform::core::Date{seconds + referenceDateOffset};
    }
    if (!value.is_string()) throwTypeMismatch("String", value);
    if (auto date = platform::core::parseISO8601Full(value.get_ref<const std::string&>())) return *date;
    throwDataCorrupted("Date string does not match format expected by formatter.");
}

namespace {

// Whether one value is valid in itself; containers are checked by the caller.
bool validScalar(const Json& value) {
    switch (value.type()) {
        case Json::value_t::number_float: return std::isfinite(value.get_ref<const double&>());
        case Json::value_t::binary:
        case Json::value_t::discarded: return false;
        default: return true;
    }
}

}  // namespace

bool isValidJSONObject(const Json& value) {
    // Iterative: a body nested arbitrarily deep must not exhaust the stack.
    // Only containers are stacked; leaves are checked where they are met.
    if (!validScalar(value)) return false;
    std::vector<const Json*> pending;
    if (value.is_structured()) pending.push_back(&value);
    while (!pending.empty()) {
        const Json* current = pending.back();
        pending.pop_back();
        if (current->is_object()) {
            for (const auto& [name, member] : current->get_ref<const Json::object_t&>()) {
                if (member.is_structured()) pending.push_back(&member);
                else if (!validScalar(member)) return false;
            }
        } else {
            for (const auto& element : current->get_ref<const Json::array_t&>()) {
                if (element.is_structured()) pending.push_back(&element);
                else if (!validScalar(element)) return false;
            }
        }
    }
    return true;
}

}  // namespace decoding

std::expected<Json, DecodingError> parseJSONData(const platform::core::Data& data) {
    Json json = Json::parse(data.begin(), data.end(), nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded()) {
        return std::unexpected(
            DecodingError(DecodingError::Kind::dataCorrupted, "The given data was not valid JSON."));
    }
    return json;
}

}  // namespace orvane
