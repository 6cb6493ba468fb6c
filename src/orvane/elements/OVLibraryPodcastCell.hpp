// A row of the library list: a podcast of the listener's library with its
// artwork, its title, a download line, how long ago its newest episode came
// out, and the notification switch (switch on or switch off, at most one
// shown; neither for a podcast the listener is not subscribed to), with its
// own separator line at the bottom.
//
// An ordinary reusable row: the library list registers its nib (`nib`,
// under `ReuseIdentifier`) and on every hand-out calls, in order,
// `update(theme, mainColor)`, `update(podcast, userData)`, `setDelegate`.
// Both updates go unchanged to the row's presenter, which answers with one
// record the row applies.
//
// Switch off: the buttons change and the delegate hears it at once. Switch
// on: the button plays its 0.4 s pop, then the buttons change and the
// delegate hears it, for the podcast the row showed at the tap (unless the
// row shows another podcast by then, the buttons of the new one are left as
// they are).
//
// Made only by its nib; owns its presenter, which refers to it weakly.
// Main thread only.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVLibraryPodcastCellInput.hpp"
#include "orvane/elements/OVLibraryPodcastCellInteractor.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/lists/TableViewCell.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVLibraryPodcastCell : public platform::ui::TableViewCell, public OVLibraryPodcastCellInput {
public:
    // The row's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVLibraryPodcastCell";
    // The nib's builder (registered with the element nibs).
    static bool nib(platform::ui::NibBuild& build);

    OVLibraryPodcastCell(ConstructorKey key, const platform::graphics::Rect& frame);

    // ---- What the library list sets ----
    std::shared_ptr<OVLibraryPageUserAction> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVLibraryPageUserAction> delegate) { delegate_ = std::move(delegate); }
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const OVContent& withPodcast, const OVMock::UserData& andUserData);

    // ---- The records, from the presenter ----
    void update(const OVLibraryPodcastCellModel::Style& withViewModel) override;
    void update(const OVLibraryPodcastCellModel::Data& withViewModel) override;

    // ---- The buttons' actions ----
    void didTapStartNotification(platform::ui::Button& sender);
    void didTapStopNotification(platform::ui::Button& sender);

    // ---- The row's views, for the list and its tests ----
    const std::shared_ptr<OVImageView>& stImageView() const { return stImageView_; }
    const std::shared_ptr<platform::ui::Label>& podcastTitleLabel() const { return podcastTitleLabel_; }
    const std::shared_ptr<platform::ui::Label>& downloadedLabel() const { return downloadedLabel_; }
    const std::shared_ptr<platform::ui::Label>& lastEpisodeLabel() const { return lastEpisodeLabel_; }
    const std::shared_ptr<platform::ui::Button>& startNotificationButton() const { return startNotificationButton_; }
    const std::shared_ptr<platform::ui::Button>& stopNotificationButton() const { return stopNotificationButton_; }
    const std::shared_ptr<platform::ui::View>& customSeparator() const { return customSeparator_; }

    void awakeFromNib() override;

private:
    struct Outlets;
    void connect(const Outlets& outlets);

    std::shared_ptr<OVImageView> stImageView_;
    std::shared_ptr<platform::ui::Label> podcastTitleLabel_;
    std::shared_ptr<platform::ui::Label> downloadedLabel_;
    std::shared_ptr<platform::ui::Label> lastEpisodeLabel_;
    std::shared_ptr<platform::ui::Button> startNotificationButton_;
    std::shared_ptr<platform::ui::Button> stopNotificationButton_;
    std::shared_ptr<platform::ui::View> customSeparator_;
    std::weak_ptr<OVLibraryPageUserAction> delegate_;
    std::shared_ptr<OVLibraryPodcastCellInteractor> interactor_;
};

}  // namespace orvane
