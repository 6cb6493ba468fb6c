// The footer player: the mini-player bar at the bottom of the root
// container while the listener browses its pages.
//
// Made only from its nib "OVFooterPlayer" (registered from
// `installLayerHooks()`); the root container loads it, pins it and slides it
// in and out. Main thread only. The delegate is held weakly.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/coordinator/OVFooterPlayerDelegate.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVFooterPlayer : public platform::ui::View {
public:
    explicit OVFooterPlayer(ConstructorKey key, const platform::graphics::Rect& frame = {});
    ~OVFooterPlayer() override;

    void setDelegate(const std::shared_ptr<OVFooterPlayerDelegate>& delegate) { delegate_ = delegate; }
    std::shared_ptr<OVFooterPlayerDelegate> delegate() const { return delegate_.lock(); }

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const OVTrack& withEpisode, const OVContent& inPodcast);
    void update(OVAudioPlayerStatus withAudioStatus);
    void update(const OVAudioPosition& audioPosition);

private:
    std::weak_ptr<OVFooterPlayerDelegate> delegate_;
};

}  // namespace orvane
