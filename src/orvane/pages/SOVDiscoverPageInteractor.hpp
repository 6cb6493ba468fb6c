// The discover page's presenter: owns the page's two elements (headline
// podcasts, then recommended episodes), serves the page's table one row per
// element (the element's own cell, a plain empty cell for an element
// without one), passes the theme to every cell and the current episode and
// player status to the recommended episodes only, and opens the page of a
// chosen podcast or of an episode whose details were asked for, pushed on
// the discover screen.
//
// Made only by `create`, with the page and the coordinator, both held
// weakly; owned by the page. Main thread only.
#pragma once

#include <memory>

#include "orvane/pages/OVDiscoverPageInput.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/SOVDiscoverPageInteractorInput.hpp"

namespace orvane {

class SOVDiscoverPageInteractor : public SOVDiscoverPageInteractorInput {
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    static std::shared_ptr<SOVDiscoverPageInteractor> create(const std::shared_ptr<OVDiscoverPageInput>& page,
                                                             const std::shared_ptr<OVPageCoordinator>& coordinator);
    SOVDiscoverPageInteractor(ConstructorKey, const std::shared_ptr<OVDiscoverPageInput>& page,
                              const std::shared_ptr<OVPageCoordinator>& coordinator)
        : coordinator_(coordinator), page_(page) {}
    SOVDiscoverPageInteractor(const SOVDiscoverPageInteractor&) = delete;
    SOVDiscoverPageInteractor& operator=(const SOVDiscoverPageInteractor&) = delete;

    void update(OVPageElements pageElements) override { pageElements_ = std::move(pageElements); }
    const OVPageElements& pageElements() const override { return pageElements_; }
    // Every element's cell, in row order.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    // The recommended episodes' cells only.
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    // A podcast page for it, pushed (animated); nothing without the
    // coordinator or the page.
    void didSelectPodcast(const OVContent& podcast) override;
    // An episode page showing that episode of that podcast, pushed
    // (animated); nothing without the coordinator or the page.
    void didTapForDetails(const std::shared_ptr<OVTrack>& forTrack, const OVContent& inPodcast) override;

    // ---- TableViewDataSource ----
    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

private:
    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVDiscoverPageInput> page_;
    OVPageElements pageElements_;
};

}  // namespace orvane
