#include "platform/net/URLResponse.hpp"

#include <algorithm>
#include <cctype>

namespace platform::net {

bool URLResponse::CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

std::optional<std::string> URLResponse::valueForHeaderField(const std::string& name) const {
    if (auto it = headerFields_.find(name); it != headerFields_.end()) return it->second;
    return std::nullopt;
}

}  // namespace platform::net
