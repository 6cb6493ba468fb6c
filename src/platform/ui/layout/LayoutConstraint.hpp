// Constraint layout on views: anchors of views and their layout guides, and
// the constraints made between them.
//
// `view->widthAnchor().constraintEqualToConstant(375)` makes an inactive
// constraint; activating it hands it to the views it names, which keep it
// alive while it is active. It takes part in layout once every view it names
// is in the same window (one engine per window, `ConstraintLayout`); until
// then it is active but waiting. Anchors of views in different subtrees meet
// in window coordinates, transforms ignored. Frames follow the solution in
// layout passes only.
//
// Values are bounded as the layout engine states (constants within
// ±10,000,000 points, multipliers 0 or 0.001–1,000 in magnitude, priorities
// finite): a constraint made with anything else is refused with one debug
// line when activated and stays inactive; such a new constant or priority is
// refused the same way and the constraint keeps its old one.
//
// Main thread only.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>

#include "platform/graphics/Geometry.hpp"
#include "platform/ui/layout/LayoutEngine.hpp"

namespace platform::ui {

class View;
class Window;
class ConstraintLayout;

using layout::Attribute;
using layout::Axis;
using layout::Relation;

namespace LayoutPriority {
inline constexpr double required = 1000;
inline constexpr double defaultHigh = 750;
inline constexpr double defaultLow = 250;
inline constexpr double fittingSizeLevel = 50;
}  // namespace LayoutPriority

// What an anchor belongs to: the view itself or one of its guides.
enum class LayoutItemKind { view, safeArea, layoutMargins };

class LayoutConstraint;
using LayoutConstraintPtr = std::shared_ptr<LayoutConstraint>;

class LayoutAnchor {
public:
    LayoutAnchor(std::weak_ptr<View> view, LayoutItemKind kind, Attribute attribute)
        : view_(std::move(view)), kind_(kind), attribute_(attribute) {}

    LayoutConstraintPtr constraint(Relation relation, const LayoutAnchor& other, double constant = 0,
                                   double multiplier = 1) const;
    LayoutConstraintPtr constraintEqualTo(const LayoutAnchor& other, double constant = 0) const {
        return constraint(Relation::equal, other, constant);
    }
    LayoutConstraintPtr constraintLessThanOrEqualTo(const LayoutAnchor& other, double constant = 0) const {
        return constraint(Relation::lessThanOrEqual, other, constant);
    }
    LayoutConstraintPtr constraintGreaterThanOrEqualTo(const LayoutAnchor& other, double constant = 0) const {
        return constraint(Relation::greaterThanOrEqual, other, constant);
    }
    // Against a constant alone (meant for width and height).
    LayoutConstraintPtr constraintToConstant(Relation relation, double constant) const;
    LayoutConstraintPtr constraintEqualToConstant(double constant) const {
        return constraintToConstant(Relation::equal, constant);
    }
    LayoutConstraintPtr constraintLessThanOrEqualToConstant(double constant) const {
        return constraintToConstant(Relation::lessThanOrEqual, constant);
    }
    LayoutConstraintPtr constraintGreaterThanOrEqualToConstant(double constant) const {
        return constraintToConstant(Relation::greaterThanOrEqual, constant);
    }

    Attribute attribute() const { return attribute_; }
    LayoutItemKind itemKind() const { return kind_; }
    // The view that owns the item (the guide's view for a guide's anchor).
    std::shared_ptr<View> view() const { return view_.lock(); }

private:
    std::weak_ptr<View> view_;
    LayoutItemKind kind_;
    Attribute attribute_;
};

class LayoutConstraint {
    struct Key {
        explicit Key() = default;
    };

public:
    LayoutConstraint(Key, LayoutAnchor first, Relation relation, std::optional<LayoutAnchor> second,
                     double multiplier, double constant);
    ~LayoutConstraint();
    LayoutConstraint(const LayoutConstraint&) = delete;
    LayoutConstraint& operator=(const LayoutConstraint&) = delete;

    bool isActive() const { return active_; }
    void setActive(bool active);
    // A changed constant re-solves incrementally; frames follow at the next
    // layout pass. When a required constraint can no longer hold (or its
    // solution would be out of range), it is dropped with a debug line.
    double constant() const { return constant_; }
    void setConstant(double constant);
    double priority() const { return priority_; }
    // Clamped to 1–1000; one that is not finite is refused with a debug line.
    void setPriority(double priority);

    double multiplier() const { return multiplier_; }
    Relation relation() const { return relation_; }
    const LayoutAnchor& firstAnchor() const { return first_; }
    const std::optional<LayoutAnchor>& secondAnchor() const { return second_; }
    // Whether the engine of a window holds it now.
    bool isInstalled() const { return installed_.isValid(); }

    static void activate(std::span<const LayoutConstraintPtr> constraints);
    static void activate(std::initializer_list<LayoutConstraintPtr> constraints) {
        activate(std::span<const LayoutConstraintPtr>(constraints.begin(), constraints.size()));
    }
    static void deactivate(std::span<const LayoutConstraintPtr> constraints);
    static void deactivate(std::initializer_list<LayoutConstraintPtr> constraints) {
        deactivate(std::span<const LayoutConstraintPtr>(constraints.begin(), constraints.size()));
    }

private:
    friend class LayoutAnchor;
    friend class ConstraintLayout;
    friend class View;

    static LayoutConstraintPtr make(const LayoutAnchor& first, Relation relation,
                                    std::optional<LayoutAnchor> second, double multiplier, double constant);
    layout::ConstraintSpec spec() const;
    // The distinct views the constraint names (one or two).
    std::span<const std::weak_ptr<View>> views() const { return {views_, viewCount_}; }

    std::weak_ptr<LayoutConstraint> self_;
    LayoutAnchor first_;
    Relation relation_;
    std::optional<LayoutAnchor> second_;
    double multiplier_;
    double constant_;
    double priority_ = LayoutPriority::required;
    bool active_ = false;
    std::weak_ptr<View> views_[2];
    std::size_t viewCount_ = 0;
    // Where the constraint sits in each of those views' `constraints()`
    // while active (so that deactivating it is not a search).
    std::size_t slots_[2] = {0, 0};
    // Set while a window's engine holds the constraint.
    std::weak_ptr<Window> window_;
    layout::LayoutConstraintId installed_;
};

// A rectangle a view offers to constraints: its safe area or its bounds
// inset by its layout margins. Owned by the view.
class LayoutGuide {
public:
    LayoutGuide(View& owner, LayoutItemKind kind) : owner_(owner), kind_(kind) {}
    LayoutGuide(const LayoutGuide&) = delete;
    LayoutGuide& operator=(const LayoutGuide&) = delete;

    LayoutAnchor leftAnchor() const { return anchor(Attribute::left); }
    LayoutAnchor rightAnchor() const { return anchor(Attribute::right); }
    LayoutAnchor topAnchor() const { return anchor(Attribute::top); }
    LayoutAnchor bottomAnchor() const { return anchor(Attribute::bottom); }
    LayoutAnchor leadingAnchor() const { return anchor(Attribute::leading); }
    LayoutAnchor trailingAnchor() const { return anchor(Attribute::trailing); }
    LayoutAnchor widthAnchor() const { return anchor(Attribute::width); }
    LayoutAnchor heightAnchor() const { return anchor(Attribute::height); }
    LayoutAnchor centerXAnchor() const { return anchor(Attribute::centerX); }
    LayoutAnchor centerYAnchor() const { return anchor(Attribute::centerY); }

    LayoutItemKind kind() const { return kind_; }
    // The guide's rectangle in the owning view's coordinates, now.
    Rect layoutFrame() const;

private:
    LayoutAnchor anchor(Attribute attribute) const;

    View& owner_;
    LayoutItemKind kind_;
};

}  // namespace platform::ui
