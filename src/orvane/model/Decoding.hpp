// Decoding of records from JSON values.
//
// Every record has `static T decode(const platform::core::Json&)` (or a
// `std::shared_ptr<T>` for the reference records) that throws DecodingError
// for a missing required key, a null required value, a value of the wrong
// JSON type or an unknown enumeration text; optional members are read only
// when present and not null. The helpers below are the only way records read
// their members, so the rules stay the same everywhere.
//
// The two entry points:
//   decodeValue<T>(body, asDictionnary)  a message body (a JSON object) to a
//       record; any failure is printed with debugPrint and gives none.
//   decodeData<T>(bytes)                 JSON bytes to a record; failures come
//       back as the error value, nothing is printed.
// Both keep no state between calls and may run on any thread at once.
// decodeValue<T>(std::move(body)) decodes a body its caller is done with: the
// record takes the body's strings instead of copies, and the body is left
// unspecified (valid, to be destroyed).
#pragma once

#include "orvane/model/DecodingError.hpp"
#include "orvane/model/RawEnum.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/Json.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <expected>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace orvane {

using platform::core::Json;

// How dates are read. Message bodies carry ISO texts
// ("yyyy-MM-dd'T'HH:mm:ss.SSSZZZZZ"); decodeData keeps the default of reading
// a date as a number of seconds since 2001-01-01 00:00:00 GMT.
enum class DateDecodingStrategy { iso8601Full, deferredToDate };

// The strategy of the decoding running on this thread (iso8601Full outside
// any scope).
DateDecodingStrategy currentDateDecodingStrategy();

// Sets the strategy for decodings on this thread while it lives.
class DateDecodingScope {
public:
    explicit DateDecodingScope(DateDecodingStrategy strategy);
    ~DateDecodingScope();
    DateDecodingScope(const DateDecodingScope&) = delete;
    DateDecodingScope& operator=(const DateDecodingScope&) = delete;

private:
    DateDecodingStrategy previous_;
};

namespace decoding {

using Object = Json::object_t;

// "a string", "a number", "null", ... for error messages.
std::string_view jsonTypeName(const Json& value);

[[noreturn]] void throwTypeMismatch(std::string_view expected, const Json& found);
[[noreturn]] void throwDataCorrupted(std::string debugDescription);

// Whether the decoding running on this thread may take strings out of the
// value it decodes (the value was handed over with std::move).
bool consumingSource();

// Sets whether the decodings on this thread take strings out of their value
// while it lives.
class ConsumingScope {
public:
    explicit ConsumingScope(bool consuming);
    ~ConsumingScope();
    ConsumingScope(const ConsumingScope&) = delete;
    ConsumingScope& operator=(const ConsumingScope&) = delete;

private:
    bool previous_;
};

// An object's members gathered in one walk, for the lookups of one record
// decoder: a record reads a handful of short keys, and a scan of a flat array
// (comparing lengths first) is cheaper than a walk down the tree for each.
// Objects with more members than the array holds are looked up in the tree.
class Members {
public:
    explicit Members(const Object& object);

    // The member named `key`, or null.
    const Json* find(std::string_view key) const {
        if (count_ > capacity) return findInTree(key);
        for (std::size_t i = 0; i < count_; ++i) {
            const Entry& entry = entries_[i];
            if (entry.size == key.size() && std::memcmp(entry.key, key.data(), key.size()) == 0) return entry.value;
        }
        return nullptr;
    }

private:
    static constexpr std::size_t capacity = 24;
    struct Entry {
        const char* key;
        std::size_t size;
        const Json* value;
    };

    const Json* findInTree(std::string_view key) const;

    const Object* object_;
    std::size_t count_;
    std::array<Entry, capacity> entries_;  // the first count_ are set
};

// The value's members; typeMismatch when it is not an object.
Members object(const Json& value);

// Value decoders: Decoder<T>::decode(json) -> T.
template <class T, class = void>
struct Decoder {
    // Records: T::decode.
    static T decode(const Json& value) { return T::decode(value); }
};

template <>
struct Decoder<std::string> {
    static std::string decode(const Json& value) {
        if (!value.is_string()) throwTypeMismatch("String", value);
        // The caller handed the value over (decodeValue of an rvalue): it is
        // not const, and nothing reads this string again.
        if (consumingSource()) return std::move(const_cast<Json&>(value).get_ref<std::string&>());
        return value.get_ref<const std::string&>();
    }
};

template <>
struct Decoder<bool> {
    static bool decode(const Json& value) {
        if (!value.is_boolean()) throwTypeMismatch("Bool", value);
        return value.get<bool>();
    }
};

template <>
struct Decoder<double> {
    static double decode(const Json& value);
};

template <>
struct Decoder<std::int64_t> {
    static std::int64_t decode(const Json& value);
};

template <>
struct Decoder<platform::core::Date> {
    static platform::core::Date decode(const Json& value);
};

template <RawEnum E>
struct Decoder<E> {
    static E decode(const Json& value) {
        if (!value.is_string()) throwTypeMismatch("String", value);
        const auto& text = value.get_ref<const std::string&>();
        if (auto result = fromRawValue<E>(text)) return *result;
        throwDataCorrupted("Cannot initialize enumeration from invalid String value " + text);
    }
};

template <class R>
struct Decoder<std::shared_ptr<R>> {
    static std::shared_ptr<R> decode(const Json& value) { return R::decode(value); }
};

template <class T>
struct Decoder<std::vector<T>> {
    static std::vector<T> decode(const Json& value) {
        if (!value.is_array()) throwTypeMismatch("Array<Any>", value);
        std::vector<T> out;
        out.reserve(value.size());
        std::size_t index = 0;
        for (const auto& element : value) {
            try {
                out.push_back(Decoder<T>::decode(element));
            } catch (DecodingError& error) {
                error.prependIndex(index);
                throw;
            }
            ++index;
        }
        return out;
    }
};

template <class T>
struct Decoder<std::map<std::string, T>> {
    static std::map<std::string, T> decode(const Json& value) {
        if (!value.is_object()) throwTypeMismatch("Dictionary<String, Any>", value);
        const auto& members = value.get_ref<const Object&>();
        std::map<std::string, T> out;
        for (const auto& [name, member] : members) {
            try {
                out.emplace_hint(out.end(), name, Decoder<T>::decode(member));
            } catch (DecodingError& error) {
                error.prependKey(name);
                throw;
            }
        }
        return out;
    }
};

// Decodes `value` as a member named `key` (the key goes into the error path).
template <class T>
T member(std::string_view key, const Json& value) {
    try {
        return Decoder<T>::decode(value);
    } catch (DecodingError& error) {
        error.prependKey(key);
        throw;
    }
}

[[noreturn]] void throwKeyNotFound(std::string_view key);
[[noreturn]] void throwValueNotFound(std::string_view key, std::string_view expected);

template <class T>
constexpr std::string_view expectedName() {
    if constexpr (std::is_same_v<T, std::string>) return "String";
    else if constexpr (std::is_same_v<T, bool>) return "Bool";
    else if constexpr (std::is_same_v<T, double>) return "Double";
    else if constexpr (std::is_same_v<T, std::int64_t>) return "Int";
    else return "value";
}

// A required member: missing -> keyNotFound, null -> valueNotFound.
template <class T>
T required(const Members& members, std::string_view key) {
    const Json* found = members.find(key);
    if (!found) throwKeyNotFound(key);
    if (found->is_null()) throwValueNotFound(key, expectedName<T>());
    return member<T>(key, *found);
}

// An optional member: missing or null gives none.
template <class T>
std::optional<T> ifPresent(const Members& members, std::string_view key) {
    const Json* found = members.find(key);
    if (!found || found->is_null()) return std::nullopt;
    return member<T>(key, *found);
}

// A member whose key must be present but whose value may be null.
template <class T>
std::optional<T> requiredNullable(const Members& members, std::string_view key) {
    const Json* found = members.find(key);
    if (!found) throwKeyNotFound(key);
    if (found->is_null()) return std::nullopt;
    return member<T>(key, *found);
}

// Whether the value can be written as JSON text (no non-finite number, no
// binary or discarded value anywhere inside).
bool isValidJSONObject(const Json& value);

// decodeValue, taking strings out of the value when `consuming`.
template <class T>
std::optional<T> decodeBody(const Json& value, bool consuming) {
    if (!value.is_object()) return std::nullopt;
    if (!isValidJSONObject(value)) {
        platform::core::debugPrint(
            "Error Domain=NSCocoaErrorDomain Code=3840 \"Invalid value in JSON body (non-finite number or "
            "unserialisable value).\"");
        return std::nullopt;
    }
    try {
        DateDecodingScope dates(DateDecodingStrategy::iso8601Full);
        ConsumingScope strings(consuming);
        return Decoder<T>::decode(value);
    } catch (const DecodingError& error) {
        platform::core::debugPrint(error.fullDescription());
    } catch (const std::exception& error) {
        platform::core::debugPrint(error.what());
    }
    return std::nullopt;
}

}  // namespace decoding

// A message body to a record. `asDictionnary` has no effect. Gives none for a
// body that is not an object (silently), and for a body that cannot be
// written as JSON or fails to decode (the error is printed).
template <class T>
std::optional<T> decodeValue(const Json& value, bool asDictionnary = false) {
    (void)asDictionnary;
    return decoding::decodeBody<T>(value, false);
}

// A message body the caller is done with to a record, as above; the record
// takes the body's strings.
template <class T>
std::optional<T> decodeValue(Json&& value, bool asDictionnary = false) {
    (void)asDictionnary;
    return decoding::decodeBody<T>(value, true);
}

// Parses JSON bytes (the parse failure is a dataCorrupted error).
std::expected<Json, DecodingError> parseJSONData(const platform::core::Data& data);

// JSON bytes to a record, with default decoding settings; the error is
// returned, nothing is printed.
template <class T>
std::expected<T, DecodingError> decodeData(const platform::core::Data& data) {
    auto json = parseJSONData(data);
    if (!json) return std::unexpected(std::move(json.error()));
    try {
        DateDecodingScope scope(DateDecodingStrategy::deferredToDate);
        decoding::ConsumingScope parsedHere(true);  // the parsed value is not used again
        return decoding::Decoder<T>::decode(*json);
    } catch (const DecodingError& error) {
        return std::unexpected(error);
    }
}

}  // namespace orvane
