#include "orvane/model/StringExtensions.hpp"

#include "platform/core/Bundle.hpp"

namespace orvane {

std::optional<platform::core::URL> url(std::string_view text) { return platform::core::URL::parse(text); }

std::string localized(std::string_view key) { return platform::core::Bundle::module().localizedString(key, "Strings"); }

}  // namespace orvane
