// An item of the discover page's grid of recommended episodes: the
// episode's artwork (the podcast's when the episode has none), its title and
// the podcast's name; on the current episode an overlay on the artwork with
// an equalizer that moves while the player plays. It has no buttons: a tap
// on it is the grid's.
//
// An ordinary reusable item: the grid registers its nib (`nib`, under
// `ReuseIdentifier`) and dresses every item it hands out. Each update goes
// unchanged to the item's presenter, which answers with one record the item
// applies.
//
// Made only by its nib; owns its presenter, which refers to it weakly.
// Main thread only.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVDiscoverRecommendationEpisodeCellInput.hpp"
#include "orvane/elements/OVDiscoverRecommendationEpisodeCellInteractorInput.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/CollectionViewCell.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVDiscoverRecommendationEpisodeCell : public platform::ui::CollectionViewCell,
                                            public OVDiscoverRecommendationEpisodeCellInput {
public:
    // The item's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVDiscoverRecommendationEpisodeCell";
    // The nib's builder (registered with the element nibs).
    static bool nib(platform::ui::NibBuild& build);

    OVDiscoverRecommendationEpisodeCell(ConstructorKey key, const platform::graphics::Rect& frame);

    // ---- From the grid ----
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast);
    // Current when both the podcast (by identifier) and the episode (by key)
    // are the item's; a null episode is never current.
    void updateWithCurrentEpisode(const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast);
    // The equalizer moves only while playing.
    void update(OVAudioPlayerStatus withAudioStatus);

    // ---- The records, from the presenter ----
    void update(const OVDiscoverRecommendationEpisodeCellModel::Style& withViewModel) override;
    void update(const OVDiscoverRecommendationEpisodeCellModel::Data& withViewModel) override;
    void update(const OVDiscoverRecommendationEpisodeCellModel::CurrentTrack& withViewModel) override;
    void update(const OVDiscoverRecommendationEpisodeCellModel::AudioStatus& withViewModel) override;

    // ---- The item's views, for the grid and its tests ----
    const std::shared_ptr<OVImageView>& imageView() const { return imageView_; }
    const std::shared_ptr<platform::ui::View>& imageOverlay() const { return imageOverlay_; }
    const std::shared_ptr<OVEqualizerAnimationView>& equalizerAnimationView() const { return equalizerAnimationView_; }
    const std::shared_ptr<platform::ui::Label>& episodeLabel() const { return episodeLabel_; }
    const std::shared_ptr<platform::ui::Label>& podcastLabel() const { return podcastLabel_; }

    void awakeFromNib() override;

private:
    struct Outlets;
    void connect(const Outlets& outlets);

    std::shared_ptr<OVImageView> imageView_;
    std::shared_ptr<platform::ui::View> imageOverlay_;
    std::shared_ptr<OVEqualizerAnimationView> equalizerAnimationView_;
    std::shared_ptr<platform::ui::Label> episodeLabel_;
    std::shared_ptr<platform::ui::Label> podcastLabel_;
    std::shared_ptr<OVDiscoverRecommendationEpisodeCellInteractorInput> interactor_;
};

}  // namespace orvane
