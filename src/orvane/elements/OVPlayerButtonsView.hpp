// The kind of view the player cell's transport-buttons slot holds: a plain
// view with three update hooks (theme, player status, whether the position
// may change) that the player cell passes on, and that do nothing here.
// The transport buttons (`OVPlayerTrackButtons`) are the one kind that acts
// on them. Main thread only; kept alive by the slot it sits in.
#pragma once

#include "orvane/model/OVTheme.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVPlayerButtonsView : public platform::ui::View {
public:
    OVPlayerButtonsView(ConstructorKey key, const platform::graphics::Rect& frame) : View(key, frame) {}

    virtual void update(const OVTheme& /*withTheme*/, const platform::graphics::Color& /*andMainColor*/) {}
    virtual void update(OVAudioPlayerStatus /*withAudioStatus*/) {}
    virtual void update(bool /*positionCanBeChanged*/) {}
};

}  // namespace orvane
