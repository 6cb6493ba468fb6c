// What the description cell forwards to its interactor: the theme, the
// description and whether the text is developed. Owned by the cell; main
// thread only.
#pragma once

#include <optional>

#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVDescriptionCellInputInteractorInput {
public:
    virtual ~OVDescriptionCellInputInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) = 0;
    virtual void update(const OVObjDescription& withDescription) = 0;
    virtual void update(bool textIsDeveloped) = 0;
};

}  // namespace orvane
