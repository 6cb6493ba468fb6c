// What the library row hands its presenter: the theme, the podcast with the
// library store, and the notification switch (with the podcast the row
// showed when the switch was tapped). Owned by the row. Main thread only.
#pragma once

#include <optional>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVLibraryPodcastCellInteractorInput {
public:
    virtual ~OVLibraryPodcastCellInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const OVContent& withPodcast, const OVMock::UserData& andUserData) = 0;
    // Reports the switch for `forPodcast` (none: nothing is sent).
    virtual void didToggleNotification(bool isActive, const std::optional<OVContent>& forPodcast) = 0;
};

}  // namespace orvane
