// The listening page: the root page of the root container's middle screen.
// Its table shows four elements in a fixed order (player, description of
// the current episode, recommended episodes, current podcast); two side
// buttons page the container to the library and discover screens. It
// follows the widget's state through its state manager, serves the compact
// presentation with a preview view and the artwork ratio, and asks the root
// container not to show the footer player over it.
// Made only by `OVPage::create<OVMainPage>(coordinator)`; the page owns its
// presenter, its state manager and its elements; the coordinator is held
// weakly. Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVMainPage : public OVPage {
public:
    // Whether the left (library) and right (discover) side buttons are in
    // use; the root container sets both once its screens exist.
    struct NavigationBarButtons {
        bool left = false;
        bool right = false;
    };

    explicit OVMainPage(ConstructorKey key);
    ~OVMainPage() override;

    void initialize(const std::shared_ptr<OVPageCoordinator>& withCoordinator);

    void setNavigationBarButtonIsDisplayed(NavigationBarButtons buttons);
    NavigationBarButtons navigationBarButtonIsDisplayed() const;

    // The first visible row after a layout pass (the player row at the top
    // of the table); none when the table shows no row.
    std::shared_ptr<platform::ui::View> preview();
    // Sets the artwork constraint's constant to (ratio - 1) x page width
    // inside one batch of table updates; nothing when it already has it.
    void setImageRatio(double ratio, bool withoutAnimation);
    // The player cell's artwork constraint, if any.
    std::shared_ptr<platform::ui::LayoutConstraint> ratioConstraint() const;

    // An episode's download status changed (from the root container).
    virtual void downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack, const OVTrack::DownloadStatus& to);

private:
    NavigationBarButtons navigationBarButtonIsDisplayed_;
};

}  // namespace orvane
