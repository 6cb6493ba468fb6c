// The library page's presenter: owns the page's one element (the podcasts
// list), serves the page's table one row per element (the element's own
// cell, a plain empty cell for an element without one), passes the theme
// and the listener's library on to the cells, opens the page of a chosen
// podcast on the library screen and records notification switches through
// the coordinator.
//
// A notification switch counts only once the library holds it: then a
// switch-on shows its confirmation popup. When the library does not say so
// afterwards (no coordinator, or nothing stored), no popup is shown and the
// list is refreshed from the library, so the row shows again what is held.
//
// Made only by `create`, with the page and the coordinator, both held
// weakly; owned by the page. Main thread only.
#pragma once

#include <memory>

#include "orvane/pages/OVLibraryPageInteractorInput.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageProtocol.hpp"

namespace orvane {

class OVLibraryPageInteractor : public OVLibraryPageInteractorInput {
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    static std::shared_ptr<OVLibraryPageInteractor> create(const std::shared_ptr<OVPageProtocol>& view,
                                                           const std::shared_ptr<OVPageCoordinator>& coordinator);
    OVLibraryPageInteractor(ConstructorKey, const std::shared_ptr<OVPageProtocol>& view,
                            const std::shared_ptr<OVPageCoordinator>& coordinator)
        : coordinator_(coordinator), view_(view) {}
    OVLibraryPageInteractor(const OVLibraryPageInteractor&) = delete;
    OVLibraryPageInteractor& operator=(const OVLibraryPageInteractor&) = delete;

    void update(OVPageElements pageElements) override { pageElements_ = std::move(pageElements); }
    // Every element's cell, in row order.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    // The podcasts list's cells rebuild their rows from the library.
    void update(const OVMock::UserData& withUserData) override;
    const OVPageElements& pageElements() const override { return pageElements_; }
    void setPageElements(OVPageElements pageElements) override { pageElements_ = std::move(pageElements); }
    // A podcast page for it, pushed (animated) on the page's screen; nothing
    // without the coordinator or the page.
    void didSelectPodcast(const OVContent& podcast) override;
    void didToggleNotification(const OVContent& forPodcast, bool isActive) override;

    // ---- TableViewDataSource ----
    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

private:
    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVPageProtocol> view_;
    OVPageElements pageElements_;
};

}  // namespace orvane
