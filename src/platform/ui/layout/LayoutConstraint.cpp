#include "platform/ui/layout/LayoutConstraint.hpp"

#include <algorithm>
#include <cmath>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/layout/ConstraintLayout.hpp"
#include "platform/ui/views/View.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

// ---- Anchors ----

LayoutConstraintPtr LayoutAnchor::constraint(Relation relation, const LayoutAnchor& other, double constant,
                                             double multiplier) const {
    return LayoutConstraint::make(*this, relation, other, multiplier, constant);
}

LayoutConstraintPtr LayoutAnchor::constraintToConstant(Relation relation, double constant) const {
    return LayoutConstraint::make(*this, relation, std::nullopt, 1, constant);
}

LayoutAnchor LayoutGuide::anchor(Attribute attribute) const {
    return LayoutAnchor(owner_.weak_from_this(), kind_, attribute);
}

Rect LayoutGuide::layoutFrame() const {
    const Rect bounds{Point{}, owner_.bounds().size};
    return bounds.inset(kind_ == LayoutItemKind::safeArea ? owner_.safeAreaInsets() : owner_.layoutMargins());
}

// ---- Constraints ----

LayoutConstraint::LayoutConstraint(Key, LayoutAnchor first, Relation relation, std::optional<LayoutAnchor> second,
                                   double multiplier, double constant)
    : first_(std::move(first)),
      relation_(relation),
      second_(std::move(second)),
      multiplier_(multiplier),
      constant_(constant) {
    views_[viewCount_++] = first_.view();
    if (second_) {
        const auto other = second_->view();
        if (other != first_.view()) views_[viewCount_++] = other;
    }
}

LayoutConstraint::~LayoutConstraint() {
    if (!installed_.isValid()) return;
    if (auto window = window_.lock()) {
        if (auto* layout = window->constraintLayout()) layout->engine().removeConstraint(installed_);
    }
}

LayoutConstraintPtr LayoutConstraint::make(const LayoutAnchor& first, Relation relation,
                                           std::optional<LayoutAnchor> second, double multiplier,
                                           double constant) {
    auto constraint = std::make_shared<LayoutConstraint>(Key{}, first, relation, std::move(second), multiplier,
                                                         constant);
    constraint->self_ = constraint;
    return constraint;
}

layout::ConstraintSpec LayoutConstraint::spec() const {
    layout::ConstraintSpec spec;
    spec.first.attribute = first_.attribute();
    spec.relation = relation_;
    if (second_) spec.second = layout::Anchor{{}, second_->attribute()};
    spec.multiplier = multiplier_;
    spec.constant = constant_;
    spec.priority = priority_;
    return spec;
}

void LayoutConstraint::setActive(bool active) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (active == active_) return;
    const LayoutConstraintPtr keep = self_.lock();
    if (!active) {
        if (installed_.isValid()) {
            if (auto window = window_.lock(); window && window->constraintLayout())
                window->constraintLayout()->uninstall(*this);
        }
        installed_ = {};
        window_.reset();
        active_ = false;
        for (std::size_t i = 0; i < viewCount_; ++i) {
            if (auto view = views_[i].lock()) view->forgetConstraint(*this, slots_[i]);
        }
        return;
    }
    if (!layout::LayoutEngine::hasValuesInRange(spec())) {
        core::debugPrint("Layout: refused a constraint with a value that is not finite or out of range: " +
                         ConstraintLayout::describe(*this, spec()));
        return;
    }
    std::shared_ptr<View> owners[2];
    for (std::size_t i = 0; i < viewCount_; ++i) {
        owners[i] = views_[i].lock();
        if (!owners[i]) {
            core::debugPrint("Layout: a constraint names a view that is gone; not activated");
            return;
        }
    }
    active_ = true;
    for (std::size_t i = 0; i < viewCount_; ++i) {
        slots_[i] = owners[i]->constraintState_.constraints.size();
        owners[i]->constraintState_.constraints.push_back(keep);
    }
    if (auto window = owners[0]->window()) window->ensureConstraintLayout().install(*this);
}

void LayoutConstraint::setConstant(double constant) {
    layout::ConstraintSpec changed = spec();
    changed.constant = constant;
    if (!layout::LayoutEngine::hasValuesInRange(changed)) {
        core::debugPrint("Layout: refused a constraint with a value that is not finite or out of range: " +
                         ConstraintLayout::describe(*this, changed));
        return;
    }
    if (constant == constant_) return;
    constant_ = constant;
    if (!installed_.isValid()) return;
    if (auto window = window_.lock(); window && window->constraintLayout())
        window->constraintLayout()->constantChanged(*this);
}

void LayoutConstraint::setPriority(double priority) {
    if (!std::isfinite(priority)) {
        layout::ConstraintSpec changed = spec();
        changed.priority = priority;
        core::debugPrint("Layout: refused a constraint with a value that is not finite or out of range: " +
                         ConstraintLayout::describe(*this, changed));
        return;
    }
    priority = std::clamp(priority, 1.0, LayoutPriority::required);
    if (priority == priority_) return;
    priority_ = priority;
    if (!installed_.isValid()) return;
    if (auto window = window_.lock(); window && window->constraintLayout())
        window->constraintLayout()->priorityChanged(*this);
}

void LayoutConstraint::activate(std::span<const LayoutConstraintPtr> constraints) {
    for (const auto& c : constraints)
        if (c) c->setActive(true);
}

void LayoutConstraint::deactivate(std::span<const LayoutConstraintPtr> constraints) {
    for (const auto& c : constraints)
        if (c) c->setActive(false);
}

}  // namespace platform::ui
