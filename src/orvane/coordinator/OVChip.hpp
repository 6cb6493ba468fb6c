// The chip: the floating round mini-player laid over the host's root view.
// A white disc with a soft shadow; a ring round its edge shows how far the
// episode has played, three bars in its middle move while audio plays or
// loads, and a spinner turns over everything while audio loads. A tap asks
// its delegate (the coordinator) to open the root container.
//
// Made by the coordinator at each start (`create()`), which becomes its
// delegate and, when listening ends, takes it off screen and drops it. The
// chip makes its interactor and its state manager and registers the manager
// with the widget bridge; the manager builds the chip's contents and places
// it when the first state with a location theme arrives, then pushes theme,
// status and position changes. Sized and placed by constraints only.
//
// Main thread only. The delegate is held weakly; the interactor and the
// state manager strongly (the bridge keeps the manager too).
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/coordinator/OVChipInteractor.hpp"
#include "orvane/presentation/OVOpenCloseExpandDelegate.hpp"
#include "orvane/widget/OVPlayer.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/ShapeLayer.hpp"

namespace platform::ui {
class ViewController;
}

namespace orvane {

class OVChipStateManager;
class OVEqualizerAnimationView;
class OVCircleSpinAnimationView;
class OVCircleProgressionView;

class OVChip : public platform::ui::Button, public OVChipInput {
public:
    // A chip with a zero frame, neither built nor on screen, whose state
    // manager already follows the widget's states.
    static std::shared_ptr<OVChip> create();
    explicit OVChip(ConstructorKey key);
    ~OVChip() override;

    std::shared_ptr<OVOpenCloseExpandDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVOpenCloseExpandDelegate> delegate) { delegate_ = std::move(delegate); }

    // Builds the disc, the ring, the spinner, the bars and the tap action
    // for a chip `side` points across. Building again replaces what an
    // earlier build made.
    virtual void initialize(double side);
    // Adds the chip to the root view controller's view at `withPosition`,
    // the vertical margin (20 points when none) from the root view's safe
    // area (from its own top or bottom on systems before 11), the horizontal
    // one (20 when none) from its left or right edge.
    virtual void display(const std::shared_ptr<platform::ui::ViewController>& inRootViewController,
                         OVThemePosition withPosition, std::optional<double> withVerticalMargin,
                         std::optional<double> withHorizontalMargin);

    // Hand the values to the interactor, which drives the chip back.
    virtual void update(OVTheme withTheme, const platform::graphics::Color& andMainColor);
    virtual void update(OVAudioPlayerStatus audioPlayerStatus);
    virtual void update(const OVState::AudioPosition& audioPosition);
    // Re-applies the bridge's last state through the state manager.
    void updateWithCurrentSate();

    // ---- OVChipInput: applied step by step, each skipped while its part
    // is not built ----
    void update(const OVChipModel::Style& viewModel) override;
    void update(const OVChipModel::AudioStatus& viewModel) override;
    void update(const OVChipModel::AudioPosition& viewModel) override;

    // The built parts, for drawing checks; none before `initialize`.
    const std::shared_ptr<OVEqualizerAnimationView>& equalizerAnimationView() const { return equalizerAnimationView_; }
    const std::shared_ptr<OVCircleSpinAnimationView>& circleSpinAnimationView() const {
        return circleSpinAnimationView_;
    }
    const std::shared_ptr<OVCircleProgressionView>& circleProgressionView() const { return circleProgressionView_; }
    const std::shared_ptr<platform::ui::ShapeLayer>& backgroundLayer() const { return backgroundLayer_; }

protected:
    // What `create()` does after construction: the interactor and the state
    // manager (registered with the bridge), then layout by constraints.
    // Subclasses' own `create` call it once.
    void setUp();

private:
    void initializeSubviews(double withSide);
    void setBackgroungLayer(double withSide);
    // The tap: asks the delegate to open the container.
    void openExpandView();

    std::weak_ptr<OVOpenCloseExpandDelegate> delegate_;
    std::shared_ptr<OVChipStateManager> stateManager_;
    std::shared_ptr<OVChipInteractorInput> interactor_;
    std::shared_ptr<OVEqualizerAnimationView> equalizerAnimationView_;
    std::shared_ptr<OVCircleSpinAnimationView> circleSpinAnimationView_;
    std::shared_ptr<OVCircleProgressionView> circleProgressionView_;
    std::shared_ptr<platform::ui::ShapeLayer> backgroundLayer_;
    // Held to take them back when the chip is built or placed again.
    std::vector<platform::ui::LayoutConstraintPtr> sizeConstraints_;
    std::vector<platform::ui::LayoutConstraintPtr> positionConstraints_;
};

}  // namespace orvane
