// The episode page as its presenter sees it: pushes a page onto its screen,
// reaches the root container, takes the theme and main colour, and takes
// the listener back to the main screen with its stack at the root. `OVEpisodePage` adopts it. Held weakly
// by the presenter; main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVTheme.hpp"
#include "orvane/pages/OVFanViewControllerProtocol.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVPage;

class OVEpisodePageInput {
public:
    virtual ~OVEpisodePageInput() = default;
    virtual void push(const std::shared_ptr<OVPage>& page, bool animated) = 0;
    virtual std::shared_ptr<OVFanViewControllerProtocol> fanViewController() const = 0;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void popToRootAndMoveToMainPage() = 0;
};

}  // namespace orvane
