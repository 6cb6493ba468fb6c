// The error of record decoding: what went wrong and where (the key path from
// the decoded root, e.g. contents.c1.tracks[Index 0].key). Thrown only inside
// decoding and caught at the boundary that turns it into "no record"
// (decodeValue) or an error value (decodeData). Plain value; thread-safe.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class DecodingError : public std::exception {
public:
    enum class Kind {
        keyNotFound,    // a required key is missing
        valueNotFound,  // a required value is null
        typeMismatch,   // a value of the wrong JSON type
        dataCorrupted,  // an unknown enumeration text, an unreadable date or number, text that is not JSON
    };

    DecodingError(Kind kind, std::string debugDescription);

    Kind kind() const { return kind_; }
    // The message of the failure, without the path.
    const std::string& debugDescription() const { return description_; }
    // Key path from the root, outermost first ("Index 3" for array elements).
    std::vector<std::string> codingPath() const;
    // The path joined with "." (empty at the root).
    std::string codingPathString() const;

    // Called while the error travels outwards through containers.
    void prependKey(std::string_view key);
    void prependIndex(std::size_t index);

    // "keyNotFound at contents.c1.key: No value associated with key "key"."
    std::string fullDescription() const;
    const char* what() const noexcept override;

    static std::string_view kindName(Kind kind);

private:
    Kind kind_;
    std::string description_;
    std::vector<std::string> reversedPath_;  // innermost first: cheap to prepend
    mutable std::string what_;
};

}  // namespace orvane
