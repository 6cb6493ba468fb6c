// The owner of a content: name (read from "ownerMail") and e-mail address
// ("ownerEmail"), both required. Plain value.
#pragma once

#include "platform/core/Json.hpp"

#include <string>

namespace orvane {

struct OVOwner {
    std::string name;   // "ownerMail"
    std::string email;  // "ownerEmail"

    OVOwner() = default;
    OVOwner(std::string name, std::string email) : name(std::move(name)), email(std::move(email)) {}

    // Throws DecodingError.
    static OVOwner decode(const platform::core::Json& json);
};

}  // namespace orvane
