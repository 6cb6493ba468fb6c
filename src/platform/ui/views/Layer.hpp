// A layer of the interface kit: one node of the tree the Renderer draws.
// Geometry (bounds, position, anchor point, transform; the frame derived from
// them), opacity, visibility, background, rounded corners, border, shadow,
// mask, clipping of sublayers and a contents image. Views own one each; code
// may also add layers of its own (shape and gradient layers) below a view's.
//
// Model and presentation: setters change the model value at once. The
// Renderer never reads an animatable property directly: it asks
// `presentationValue(keyPath)` (or the typed `presented<T>(keyPath)`), which
// takes the model value and, when a presentation source is attached, lets it
// replace the value by the one shown now (an animation in flight). Without a
// source the presentation value is the model value. The source is asked only
// for the base key paths of keypath:: (position, bounds, opacity, transform,
// backgroundColor, cornerRadius, borderWidth, borderColor, shadowOpacity,
// shadowColor, shadowOffset, shadowRadius and, for shape layers, path,
// fillColor, strokeColor, lineWidth, strokeStart, strokeEnd); a source that
// animates a sub-path ("transform.rotation.z", "bounds.size") folds it into
// the base value it returns.
//
// Main thread only. A layer holds its sublayers and its mask strongly and its
// superlayer weakly.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/graphics/Path.hpp"
#include "platform/ui/animation/AnimatableValue.hpp"
#include "platform/ui/animation/AnimationTarget.hpp"

typedef struct _cairo cairo_t;

namespace platform::ui {

// Key paths of layer properties beside those of AnimatableValue.hpp.
namespace keypath {
inline constexpr std::string_view borderWidth = "borderWidth";
inline constexpr std::string_view borderColor = "borderColor";
inline constexpr std::string_view shadowColor = "shadowColor";
inline constexpr std::string_view shadowOffset = "shadowOffset";
inline constexpr std::string_view shadowRadius = "shadowRadius";
inline constexpr std::string_view anchorPoint = "anchorPoint";
}  // namespace keypath

// What turns a layer's model values into the values shown now; the animation
// engine attaches one per animated layer.
class PresentationSource {
public:
    virtual ~PresentationSource() = default;
    // The value of `keyPath` shown now, given its model value; none keeps the
    // model value.
    virtual std::optional<AnimatableValue> presentationValue(std::string_view keyPath,
                                                             const AnimatableValue& modelValue) const = 0;
};

class Layer;

// The window of a layer tree, told what changes: the tree's root layer holds
// one (see `Layer::setNeedsDisplay`).
class LayerDamageSink {
public:
    virtual ~LayerDamageSink() = default;
    // Before something `layer` draws changes (its area now is about to be
    // drawn differently).
    virtual void layerWillChange(Layer& layer) = 0;
    // `layer` has animations that have yet to end.
    virtual void layerIsAnimating(Layer& layer) = 0;
};

// How the contents image is placed in the bounds.
enum class ContentsGravity {
    resize,            // stretched to fill the bounds (scale to fill)
    resizeAspect,      // whole image, aspect kept, centred (aspect fit)
    resizeAspectFill,  // bounds covered, aspect kept, centred, cropped (aspect fill)
    center,            // natural size in points, centred
    top,
    bottom,
    left,
    right,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
};

class Layer : public std::enable_shared_from_this<Layer>, public AnimationTarget {
protected:
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    static std::shared_ptr<Layer> create();
    explicit Layer(ConstructorKey) {}
    virtual ~Layer() = default;
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // ---- Tree ----
    std::shared_ptr<Layer> superlayer() const { return superlayer_.lock(); }
    const std::vector<std::shared_ptr<Layer>>& sublayers() const { return sublayers_; }
    // Each insertion first removes `layer` from its current superlayer. A
    // layer cannot become its own descendant: such a call is refused.
    void addSublayer(const std::shared_ptr<Layer>& layer);
    void insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index);
    // When `sibling` is not a sublayer, the layer goes on top (above) or at
    // the bottom (below).
    void insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    void insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    void removeFromSuperlayer();
    bool isDescendant(const Layer& ancestor) const;

    // ---- Geometry ----
    const Rect& bounds() const { return bounds_; }
    void setBounds(const Rect& bounds) { change(keypath::bounds, bounds_, bounds); }
    const Point& position() const { return position_; }
    void setPosition(Point position) { change(keypath::position, position_, position); }
    // In unit coordinates of the bounds; (0.5, 0.5) by default.
    const Point& anchorPoint() const { return anchorPoint_; }
    void setAnchorPoint(Point anchorPoint) { change(keypath::anchorPoint, anchorPoint_, anchorPoint); }
    const AffineTransform& transform() const { return transform_; }
    void setTransform(const AffineTransform& transform) { change(keypath::transform, transform_, transform); }
    // The bounds as the superlayer sees them: the smallest rectangle holding
    // the transformed bounds placed at the position.
    Rect frame() const;
    // Keeps the transform: sets the bounds' size (only when the transform is
    // the identity, as with the platform) and the position.
    void setFrame(const Rect& frame);

    // The affine map from this layer's coordinates to its superlayer's, for
    // the given geometry.
    static AffineTransform toSuperlayerTransform(const Rect& bounds, Point position, Point anchorPoint,
                                                 const AffineTransform& transform);
    // The map of the model geometry.
    AffineTransform toSuperlayerTransform() const {
        return toSuperlayerTransform(bounds_, position_, anchorPoint_, transform_);
    }

    // ---- Appearance ----
    double opacity() const { return opacity_; }
    void setOpacity(double opacity) { change(keypath::opacity, opacity_, opacity); }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { update(hidden_, hidden); }
    const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<Color> color) {
        if (color != backgroundColor_) setNeedsDisplay();
        const Color old = backgroundColor_.value_or(Color::clear());
        backgroundColor_ = color;
        didChange(keypath::backgroundColor, old, color.value_or(Color::clear()));
    }
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius) { change(keypath::cornerRadius, cornerRadius_, radius); }
    double borderWidth() const { return borderWidth_; }
    void setBorderWidth(double width) { change(keypath::borderWidth, borderWidth_, width); }
    const Color& borderColor() const { return borderColor_; }
    void setBorderColor(const Color& color) { change(keypath::borderColor, borderColor_, color); }
    // Clips the sublayers and the contents to the (rounded) bounds.
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool masks) { update(masksToBounds_, masks); }

    // Shadow: drawn below the layer from its shape (or `shadowPath` when
    // set), blurred by `shadowRadius` and moved by `shadowOffset` in the
    // superlayer's coordinates. Invisible while `shadowOpacity` is 0, and
    // clipped away with everything else outside the bounds by
    // `masksToBounds`.
    const Color& shadowColor() const { return shadowColor_; }
    void setShadowColor(const Color& color) { change(keypath::shadowColor, shadowColor_, color); }
    double shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(double opacity) { change(keypath::shadowOpacity, shadowOpacity_, opacity); }
    Size shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(Size offset) { change(keypath::shadowOffset, shadowOffset_, offset); }
    double shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(double radius) { change(keypath::shadowRadius, shadowRadius_, radius); }
    const std::optional<Path>& shadowPath() const { return shadowPath_; }
    void setShadowPath(std::optional<Path> path) { update(shadowPath_, std::move(path)); }

    // A layer whose alpha, in this layer's coordinates, masks this layer.
    const std::shared_ptr<Layer>& mask() const { return mask_; }
    void setMask(std::shared_ptr<Layer> mask) { update(mask_, std::move(mask)); }

    const std::optional<Image>& contents() const { return contents_; }
    void setContents(std::optional<Image> image) { update(contents_, std::move(image)); }
    ContentsGravity contentsGravity() const { return contentsGravity_; }
    void setContentsGravity(ContentsGravity gravity) { update(contentsGravity_, gravity); }
    // When set, the contents are drawn as a stencil in this colour (their
    // alpha only): how template images take the tint of their view.
    const std::optional<Color>& contentsTintColor() const { return contentsTintColor_; }
    void setContentsTintColor(std::optional<Color> color) { update(contentsTintColor_, std::move(color)); }

    // ---- Model and presentation ----
    // The model value of an animatable property; none for an unknown key.
    std::optional<AnimatableValue> modelValue(std::string_view keyPath) const override;
    // The value shown now: the model value passed through the presentation
    // source, when there is one. None for an unknown key.
    std::optional<AnimatableValue> presentationValue(std::string_view keyPath) const;
    // The typed form the Renderer uses: `model` passed through the source.
    template <class T>
    T presented(std::string_view keyPath, const T& model) const {
        if (!presentationSource_) return model;
        auto value = presentationSource_->presentationValue(keyPath, AnimatableValue{model});
        if (value) {
            if (const T* shown = std::get_if<T>(&*value)) return *shown;
        }
        return model;
    }
    // Sets the frame; when `duration` is positive, animates bounds and
    // position from what the layer shows now to the new frame (ease in and
    // out), replacing an earlier such animation of the layer.
    void setFrame(const Rect& frame, double duration);

    // ---- Animations ----
    // The layer's animations (created on first use; from then on they are
    // the presentation source unless another one was set).
    AnimationStore& animations() override;
    void addAnimation(const Animation& animation, std::string key) { animations().add(animation, std::move(key)); }
    std::shared_ptr<const Animation> animation(std::string_view key) const {
        return animations_ ? animations_->animation(key) : nullptr;
    }
    std::vector<std::string> animationKeys() const { return animations_ ? animations_->animationKeys() : std::vector<std::string>{}; }
    void removeAnimation(std::string_view key) { if (animations_) animations_->remove(key); }
    void removeAllAnimations() { if (animations_) animations_->removeAll(); }
    bool animationsAllowUserInteraction() const { return !animations_ || animations_->allowsUserInteraction(); }
    // A view's own layer reports its property changes to the view animation
    // blocks (`ViewAnimation`), which animate them; other layers change at once.
    bool recordsViewAnimations() const { return recordsViewAnimations_; }
    void setRecordsViewAnimations(bool records) { recordsViewAnimations_ = records; }

    const std::shared_ptr<PresentationSource>& presentationSource() const { return presentationSource_; }
    void setPresentationSource(std::shared_ptr<PresentationSource> source) {
        presentationSource_ = std::move(source);
    }

    // ---- Drawing ----
    // Draws what this kind of layer shows above its background and contents
    // and below its sublayers, in the layer's own coordinates (the bounds'
    // origin is the top-left corner), clipped to the rounded bounds when
    // `masksToBounds`. Shape and gradient layers draw here, and so will text
    // layers (PangoCairo on `cr`) and blur layers (what lies beneath is
    // already on cr's target: read it back, blur it with the kit's box blur,
    // paint it). The plain layer draws nothing.
    virtual void drawContents(cairo_t* cr) const;
    // Whether the drawing reads what lies beneath the layer (a blur).
    virtual bool drawsBackdrop() const { return false; }

    // ---- Damage ----
    // Tells the window of the tree (if the layer is in one) that what the
    // layer draws is about to change, so that its area now and its area at
    // the next frame are redrawn. Setters call it when a value really
    // changes; a kind of layer calls it from its own setters.
    void setNeedsDisplay();
    // Whether some animation of the layer has yet to end.
    bool hasRunningAnimations() const { return animations_ && animations_->isRunning(); }
    // The root layer of a window holds the window's sink.
    LayerDamageSink* damageSink() const { return damageSink_; }
    void setDamageSink(LayerDamageSink* sink) { damageSink_ = sink; }
    // The sink's note of this layer for the frame being collected.
    struct DamageMark {
        const LayerDamageSink* sink = nullptr;
        std::uint64_t frame = 0;
    };
    DamageMark& damageMark() { return damageMark_; }

protected:
    // Sets `field` to `value`, marking the layer as needing display when it
    // differs (always, for a kind without equality).
    template <class T, class U>
    void update(T& field, U&& value) {
        if constexpr (std::equality_comparable<T>) {
            if (field == value) return;
        }
        setNeedsDisplay();
        field = std::forward<U>(value);
    }

    // Sets `field` to `value` and reports the change.
    template <class T>
    void change(std::string_view keyPath, T& field, const T& value) {
        if (!(field == value)) setNeedsDisplay();
        if (!recordsViewAnimations_) {
            field = value;
            return;
        }
        const T old = field;
        field = value;
        didChange(keyPath, old, value);
    }
    // Tells a view animation block recording now that the model value at
    // `keyPath` changed (layers that record view animations only).
    void didChange(std::string_view keyPath, const AnimatableValue& oldValue, const AnimatableValue& newValue);

    // The bounds the renderer sees (presentation value).
    Rect presentedBounds() const { return presented(keypath::bounds, bounds_); }

private:
    void insertAt(const std::shared_ptr<Layer>& layer, std::size_t index);
    // The sink of the tree's root, or null.
    LayerDamageSink* treeSink() const;

    std::weak_ptr<Layer> superlayer_;
    std::vector<std::shared_ptr<Layer>> sublayers_;

    Rect bounds_;
    Point position_;
    Point anchorPoint_{0.5, 0.5};
    AffineTransform transform_;

    double opacity_ = 1;
    bool hidden_ = false;
    std::optional<Color> backgroundColor_;
    double cornerRadius_ = 0;
    double borderWidth_ = 0;
    Color borderColor_ = Color::black();
    bool masksToBounds_ = false;

    Color shadowColor_ = Color::black();
    double shadowOpacity_ = 0;
    Size shadowOffset_{0, -3};
    double shadowRadius_ = 3;
    std::optional<Path> shadowPath_;

    std::shared_ptr<Layer> mask_;
    std::optional<Image> contents_;
    ContentsGravity contentsGravity_ = ContentsGravity::resize;
    std::optional<Color> contentsTintColor_;

    std::shared_ptr<PresentationSource> presentationSource_;
    std::shared_ptr<AnimationStore> animations_;
    bool recordsViewAnimations_ = false;
    LayerDamageSink* damageSink_ = nullptr;
    DamageMark damageMark_;
};

}  // namespace platform::ui
