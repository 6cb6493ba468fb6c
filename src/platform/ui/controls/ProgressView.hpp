// A bar showing a fraction done: `progress` clamped to [0, 1] fills the
// track from the left in the progress tint (the tint colour unless set),
// the rest shows the track tint. Main thread only.
#pragma once

#include "platform/ui/views/View.hpp"

namespace platform::ui {

class ProgressView : public View {
public:
    // How long an animated change of the progress takes.
    static constexpr double animationDuration = 0.25;
    static std::shared_ptr<ProgressView> create(const Rect& frame = {});
    ProgressView(ConstructorKey key, const Rect& frame);

    float progress() const { return progress_; }
    // Clamped to [0, 1] (NaN counts as 0). Animated changes show the new
    // value at once.
    void setProgress(float progress, bool animated = false);
    std::optional<Color> progressTintColor() const { return progressTint_; }
    void setProgressTintColor(std::optional<Color> color);
    std::optional<Color> trackTintColor() const { return trackTint_; }
    void setTrackTintColor(std::optional<Color> color);

    void layoutSubviews() override { updateLayers(); }
    void tintColorDidChange() override { updateLayers(); }

private:
    // Places the layers; a positive duration animates them there.
    void updateLayers(double duration = 0);

    float progress_ = 0;
    std::optional<Color> progressTint_;
    std::optional<Color> trackTint_;
    std::shared_ptr<Layer> bar_;
};

}  // namespace platform::ui
