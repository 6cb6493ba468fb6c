#include "orvane/model/OVUser.hpp"

#include "platform/core/PlatformInfo.hpp"

namespace orvane {

OVUser::OVUser() : advertiserId(platform::core::PlatformInfo::advertisingIdentifier()) {}

}  // namespace orvane
