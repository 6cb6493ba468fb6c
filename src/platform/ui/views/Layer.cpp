#include "platform/ui/views/Layer.hpp"

#include <algorithm>

#include "platform/core/DebugPrint.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"
#include "platform/ui/animation/TimingFunction.hpp"
#include "platform/ui/animation/ViewAnimation.hpp"

namespace platform::ui {

std::shared_ptr<Layer> Layer::create() { return std::make_shared<Layer>(ConstructorKey{}); }

bool Layer::isDescendant(const Layer& ancestor) const {
    for (const Layer* l = this; l; ) {
        if (l == &ancestor) return true;
        auto parent = l->superlayer_.lock();
        l = parent.get();
    }
    return false;
}

void Layer::insertAt(const std::shared_ptr<Layer>& layer, std::size_t index) {
    if (!layer) return;
    if (isDescendant(*layer)) {
        core::debugPrint("Layer: refused to add a layer to itself or to one of its descendants");
        return;
    }
    const std::shared_ptr<Layer> keep = layer;  // removal may drop the last owner
    keep->setNeedsDisplay();
    if (auto old = keep->superlayer_.lock(); old.get() == this) {
        auto it = std::find(sublayers_.begin(), sublayers_.end(), keep);
        const auto oldIndex = static_cast<std::size_t>(it - sublayers_.begin());
        sublayers_.erase(it);
        if (oldIndex < index) --index;
    } else {
        keep->removeFromSuperlayer();
    }
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), keep);
    keep->superlayer_ = weak_from_this();
    if (LayerDamageSink* sink = treeSink()) {
        sink->layerWillChange(*keep);
        // The animations of the subtree now run in this window.
        std::vector<Layer*> pending{keep.get()};
        while (!pending.empty()) {
            Layer* l = pending.back();
            pending.pop_back();
            if (l->hasRunningAnimations()) sink->layerIsAnimating(*l);
            for (const auto& sub : l->sublayers_) pending.push_back(sub.get());
        }
    }
}

LayerDamageSink* Layer::treeSink() const {
    const Layer* l = this;
    std::shared_ptr<const Layer> hold;
    while (auto parent = l->superlayer_.lock()) {
        hold = std::move(parent);
        l = hold.get();
    }
    return l->damageSink_;
}

void Layer::setNeedsDisplay() {
    if (LayerDamageSink* sink = treeSink()) sink->layerWillChange(*this);
}

void Layer::addSublayer(const std::shared_ptr<Layer>& layer) { insertAt(layer, sublayers_.size()); }

void Layer::insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index) { insertAt(layer, index); }

void Layer::insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling) {
    auto it = std::find_if(sublayers_.begin(), sublayers_.end(),
                           [&](const auto& l) { return l.get() == sibling; });
    if (it == sublayers_.end() || sibling == layer.get()) {
        insertAt(layer, sublayers_.size());
        return;
    }
    insertAt(layer, static_cast<std::size_t>(it - sublayers_.begin()) + 1);
}

void Layer::insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling) {
    auto it = std::find_if(sublayers_.begin(), sublayers_.end(),
                           [&](const auto& l) { return l.get() == sibling; });
    if (it == sublayers_.end() || sibling == layer.get()) {
        insertAt(layer, 0);
        return;
    }
    insertAt(layer, static_cast<std::size_t>(it - sublayers_.begin()));
}

void Layer::removeFromSuperlayer() {
    auto parent = superlayer_.lock();
    if (!parent) return;
    setNeedsDisplay();
    superlayer_.reset();
    auto& siblings = parent->sublayers_;
    auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& l) { return l.get() == this; });
    if (it != siblings.end()) siblings.erase(it);
}

AffineTransform Layer::toSuperlayerTransform(const Rect& bounds, Point position, Point anchorPoint,
                                             const AffineTransform& transform) {
    // The anchor point of the bounds lands on the position; the transform
    // turns around it.
    const Point anchor{bounds.origin.x + anchorPoint.x * bounds.size.width,
                       bounds.origin.y + anchorPoint.y * bounds.size.height};
    return AffineTransform::translation(-anchor.x, -anchor.y)
        .concatenating(transform)
        .concatenating(AffineTransform::translation(position.x, position.y));
}

Rect Layer::frame() const {
    const Rect local{bounds_.origin, bounds_.size};
    return toSuperlayerTransform().apply(local.standardized());
}

void Layer::setFrame(const Rect& frame) {
    const Rect f = frame.standardized();
    if (transform_.isIdentity()) {
        Rect bounds = bounds_;
        bounds.size = f.size;
        change(keypath::bounds, bounds_, bounds);
    }
    change(keypath::position, position_,
           Point{f.origin.x + anchorPoint_.x * f.size.width, f.origin.y + anchorPoint_.y * f.size.height});
}

namespace {

// Shows a layer's animations: the presentation source of an animated layer.
class AnimationPresentation final : public PresentationSource {
public:
    explicit AnimationPresentation(std::shared_ptr<const AnimationStore> store) : store_(std::move(store)) {}
    std::optional<AnimatableValue> presentationValue(std::string_view keyPath,
                                                     const AnimatableValue& modelValue) const override {
        if (store_->isEmpty()) return std::nullopt;
        return store_->presentationValue(keyPath, modelValue);
    }

private:
    std::shared_ptr<const AnimationStore> store_;
};

}  // namespace

AnimationStore& Layer::animations() {
    if (!animations_) {
        animations_ = std::make_shared<AnimationStore>();
        // What the layer shows changes from now on until its animations end.
        animations_->setWillChange([weak = weak_from_this()] {
            auto self = weak.lock();
            if (!self) return;
            if (LayerDamageSink* sink = self->treeSink()) {
                sink->layerWillChange(*self);
                sink->layerIsAnimating(*self);
            }
        });
        if (!presentationSource_) presentationSource_ = std::make_shared<AnimationPresentation>(animations_);
    }
    return *animations_;
}

void Layer::didChange(std::string_view keyPath, const AnimatableValue& oldValue, const AnimatableValue& newValue) {
    if (recordsViewAnimations_ && ViewAnimation::isRecording())
        ViewAnimation::propertyDidChange(*this, keyPath, oldValue, newValue);
}

std::optional<AnimatableValue> Layer::modelValue(std::string_view key) const {
    if (key == keypath::position) return position_;
    if (key == keypath::bounds) return bounds_;
    if (key == keypath::boundsSize) return bounds_.size;
    if (key == keypath::anchorPoint) return anchorPoint_;
    if (key == keypath::opacity) return opacity_;
    if (key == keypath::transform) return transform_;
    if (key == keypath::backgroundColor) return backgroundColor_.value_or(Color::clear());
    if (key == keypath::cornerRadius) return cornerRadius_;
    if (key == keypath::borderWidth) return borderWidth_;
    if (key == keypath::borderColor) return borderColor_;
    if (key == keypath::shadowOpacity) return shadowOpacity_;
    if (key == keypath::shadowColor) return shadowColor_;
    if (key == keypath::shadowOffset) return shadowOffset_;
    if (key == keypath::shadowRadius) return shadowRadius_;
    return std::nullopt;
}

std::optional<AnimatableValue> Layer::presentationValue(std::string_view keyPath) const {
    auto model = modelValue(keyPath);
    if (!model || !presentationSource_) return model;
    if (auto shown = presentationSource_->presentationValue(keyPath, *model)) return shown;
    return model;
}

void Layer::drawContents(cairo_t*) const {}

void Layer::setFrame(const Rect& frame, double duration) {
    const auto shownBounds = presentationValue(keypath::bounds);
    const auto shownPosition = presentationValue(keypath::position);
    setFrame(frame);
    if (!(duration > 0) || !shownBounds || !shownPosition) return;
    for (const auto& [key, from] : {std::pair{keypath::bounds, *shownBounds}, std::pair{keypath::position, *shownPosition}}) {
        auto animation = BasicAnimation::create(std::string(key));
        animation->setFromValue(from);
        animation->setDuration(duration);
        animation->setTimingFunction(TimingFunction::named(TimingFunction::Name::easeInEaseOut));
        addAnimation(*animation, "frame." + std::string(key));
    }
}

}  // namespace platform::ui
