// The loading spinner and the progress ring as the image view and the
// download track view use them. They are the toolkit's own views
// (OVCircleSpinAnimationView, OVCircleProgressionView); until those are part
// of the build, minimal stand-ins with the same operations keep their
// state (colour, spinning, value, background circle, the timed fill) and
// draw nothing. Main thread only.
#pragma once

#if __has_include("orvane/toolkit/OVCircleSpinAnimationView.hpp") && \
    __has_include("orvane/toolkit/OVCircleProgressionView.hpp")
#include "orvane/toolkit/OVCircleProgressionView.hpp"
#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#else
#include <functional>
#include <memory>
#include <optional>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/View.hpp"

namespace orvane {

class OVCircleSpinAnimationView : public platform::ui::View {
public:
    static std::shared_ptr<OVCircleSpinAnimationView> create(const platform::ui::Rect& frame) {
        return std::make_shared<OVCircleSpinAnimationView>(ConstructorKey{}, frame);
    }
    OVCircleSpinAnimationView(ConstructorKey key, const platform::ui::Rect& frame) : View(key, frame) {}
    const std::optional<platform::ui::Color>& color() const { return color_; }
    void setColor(std::optional<platform::ui::Color> color) { color_ = color; }
    void startAnimation() { spinning_ = true; }
    void stopAnimation() { spinning_ = false; }
    bool isSpinning() const { return spinning_; }

private:
    std::optional<platform::ui::Color> color_;
    bool spinning_ = false;
};

class OVCircleProgressionView : public platform::ui::View {
public:
    static std::shared_ptr<OVCircleProgressionView> create(const platform::ui::Rect& frame) {
        return std::make_shared<OVCircleProgressionView>(ConstructorKey{}, frame);
    }
    OVCircleProgressionView(ConstructorKey key, const platform::ui::Rect& frame) : View(key, frame) {
        setUserInteractionEnabled(false);
    }
    void displayDefaultCircle() { defaultCircleShown_ = true; }
    bool defaultCircleShown() const { return defaultCircleShown_; }
    void setValue(float value) { value_ = value; }
    float value() const { return value_; }
    bool circleAnimatinIsRunning() const { return circleAnimatinIsRunning_; }
    void completeCircleAnimation(double duration, std::function<void()> completion) {
        circleAnimatinIsRunning_ = true;
        auto self = std::static_pointer_cast<OVCircleProgressionView>(shared_from_this());
        platform::core::RunLoop::main().asyncAfter(duration, [self, completion = std::move(completion)] {
            self->circleAnimatinIsRunning_ = false;
            self->value_ = 1;
            if (completion) completion();
        });
    }

private:
    bool defaultCircleShown_ = false;
    bool circleAnimatinIsRunning_ = false;
    float value_ = 0;
};

}  // namespace orvane
#endif
