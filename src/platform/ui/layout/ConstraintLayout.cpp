#include "platform/ui/layout/ConstraintLayout.hpp"

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <typeinfo>
#include <unordered_set>

#include "platform/core/DebugPrint.hpp"
#include "platform/ui/views/View.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

namespace {

using layout::Anchor;
using layout::ConstraintSpec;
using layout::ItemId;

// "Label" for platform::ui::Label: the name an item has in debug lines.
std::string typeNameOf(const View& view) {
    const char* mangled = typeid(view).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    if (const auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
    return name;
}

std::string itemNameOf(const View& view, bool isWindow, LayoutItemKind kind) {
    std::string name = isWindow ? std::string("Window") : typeNameOf(view);
    if (kind == LayoutItemKind::safeArea) name += ".safeArea";
    else if (kind == LayoutItemKind::layoutMargins) name += ".margins";
    return name;
}

// Whether the solver's values make a frame that can be applied.
bool isUsable(const Rect& r) {
    for (const double v : {r.origin.x, r.origin.y, r.size.width, r.size.height})
        if (!(std::fabs(v) <= layout::LayoutEngine::maximumMagnitude)) return false;
    return true;
}

// The frame a view has for the solver: its untransformed frame in its
// superview's coordinates.
Rect alignmentFrame(const View& view) {
    const Size size = view.bounds().size;
    const Point c = view.center();
    return Rect{Point{c.x - size.width / 2, c.y - size.height / 2}, size};
}

// Solver values carry rounding noise of the simplex; frames get clean numbers.
double clean(double v) {
    const double r = std::round(v * 1e6) / 1e6;
    return r == 0 ? 0 : r;
}

template <typename F>
void forEachInSubtree(View& root, F&& f) {
    std::vector<View*> pending{&root};
    while (!pending.empty()) {
        View* v = pending.back();
        pending.pop_back();
        f(*v);
        for (const auto& sub : v->subviews()) pending.push_back(sub.get());
    }
}

bool setConstantIfChanged(layout::LayoutEngine& engine, layout::LayoutConstraintId id, double constant) {
    if (!id.isValid()) return false;
    const auto spec = engine.spec(id);
    if (!spec || spec->constant == constant) return false;
    if (auto done = engine.setConstant(id, constant); !done) ConstraintLayout::report(done.error());
    return true;
}

}  // namespace

std::string ConstraintLayout::describe(const LayoutConstraint& constraint, const layout::ConstraintSpec& spec) {
    const auto nameOf = [](const LayoutAnchor& anchor) {
        const auto view = anchor.view();
        return view ? itemNameOf(*view, view->isWindow(), anchor.itemKind()) : std::string("?");
    };
    return layout::LayoutEngine::describe(spec, nameOf(constraint.first_),
                                          constraint.second_ ? nameOf(*constraint.second_) : std::string());
}

void ConstraintLayout::report(const layout::LayoutError& error) {
    switch (error.kind) {
    case layout::LayoutError::Kind::unsatisfiable:
        core::debugPrint("Layout: dropped a required constraint that cannot be met: " + error.constraint);
        return;
    case layout::LayoutError::Kind::outOfRange:
        core::debugPrint("Layout: refused a constraint with a value that is not finite or out of range: " +
                         error.constraint);
        return;
    case layout::LayoutError::Kind::solutionOutOfRange:
        core::debugPrint("Layout: dropped a constraint that would put a frame out of range: " + error.constraint);
        return;
    case layout::LayoutError::Kind::notInLayout: core::debugPrint("Layout: " + error.description); return;
    }
}

ConstraintLayout::ConstraintLayout(Window& window) : window_(window) {}

ConstraintLayout::~ConstraintLayout() {
    // Views that outlive the window forget their items: another window's
    // engine will register them anew; their constraints wait again.
    for (const auto& weak : views_) {
        auto view = weak.lock();
        if (!view) continue;
        for (const auto& c : view->constraintState_.constraints) {
            c->installed_ = {};
            c->window_.reset();
        }
        auto& constraints = view->constraintState_.constraints;
        view->constraintState_ = View::ConstraintState{};
        view->constraintState_.constraints = std::move(constraints);
    }
}

void ConstraintLayout::setNeedsUpdate() {
    pendingChanges_ = true;
    window_.scheduleLayoutPass();
}

// ---- Items ----

ItemId ConstraintLayout::itemFor(View& view) {
    auto& state = view.constraintState_;
    if (state.item.isValid()) return state.item;
    if (!view.isWindow()) {
        const auto superview = view.superview();
        if (!superview || !itemFor(*superview).isValid()) return {};
    }
    state.item = engine_.addItem(itemNameOf(view, view.isWindow(), LayoutItemKind::view));
    views_.push_back(view.weak_from_this());
    if (view.isWindow() || view.translatesAutoresizingMask_) addFrameConstraints(view);
    else updateContentSize(view);
    return state.item;
}

ItemId ConstraintLayout::itemFor(const LayoutAnchor& anchor) {
    const auto view = anchor.view();
    if (!view) return {};
    switch (anchor.itemKind()) {
    case LayoutItemKind::view: return itemFor(*view);
    case LayoutItemKind::safeArea: return guideItemFor(*view, 0);
    case LayoutItemKind::layoutMargins: return guideItemFor(*view, 1);
    }
    return {};
}

ItemId ConstraintLayout::guideItemFor(View& view, int guide) {
    const ItemId owner = itemFor(view);
    if (!owner.isValid()) return {};
    auto& state = view.constraintState_;
    if (state.guideItems[guide].isValid()) return state.guideItems[guide];
    const ItemId item = engine_.addItem(
        itemNameOf(view, view.isWindow(), guide == 0 ? LayoutItemKind::safeArea : LayoutItemKind::layoutMargins));
    state.guideItems[guide] = item;
    const EdgeInsets insets = guide == 0 ? view.safeAreaInsets() : view.layoutMargins();
    const std::pair<Attribute, double> edges[4] = {{Attribute::left, insets.left},
                                                   {Attribute::top, insets.top},
                                                   {Attribute::right, -insets.right},
                                                   {Attribute::bottom, -insets.bottom}};
    for (int i = 0; i < 4; ++i) {
        const auto [attribute, constant] = edges[i];
        auto id = engine_.addConstraint(ConstraintSpec{Anchor{item, attribute}, layout::Relation::equal,
                                                       Anchor{owner, attribute}, 1, constant, 1000});
        state.guideConstraints[guide][i] = id ? *id : layout::LayoutConstraintId{};
    }
    return item;
}

void ConstraintLayout::addFrameConstraints(View& view) {
    auto& state = view.constraintState_;
    const ItemId item = state.item;
    std::optional<Anchor> origin[2];
    Rect frame{Point{}, view.bounds().size};
    if (!view.isWindow()) {
        const ItemId superItem = view.superview()->constraintState_.item;
        origin[0] = Anchor{superItem, Attribute::left};
        origin[1] = Anchor{superItem, Attribute::top};
        frame = alignmentFrame(view);
    }
    const ConstraintSpec specs[4] = {
        {Anchor{item, Attribute::left}, layout::Relation::equal, origin[0], 1, frame.origin.x, 1000},
        {Anchor{item, Attribute::top}, layout::Relation::equal, origin[1], 1, frame.origin.y, 1000},
        {Anchor{item, Attribute::width}, layout::Relation::equal, std::nullopt, 1, frame.size.width, 1000},
        {Anchor{item, Attribute::height}, layout::Relation::equal, std::nullopt, 1, frame.size.height, 1000},
    };
    for (int i = 0; i < 4; ++i) {
        auto id = engine_.addConstraint(specs[i]);
        if (!id) report(id.error());
        state.frameConstraints[i] = id ? *id : layout::LayoutConstraintId{};
    }
}

void ConstraintLayout::removeFrameConstraints(View& view) {
    for (auto& id : view.constraintState_.frameConstraints) {
        engine_.removeConstraint(id);
        id = {};
    }
}

void ConstraintLayout::updateContentSize(View& view) {
    const ItemId item = view.constraintState_.item;
    for (const Axis axis : {Axis::horizontal, Axis::vertical}) {
        engine_.setContentHuggingPriority(item, axis, view.contentHuggingPriority(axis));
        engine_.setContentCompressionResistancePriority(item, axis, view.contentCompressionResistancePriority(axis));
    }
    const Size size = view.intrinsicContentSize();
    const auto valid = [](double v) {
        return v >= 0 && v <= layout::LayoutEngine::maximumMagnitude ? v : View::noIntrinsicMetric;
    };
    engine_.setIntrinsicContentSize(item, Size{valid(size.width), valid(size.height)});
}

bool ConstraintLayout::syncFrameConstraints(View& view) {
    const auto& ids = view.constraintState_.frameConstraints;
    const Rect frame = view.isWindow() ? Rect{Point{}, view.bounds().size} : alignmentFrame(view);
    bool changed = setConstantIfChanged(engine_, ids[0], frame.origin.x);
    changed |= setConstantIfChanged(engine_, ids[1], frame.origin.y);
    changed |= setConstantIfChanged(engine_, ids[2], frame.size.width);
    changed |= setConstantIfChanged(engine_, ids[3], frame.size.height);
    return changed;
}

bool ConstraintLayout::syncGuideConstraints(View& view) {
    bool changed = false;
    for (int guide = 0; guide < 2; ++guide) {
        const auto& ids = view.constraintState_.guideConstraints[guide];
        if (!view.constraintState_.guideItems[guide].isValid()) continue;
        const EdgeInsets insets = guide == 0 ? view.safeAreaInsets() : view.layoutMargins();
        changed |= setConstantIfChanged(engine_, ids[0], insets.left);
        changed |= setConstantIfChanged(engine_, ids[1], insets.top);
        changed |= setConstantIfChanged(engine_, ids[2], -insets.right);
        changed |= setConstantIfChanged(engine_, ids[3], -insets.bottom);
    }
    return changed;
}

void ConstraintLayout::unregister(View& view) {
    auto& state = view.constraintState_;
    for (auto& guide : state.guideItems) {
        if (guide.isValid()) engine_.removeItem(guide);
        guide = {};
    }
    if (state.item.isValid()) engine_.removeItem(state.item);
    state.item = {};
    for (auto& id : state.frameConstraints) id = {};
    for (auto& guide : state.guideConstraints)
        for (auto& id : guide) id = {};
}

// ---- Constraints ----

void ConstraintLayout::install(LayoutConstraint& constraint) {
    if (!constraint.active_ || constraint.installed_.isValid()) return;
    for (const auto& weak : constraint.views()) {
        const auto view = weak.lock();
        if (!view || view->window().get() != &window_) return;  // waits
    }
    const ItemId first = itemFor(constraint.first_);
    const ItemId second = constraint.second_ ? itemFor(*constraint.second_) : ItemId{};
    if (!first.isValid() || (constraint.second_ && !second.isValid())) return;
    ConstraintSpec spec = constraint.spec();
    spec.first.item = first;
    if (spec.second) spec.second->item = second;
    auto id = engine_.addConstraint(spec);
    if (!id) {
        report(id.error());
        constraint.setActive(false);
        return;
    }
    constraint.installed_ = *id;
    constraint.window_ = std::static_pointer_cast<Window>(window_.shared_from_this());
    setNeedsUpdate();
}

void ConstraintLayout::uninstall(LayoutConstraint& constraint) {
    if (!constraint.installed_.isValid()) return;
    engine_.removeConstraint(constraint.installed_);
    constraint.installed_ = {};
    constraint.window_.reset();
    setNeedsUpdate();
}

void ConstraintLayout::constantChanged(LayoutConstraint& constraint) {
    if (auto done = engine_.setConstant(constraint.installed_, constraint.constant_); !done) {
        report(done.error());
        constraint.installed_ = {};  // the engine has let it go
        constraint.setActive(false);
    }
    setNeedsUpdate();
}

void ConstraintLayout::priorityChanged(LayoutConstraint& constraint) {
    if (auto done = engine_.setPriority(constraint.installed_, constraint.priority_); !done) {
        report(done.error());
        if (!engine_.isActive(constraint.installed_)) constraint.installed_ = {};
        constraint.setActive(false);
    }
    setNeedsUpdate();
}

// ---- Views ----

void ConstraintLayout::intrinsicContentSizeChanged(View& view) {
    if (!view.constraintState_.item.isValid() || view.translatesAutoresizingMask_) return;
    updateContentSize(view);
    setNeedsUpdate();
}

void ConstraintLayout::translatesChanged(View& view) {
    if (!view.constraintState_.item.isValid() || view.isWindow()) return;
    if (view.translatesAutoresizingMask_) {
        engine_.setIntrinsicContentSize(view.constraintState_.item, Size{View::noIntrinsicMetric, View::noIntrinsicMetric});
        addFrameConstraints(view);
    } else {
        removeFrameConstraints(view);
        updateContentSize(view);
    }
    setNeedsUpdate();
}

void ConstraintLayout::subtreeWillLeave(View& root, ConstraintLayout* layout) {
    std::unordered_set<const View*> subtree;
    forEachInSubtree(root, [&](View& view) { subtree.insert(&view); });
    forEachInSubtree(root, [&](View& view) {
        for (const auto& c : std::vector(view.constraintState_.constraints)) {
            if (layout) layout->uninstall(*c);
            const bool inside = std::ranges::all_of(c->views(), [&](const std::weak_ptr<View>& weak) {
                const auto other = weak.lock();
                return other && subtree.contains(other.get());
            });
            if (!inside) c->setActive(false);
        }
    });
    if (!layout) return;
    forEachInSubtree(root, [&](View& view) { layout->unregister(view); });
    layout->setNeedsUpdate();
}

void ConstraintLayout::subtreeDidEnter(View& root, Window& window) {
    ConstraintLayout* layout = window.constraintLayout();
    forEachInSubtree(root, [&](View& view) {
        for (const auto& c : std::vector(view.constraintState_.constraints)) {
            if (c->installed_.isValid()) continue;
            if (!layout) layout = &window.ensureConstraintLayout();
            layout->install(*c);
        }
    });
}

// ---- Passes ----

bool ConstraintLayout::applySolution() {
    pendingChanges_ = false;
    std::erase_if(views_, [](const std::weak_ptr<View>& weak) {
        const auto view = weak.lock();
        return !view || !view->constraintState_.item.isValid();
    });
    std::vector<std::shared_ptr<View>> views;
    views.reserve(views_.size());
    for (const auto& weak : views_) views.push_back(weak.lock());

    for (const auto& view : views) {
        if (view->isWindow() || view->translatesAutoresizingMask_) syncFrameConstraints(*view);
        syncGuideConstraints(*view);
    }
    bool changed = false;
    for (const auto& view : views) {
        if (view->isWindow() || view->translatesAutoresizingMask_) continue;
        const auto superview = view->superview();
        if (!superview || !superview->constraintState_.item.isValid()) continue;
        const Rect solved = engine_.frame(view->constraintState_.item);
        const Rect outer = engine_.frame(superview->constraintState_.item);
        if (!isUsable(solved) || !isUsable(outer)) {
            core::debugPrint("Layout: kept the frame of " + itemNameOf(*view, false, LayoutItemKind::view) +
                             ": its solution is out of range");
            continue;
        }
        const Rect target{Point{clean(solved.origin.x - outer.origin.x), clean(solved.origin.y - outer.origin.y)},
                          Size{std::max(0.0, clean(solved.size.width)), std::max(0.0, clean(solved.size.height))}};
        const Rect current = alignmentFrame(*view);
        if (current == target) continue;
        changed = true;
        if (view->bounds().size != target.size) view->setBounds(Rect{view->bounds().origin, target.size});
        const Point center{target.origin.x + target.size.width / 2, target.origin.y + target.size.height / 2};
        if (view->center() != center) view->setCenter(center);
        const auto& guides = view->constraintState_.guideItems;
        if (guides[0].isValid() || guides[1].isValid()) pendingChanges_ = true;
    }
    return changed;
}

}  // namespace platform::ui
