// A plain container view whose hit testing first asks a list of registered
// views (its touch views), wherever they lie, also outside its own bounds,
// before testing itself normally. The compact presentation registers its
// swipe-down button here so the button keeps receiving taps. Holds its touch
// views strongly, in registration order. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/views/View.hpp"

namespace orvane {

class OVViewWithTouchOutsideBounds : public platform::ui::View {
public:
    static std::shared_ptr<OVViewWithTouchOutsideBounds> create(const platform::graphics::Rect& frame = {});
    OVViewWithTouchOutsideBounds(ConstructorKey key, const platform::graphics::Rect& frame) : View(key, frame) {}

    const std::vector<std::shared_ptr<platform::ui::View>>& touchViews() const { return touchViews_; }
    void setTouchViews(std::vector<std::shared_ptr<platform::ui::View>> views) { touchViews_ = std::move(views); }
    // Appends `view`; a view registered twice is asked twice.
    void addTouchView(std::shared_ptr<platform::ui::View> view);

    // Each touch view, in registration order, answers by its own hit test of
    // the point converted into its coordinates; the first hit wins. Without
    // one, the plain view's hit test of the point.
    std::shared_ptr<platform::ui::View> hitTest(platform::graphics::Point point) override;

private:
    std::vector<std::shared_ptr<platform::ui::View>> touchViews_;
};

}  // namespace orvane
