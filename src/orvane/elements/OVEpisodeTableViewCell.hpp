// The episode row of the list elements (the podcast's episode list, the
// main page's recommendations): the publication date, the artwork (the
// podcast's when the episode has none) with an overlay and an equalizer on
// the current episode, the title on at most two lines, the podcast's name, a
// details button and a save button in a save area of its own.
//
// An ordinary reusable row: the owning list registers its nib (`nib`, under
// `ReuseIdentifier`), dequeues it, and on every dequeue sets its delegate,
// then calls `update(theme, mainColor)` before `update(episodeInPodcast)`,
// then whichever of the other updates it uses. Every update goes unchanged to
// the row's presenter, which answers with one record the row applies.
//
// Taps: details reports the episode shown at once; save plays the button's
// 0.4 s pop, hides the button and then reports the episode and podcast the
// row showed when the button was tapped. Reports go to the delegate as it is
// at that moment (held weakly; none, nothing is sent).
//
// Made only by its nib; owns its presenter, which refers to it weakly.
// Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/elements/OVEpisodeTableViewCellInput.hpp"
#include "orvane/elements/OVEpisodeTableViewCellInteractorInput.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/lists/TableViewCell.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/text/TextView.hpp"

namespace orvane {

class OVEpisodeTableViewCell : public platform::ui::TableViewCell, public OVEpisodeTableViewCellInput {
public:
    // The row's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVEpisodeTableViewCell";
    // The nib's builder (registered with the element nibs).
    static bool nib(platform::ui::NibBuild& build);
    // The title's height never exceeds this.
    static constexpr double maximumEpisodeTextViewHeight = 40;

    OVEpisodeTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    // ---- What the owning list sets ----
    std::shared_ptr<OVEpisodeTableViewCellDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVEpisodeTableViewCellDelegate> delegate) { delegate_ = std::move(delegate); }

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const OVTrackInPodcast& withEpisodeInPodcast);
    // Current when both the podcast (by identifier) and the episode (by key)
    // are the row's.
    void update(const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast);
    // The equalizer moves only while playing.
    void update(OVAudioPlayerStatus withAudioStatus);
    // The save area is 0 wide when hidden, 32 points otherwise.
    void updateAuxiliaryViewIsHidden(bool auxiliaryViewIsHidden);
    void updateEpisodeCanBeSaved(bool episodeCanBeSaved);
    // Fits the title's height to its text at the title's width, at most 40.
    void setEpisodeTextViewHeight();

    // ---- The records, from the presenter ----
    void update(const OVEpisodeTableViewCellModel::Style& withViewModel) override;
    void update(const OVEpisodeTableViewCellModel::Data& withViewModel) override;
    void update(const OVEpisodeTableViewCellModel::CurrentTrack& withViewModel) override;
    void update(const OVEpisodeTableViewCellModel::AudioStatus& withViewModel) override;
    void update(const OVEpisodeTableViewCellModel::AuxiliaryView& withViewModel) override;
    void update(const OVEpisodeTableViewCellModel::Save& withViewModel) override;

    // ---- The buttons' actions ----
    void didTapDetails(platform::ui::Button& sender);
    void didTapSave(platform::ui::Button& sender);

    // ---- The row's views, for the owning lists and their tests ----
    const std::shared_ptr<platform::ui::Label>& dateLabel() const { return dateLabel_; }
    const std::shared_ptr<OVImageView>& stImageView() const { return stImageView_; }
    const std::shared_ptr<platform::ui::View>& imageOverlay() const { return imageOverlay_; }
    const std::shared_ptr<OVEqualizerAnimationView>& equalizerAnimationView() const { return equalizerAnimationView_; }
    const std::shared_ptr<platform::ui::TextView>& episodeTextView() const { return episodeTextView_; }
    const platform::ui::LayoutConstraintPtr& episodeTextViewHeighConstraint() const {
        return episodeTextViewHeighConstraint_;
    }
    const std::shared_ptr<platform::ui::Label>& podcastLabel() const { return podcastLabel_; }
    const std::shared_ptr<platform::ui::Button>& detailsButton() const { return detailsButton_; }
    const platform::ui::LayoutConstraintPtr& auxiliaryViewWidthConstraint() const {
        return auxiliaryViewWidthConstraint_;
    }
    const std::shared_ptr<platform::ui::Button>& saveButton() const { return saveButton_; }

    void awakeFromNib() override;
    // Fits the title's height again when its width changed since it was
    // measured (the row first measures at its nib's width).
    void layoutSubviews() override;

private:
    struct Outlets;
    void connect(const Outlets& outlets);

    std::shared_ptr<platform::ui::Label> dateLabel_;
    std::shared_ptr<OVImageView> stImageView_;
    std::shared_ptr<platform::ui::View> imageOverlay_;
    std::shared_ptr<OVEqualizerAnimationView> equalizerAnimationView_;
    std::shared_ptr<platform::ui::TextView> episodeTextView_;
    platform::ui::LayoutConstraintPtr episodeTextViewHeighConstraint_;
    std::shared_ptr<platform::ui::Label> podcastLabel_;
    std::shared_ptr<platform::ui::Button> detailsButton_;
    platform::ui::LayoutConstraintPtr auxiliaryViewWidthConstraint_;
    std::shared_ptr<platform::ui::Button> saveButton_;
    std::weak_ptr<OVEpisodeTableViewCellDelegate> delegate_;
    std::shared_ptr<OVEpisodeTableViewCellInteractorInput> interactor_;
    double measuredTitleWidth_ = -1;
};

}  // namespace orvane
