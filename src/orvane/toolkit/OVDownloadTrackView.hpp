// The small control that shows and starts the download of one episode: a
// download button (30 x 30) while it is not downloaded, a progress ring
// (25 x 25, above the button, taking no touches) while it downloads, nothing
// once it is downloaded; and a canned one-second fill of the ring that then
// hides both. A tap of the button draws the ring's background circle and
// calls the owner's handler.
//
// Made by the nib registry with the nib's frame; main thread only. The view
// tree keeps the button and the ring alive; the view refers to them weakly.
#pragma once

#include <functional>
#include <memory>

#include "orvane/model/OVTrack.hpp"
#include "orvane/toolkit/OVCircleProgressionView.hpp"
#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#include "platform/ui/controls/Button.hpp"

namespace orvane {

class OVDownloadTrackView : public platform::ui::View {
public:
    static std::shared_ptr<OVDownloadTrackView> create(const platform::graphics::Rect& frame);
    OVDownloadTrackView(ConstructorKey key, const platform::graphics::Rect& frame);

    const std::function<void()>& didTapDownloadHandler() const { return didTapDownloadHandler_; }
    void setDidTapDownloadHandler(std::function<void()> handler) { didTapDownloadHandler_ = std::move(handler); }
    std::shared_ptr<platform::ui::Button> downloadButton() const { return downloadButton_.lock(); }
    std::shared_ptr<OVCircleProgressionView> progressionView() const { return progressionView_.lock(); }

    // Shows the button, the ring with the fraction, or neither.
    void update(const OVTrack::DownloadStatus& status);
    // The button's touch-up-inside action.
    void didTapDownload(platform::ui::Button& sender);
    // Hides the button, fills the ring over 1 s, then hides both.
    void startFakeAnimation();

    void layoutSubviews() override;

private:
    void initializeUI();

    std::function<void()> didTapDownloadHandler_;
    std::weak_ptr<platform::ui::Button> downloadButton_;
    std::weak_ptr<OVCircleProgressionView> progressionView_;
};

}  // namespace orvane
