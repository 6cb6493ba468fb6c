#include "orvane/coordinator/OVChip.hpp"

#include <cmath>
#include <numbers>

#include "orvane/coordinator/OVChipStateManager.hpp"
#include "orvane/toolkit/OVCircleProgressionView.hpp"
#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/ui/controllers/ViewController.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::LayoutConstraint;
using platform::graphics::Rect;

std::shared_ptr<OVChip> OVChip::create() {
    auto chip = std::make_shared<OVChip>(ConstructorKey{});
    chip->setUp();
    return chip;
}

OVChip::OVChip(ConstructorKey key) : Button(key, Rect{}) {}

OVChip::~OVChip() = default;

void OVChip::setUp() {
    installSubviews();
    auto self = std::static_pointer_cast<OVChip>(shared_from_this());
    interactor_ = std::make_shared<OVChipInteractor>(std::static_pointer_cast<OVChipInput>(self));
    stateManager_ = std::make_shared<OVChipStateManager>(self);
    OVWidgetManager::shared().addObserver(stateManager_);
    setTranslatesAutoresizingMaskIntoConstraints(false);
}

// ---- building ----

void OVChip::initialize(double side) {
    PLATFORM_ASSERT_MAIN_THREAD();
    // A chip built again (it lost its superview without being dropped)
    // replaces its parts instead of stacking a second set.
    if (backgroundLayer_) backgroundLayer_->removeFromSuperlayer();
    for (const auto& view : {std::static_pointer_cast<View>(equalizerAnimationView_),
                             std::static_pointer_cast<View>(circleProgressionView_),
                             std::static_pointer_cast<View>(circleSpinAnimationView_)}) {
        if (view) view->removeFromSuperview();
    }
    LayoutConstraint::deactivate(sizeConstraints_);
    sizeConstraints_.clear();

    setBackgroundColor(Color::fromWhite(1, 0));
    setBackgroungLayer(side);
    initializeSubviews(side);
    addTarget(std::static_pointer_cast<OVChip>(shared_from_this()), &OVChip::openExpandView,
              platform::ui::ControlEvents::touchUpInside);
}

void OVChip::setBackgroungLayer(double withSide) {
    auto disc = platform::ui::ShapeLayer::create();
    disc->setStrokeColor(std::nullopt);
    disc->setBackgroundColor(std::nullopt);
    disc->setPath(platform::graphics::Path::arc({withSide / 2, withSide / 2}, withSide / 2, 0, 2 * std::numbers::pi, true));
    disc->setShadowColor(Color::black());
    disc->setShadowOpacity(0.16);
    disc->setShadowOffset({0, 1});
    disc->setShadowRadius(8);
    // Its fill is left as it is: the first style, right after the build,
    // gives it.
    layer()->addSublayer(disc);
    backgroundLayer_ = std::move(disc);
}

void OVChip::initializeSubviews(double withSide) {
    const double quarter = withSide / 4, half = withSide / 2;
    equalizerAnimationView_ = OVEqualizerAnimationView::create({quarter, quarter, half, half});
    circleProgressionView_ = OVCircleProgressionView::create({0, 0, withSide, withSide});
    circleSpinAnimationView_ = OVCircleSpinAnimationView::create({0, 0, withSide, withSide});
    addSubview(equalizerAnimationView_);
    addSubview(circleProgressionView_);
    addSubview(circleSpinAnimationView_);
    sizeConstraints_ = {widthAnchor().constraintEqualToConstant(withSide),
                        heightAnchor().constraintEqualToConstant(withSide)};
    LayoutConstraint::activate(sizeConstraints_);
}

// ---- placing ----

void OVChip::display(const std::shared_ptr<platform::ui::ViewController>& inRootViewController,
                     OVThemePosition withPosition, std::optional<double> withVerticalMargin,
                     std::optional<double> withHorizontalMargin) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!inRootViewController) return;
    const auto rootView = inRootViewController->view();
    if (!rootView) return;
    // Constraints of an earlier placement would pull against the new ones.
    LayoutConstraint::deactivate(positionConstraints_);
    positionConstraints_.clear();
    rootView->addSubview(shared_from_this());

    const double horizontal = withHorizontalMargin.value_or(OVConstants::OVChip::defaultMargin);
    const double vertical = withVerticalMargin.value_or(OVConstants::OVChip::defaultMargin);
    // Vertical first: from the safe area on systems that have one (11 and
    // later), from the root view's own top or bottom before.
    const bool safeArea = platform::core::SystemVersion::isAtLeast(11);
    auto& guide = rootView->safeAreaLayoutGuide();
    platform::ui::LayoutConstraintPtr verticalConstraint;
    switch (withPosition) {
        case OVThemePosition::topLeft:
        case OVThemePosition::topRight:
            verticalConstraint = topAnchor().constraintEqualTo(safeArea ? guide.topAnchor() : rootView->topAnchor(),
                                                               vertical);
            break;
        case OVThemePosition::bottomLeft:
        case OVThemePosition::bottomRight:
            verticalConstraint = bottomAnchor().constraintEqualTo(
                safeArea ? guide.bottomAnchor() : rootView->bottomAnchor(), -vertical);
            break;
    }
    verticalConstraint->setActive(true);
    positionConstraints_.push_back(verticalConstraint);

    // Horizontal second, from the root view's own left or right edge (never
    // the safe area, never flipped for right-to-left text).
    platform::ui::LayoutConstraintPtr horizontalConstraint;
    switch (withPosition) {
        case OVThemePosition::topLeft:
        case OVThemePosition::bottomLeft:
            horizontalConstraint = leftAnchor().constraintEqualTo(rootView->leftAnchor(), horizontal);
            break;
        case OVThemePosition::topRight:
        case OVThemePosition::bottomRight:
            horizontalConstraint = rightAnchor().constraintEqualTo(rootView->rightAnchor(), -horizontal);
            break;
    }
    horizontalConstraint->setActive(true);
    positionConstraints_.push_back(horizontalConstraint);
}

// ---- forwarding to the interactor ----

void OVChip::update(OVTheme withTheme, const Color& andMainColor) { interactor_->update(withTheme, andMainColor); }

void OVChip::update(OVAudioPlayerStatus audioPlayerStatus) { interactor_->update(audioPlayerStatus); }

void OVChip::update(const OVState::AudioPosition& audioPosition) { interactor_->update(audioPosition); }

void OVChip::updateWithCurrentSate() {
    if (stateManager_) stateManager_->updateWithCurrentState();
}

// ---- applying the records ----

void OVChip::update(const OVChipModel::Style& viewModel) {
    if (backgroundLayer_) backgroundLayer_->setFillColor(viewModel.backgroundColor);
    if (circleSpinAnimationView_) circleSpinAnimationView_->setColor(viewModel.spinAnimationColor);
    if (equalizerAnimationView_) equalizerAnimationView_->setColor(viewModel.equalizerAnimationColor);
    if (circleProgressionView_) circleProgressionView_->setColor(viewModel.progressionColor);
}

void OVChip::update(const OVChipModel::AudioStatus& viewModel) {
    if (circleSpinAnimationView_) {
        if (viewModel.circleSpinAnimationIsRunning) {
            circleSpinAnimationView_->startAnimation();
            circleSpinAnimationView_->setHidden(false);
        } else {
            circleSpinAnimationView_->stopAnimation();
            circleSpinAnimationView_->setHidden(true);
        }
    }
    if (equalizerAnimationView_) {
        if (viewModel.equalizerAnimationIsRunning) {
            equalizerAnimationView_->startAnimation();
        } else {
            equalizerAnimationView_->stopAnimation();
        }
    }
}

void OVChip::update(const OVChipModel::AudioPosition& viewModel) {
    if (!circleProgressionView_) return;
    // A duration of 0 gives no fraction: the ring then shows no progress
    // rather than a full turn.
    const float value = std::isfinite(viewModel.progressValue) ? viewModel.progressValue : 0.0f;
    circleProgressionView_->setValue(value);
}

void OVChip::openExpandView() {
    if (auto delegate = delegate_.lock()) delegate->didTapOpenExapnd();
}

}  // namespace orvane
