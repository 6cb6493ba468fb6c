// The main page's presenter: owns the page's four elements (player,
// description, recommendation list, current podcast; rows 0 to 3) and
// serves them to the page's table, one row per element; writes the current
// episode, its podcast, the recommendations and the theme into the element
// cells in place (the table is never reloaded); opens the podcast page of
// the current podcast and the episode page of a recommended episode, pushed
// with animation onto the main page's screen; saves episodes into the user
// library with their confirmation popup, and hands a chosen episode to the
// coordinator.
//
// Made only by the main page (`create(page, coordinator)`), which owns it;
// the page and the coordinator are held weakly, and a gone one is simply
// not told. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/pages/OVMainPageInteractorInput.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "orvane/pages/OVmainPageInput.hpp"

namespace orvane {

class OVMainPageInteractor : public OVPageInteractorInteractor, public OVMainPageInteractorInput {
public:
    static std::shared_ptr<OVMainPageInteractor> create(const std::shared_ptr<OVmainPageInput>& page,
                                                        const std::shared_ptr<OVPageCoordinator>& coordinator);
    OVMainPageInteractor(ConstructorKey key, const std::shared_ptr<OVmainPageInput>& page,
                         const std::shared_ptr<OVPageCoordinator>& coordinator);

    using OVPageInteractorInteractor::update;

    // Stores both, then themes the player, description and current-podcast cells.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    // Keeps the podcast as the current one; the player shows the episode
    // (and may seek), the description shows its text collapsed (a previous
    // text stays when it has none) and the last row names the podcast; the
    // recommendation list is not told.
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(const std::vector<OVTrackInPodcast>& withRecommendations) override;
    // Opens the episode page of the pair (with a coordinator only).
    void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) override;
    // Keeps the episode in the library, then shows the confirmation when
    // the page stands in a root container.
    void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) override;
    void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) override;
    // The current-podcast row opens that podcast's page, once an episode
    // has arrived; other rows do nothing.
    void didSelectRowAt(const platform::ui::IndexPath& indexPath) override;

private:
    std::weak_ptr<OVmainPageInput> page_;
    std::optional<OVContent> currentPodcast_;
};

}  // namespace orvane
