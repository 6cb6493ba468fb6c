// The constraint layout of one window: its `LayoutEngine`, the views and
// guides registered in it as items, and the passes that turn the solution
// into frames.
//
// A view becomes an item when a constraint naming it (or a view below it)
// is installed; its superviews up to the window become items too, so every
// position is relative to the window. A view that translates its
// autoresizing mask is held at its frame by four required constraints
// relative to its superview, re-read at every pass; the others are placed by
// the solver, with their intrinsic content size as hugging and compression
// resistance. A guide is its view's edges inset by the safe-area insets or
// the layout margins, re-read at every pass.
//
// What the engine refuses is reported with one debug line naming the
// constraint ("Layout: dropped a required constraint that cannot be met:
// View.width == 80"); a solved frame that is not finite or out of range is
// never applied (the view keeps its frame, with one debug line).
//
// Owned by the window, made with its first constraint. Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/layout/LayoutEngine.hpp"

namespace platform::ui {

class ConstraintLayout {
public:
    explicit ConstraintLayout(Window& window);
    ~ConstraintLayout();
    ConstraintLayout(const ConstraintLayout&) = delete;
    ConstraintLayout& operator=(const ConstraintLayout&) = delete;

    // Adds an active constraint to the engine when every view it names is in
    // this window; otherwise it stays waiting. A required constraint that
    // cannot hold is deactivated with one debug line.
    void install(LayoutConstraint& constraint);
    void uninstall(LayoutConstraint& constraint);
    void constantChanged(LayoutConstraint& constraint);
    void priorityChanged(LayoutConstraint& constraint);

    void intrinsicContentSizeChanged(View& view);
    void translatesChanged(View& view);

    // `root` and its subtree are leaving their superview: the constraints
    // reaching outside the subtree are deactivated, those inside it wait
    // (still active); the subtree's items leave `layout`, if any.
    static void subtreeWillLeave(View& root, ConstraintLayout* layout);
    // `root` and its subtree are now in `window`: install what waits.
    static void subtreeDidEnter(View& root, Window& window);

    // Re-reads translated frames and guide insets, then gives every view the
    // solver places its solved frame. Returns whether any frame changed.
    bool applySolution();

    bool hasPendingChanges() const { return pendingChanges_; }
    void setNeedsUpdate();

    layout::LayoutEngine& engine() { return engine_; }

    // The constraint as the engine names it in debug lines
    // ("Label.left == View.safeArea.right + 8"), with `spec`'s values.
    static std::string describe(const LayoutConstraint& constraint, const layout::ConstraintSpec& spec);
    // One debug line for what the engine refused.
    static void report(const layout::LayoutError& error);

private:
    layout::ItemId itemFor(View& view);
    layout::ItemId itemFor(const LayoutAnchor& anchor);
    layout::ItemId guideItemFor(View& view, int guide);
    void addFrameConstraints(View& view);
    void removeFrameConstraints(View& view);
    void updateContentSize(View& view);
    bool syncFrameConstraints(View& view);
    bool syncGuideConstraints(View& view);
    void unregister(View& view);

    Window& window_;
    layout::LayoutEngine engine_;
    // Registered views, in registration order (superviews first).
    std::vector<std::weak_ptr<View>> views_;
    bool pendingChanges_ = false;
};

}  // namespace platform::ui
