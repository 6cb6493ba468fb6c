// The title, text and image address that describe a content, an episode or
// an ad. Decoded from a "description" object ("title", "text", "imgSrc"),
// built by the demo content. Plain value; thread-safe.
#pragma once

#include "platform/core/Json.hpp"

#include <optional>
#include <string>

namespace orvane {

struct OVObjDescription {
    std::optional<std::string> title;
    std::optional<std::string> text;
    std::optional<std::string> image;  // wire key "imgSrc"

    OVObjDescription() = default;
    OVObjDescription(std::optional<std::string> title, std::optional<std::string> text,
                     std::optional<std::string> image)
        : title(std::move(title)), text(std::move(text)), image(std::move(image)) {}

    // Throws DecodingError.
    static OVObjDescription decode(const platform::core::Json& json);
};

}  // namespace orvane
