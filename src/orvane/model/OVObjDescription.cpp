#include "orvane/model/OVObjDescription.hpp"

#include "orvane/model/Decoding.hpp"

namespace orvane {

OVObjDescription OVObjDescription::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    OVObjDescription description;
    description.title = decoding::ifPresent<std::string>(object, "title");
    description.text = decoding::ifPresent<std::string>(object, "text");
    description.image = decoding::ifPresent<std::string>(object, "imgSrc");
    return description;
}

}  // namespace orvane
