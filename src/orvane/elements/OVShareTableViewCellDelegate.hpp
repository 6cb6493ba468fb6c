// The share element's two buttons. The main page and the coordinator adopt
// it and do nothing with either tap. Held weakly; main thread only.
#pragma once

namespace orvane {

class OVShareTableViewCellDelegate {
public:
    virtual ~OVShareTableViewCellDelegate() = default;
    virtual void didTapSendUpButton() = 0;
    virtual void didTapApplePodcastsButton() = 0;
};

}  // namespace orvane
