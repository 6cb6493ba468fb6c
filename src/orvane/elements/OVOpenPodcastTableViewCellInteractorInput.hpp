// What the open podcast cell forwards to its interactor: the theme and the
// current podcast. Owned by the cell; main thread only.
#pragma once

#include <optional>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVOpenPodcastTableViewCellInteractorInput {
public:
    virtual ~OVOpenPodcastTableViewCellInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) = 0;
    virtual void update(const OVContent& withPodcast) = 0;
};

}  // namespace orvane
