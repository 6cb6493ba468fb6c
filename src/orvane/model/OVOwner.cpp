#include "orvane/model/OVOwner.hpp"

#include "orvane/model/Decoding.hpp"

namespace orvane {

OVOwner OVOwner::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    OVOwner owner;
    owner.name = decoding::required<std::string>(object, "ownerMail");
    owner.email = decoding::required<std::string>(object, "ownerEmail");
    return owner;
}

}  // namespace orvane
