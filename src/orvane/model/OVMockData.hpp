// The interface's fixed content configuration: the theme in use (always
// light) and the page footer's label (always none, so the footer is never
// shown). One shared instance; also home of the demo podcast Quillary
// (src/orvane/demo/Quillary.hpp).
#pragma once

#include "orvane/model/OVTheme.hpp"

#include <optional>
#include <string>

namespace orvane::OVMock {

class Data {
public:
    static Data& shared();

    std::optional<OVTheme> theme() const { return OVTheme::light; }
    std::optional<std::string> poweredByLabel() const { return std::nullopt; }

    struct Quillary;  // a demo podcast

    Data() = default;
};

}  // namespace orvane::OVMock
