// The artwork view placed from nibs wherever a remote image is shown (the
// footer player, the page cells): an image view filling it and a 40 x 40
// spinner centred above it while an address loads.
//
// Setting `url` fades the image out (0.3 s) and, for an address, invalidates
// the load held so far, shows and starts the spinner and starts a new load;
// only the load the view still holds may deliver: its image (or none) is
// shown at full alpha and the spinner stops and hides. Setting none
// invalidates and drops the load in flight and stops and hides the spinner,
// so an earlier address never shows its artwork over a view that has none
// (reused cells, episodes without artwork).
//
// Made by the nib registry with the nib's frame; main thread only. The view
// owns its subviews and its load; a load's delivery holds the view weakly.
#pragma once

#include <memory>
#include <optional>

#include "orvane/toolkit/OVCircleProgressionView.hpp"
#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#include "platform/core/URL.hpp"
#include "platform/ui/views/ImageView.hpp"

namespace orvane {

class GetImageTask;

class OVImageView : public platform::ui::View {
public:
    static std::shared_ptr<OVImageView> create(const platform::graphics::Rect& frame);
    OVImageView(ConstructorKey key, const platform::graphics::Rect& frame);

    const std::optional<platform::core::URL>& url() const { return url_; }
    void setUrl(std::optional<platform::core::URL> url);

    platform::ui::ContentMode imageContentMode() const { return uiimageView_->contentMode(); }
    void setImageContentMode(platform::ui::ContentMode mode) { uiimageView_->setContentMode(mode); }
    std::optional<platform::graphics::Color> spinAnimationColor() const { return spinAninmationView_->color(); }
    void setSpinAnimationColor(std::optional<platform::graphics::Color> color) { spinAninmationView_->setColor(color); }

    // For the owner's tests and hosts: the inner views and the load held.
    const std::shared_ptr<platform::ui::ImageView>& imageView() const { return uiimageView_; }
    const std::shared_ptr<OVCircleSpinAnimationView>& spinner() const { return spinAninmationView_; }
    const std::shared_ptr<GetImageTask>& task() const { return task_; }

    void layoutSubviews() override;

private:
    void setImageView();
    void setAnimationConstraints();
    void deliver(const std::shared_ptr<GetImageTask>& task, std::optional<platform::graphics::Image> image);

    std::shared_ptr<platform::ui::ImageView> uiimageView_;
    std::shared_ptr<OVCircleSpinAnimationView> spinAninmationView_;
    std::shared_ptr<GetImageTask> task_;
    std::optional<platform::core::URL> url_;
};

}  // namespace orvane
