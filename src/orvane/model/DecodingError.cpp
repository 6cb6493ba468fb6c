#include "orvane/model/DecodingError.hpp"

namespace orvane {

DecodingError::DecodingError(Kind kind, std::string debugDescription)
    : kind_(kind), description_(std::move(debugDescription)) {}

std::vector<std::string> DecodingError::codingPath() const {
    return {reversedPath_.rbegin(), reversedPath_.rend()};
}

std::string DecodingError::codingPathString() const {
    std::string out;
    for (auto it = reversedPath_.rbegin(); it != reversedPath_.rend(); ++it) {
        if (!out.empty()) out += '.';
        out += *it;
    }
    return out;
}

void DecodingError::prependKey(std::string_view key) {
    reversedPath_.emplace_back(key);
    what_.clear();
}

void DecodingError::prependIndex(std::size_t index) {
    reversedPath_.push_back("Index " + std::to_string(index));
    what_.clear();
}

std::string_view DecodingError::kindName(Kind kind) {
    switch (kind) {
        case Kind::keyNotFound: return "keyNotFound";
        case Kind::valueNotFound: return "valueNotFound";
        case Kind::typeMismatch: return "typeMismatch";
        case Kind::dataCorrupted: return "dataCorrupted";
    }
    return "dataCorrupted";
}

std::string DecodingError::fullDescription() const {
    std::string out = "DecodingError.";
    out += kindName(kind_);
    out += " at ";
    const std::string path = codingPathString();
    out += path.empty() ? std::string("<root>") : path;
    out += ": ";
    out += description_;
    return out;
}

const char* DecodingError::what() const noexcept {
    try {
        if (what_.empty()) what_ = fullDescription();
        return what_.c_str();
    } catch (...) {
        return "DecodingError";
    }
}

}  // namespace orvane
