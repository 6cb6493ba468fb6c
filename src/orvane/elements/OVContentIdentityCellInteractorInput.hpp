// What the content identity cell forwards to its interactor: the theme, a
// podcast, or an episode in its podcast. Owned by the cell; main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVContentIdentityCellInteractorInput {
public:
    virtual ~OVContentIdentityCellInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) = 0;
    virtual void update(const OVContent& withPodcast) = 0;
    virtual void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) = 0;
};

}  // namespace orvane
