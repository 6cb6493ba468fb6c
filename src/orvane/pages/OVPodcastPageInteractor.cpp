#include "orvane/pages/OVPodcastPageInteractor.hpp"

#include <string>

#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/elements/OVPodcastSubscriptionCell.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVLibraryPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPodcastUpdatable.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/ui/controllers/AlertController.hpp"

namespace orvane {

using platform::ui::AlertAction;
using platform::ui::AlertActionStyle;
using platform::ui::AlertController;
using platform::ui::AlertControllerStyle;

namespace {

// Each element of kind `Kind` that has a cell, in row order.
template <class Kind, class Visit>
void forEachCell(const OVPageElements& elements, Visit&& visit) {
    for (const auto& element : elements) {
        if (const auto kind = std::dynamic_pointer_cast<Kind>(element)) {
            if (const auto& cell = kind->tableViewCell()) visit(*cell);
        }
    }
}

}  // namespace

std::shared_ptr<OVPodcastPageInteractor> OVPodcastPageInteractor::create(
    const std::shared_ptr<OVPageProtocol>& page, const std::shared_ptr<OVPageCoordinator>& coordinator) {
    return std::make_shared<OVPodcastPageInteractor>(Token{}, page, coordinator);
}

void OVPodcastPageInteractor::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    for (const auto& element : pageElements_) {
        if (!element) continue;
        if (const auto cell = element->elementTableViewCell()) cell->update(withTheme, andMainColor);
    }
}

void OVPodcastPageInteractor::update(const OVContent& forPodcast) {
    podcast_ = forPodcast;
    for (const auto& element : pageElements_) {
        if (!element) continue;
        const auto cell = element->elementTableViewCell();
        if (!cell) continue;
        if (const auto subscription = std::dynamic_pointer_cast<OVPageElement::PodcastSubscription>(element)) {
            auto& library = OVMock::UserData::shared();
            subscription->tableViewCell()->updatePodcastSubscription(
                library.userHasSuscribded(forPodcast, OVSubscription::podcast), false);
            subscription->tableViewCell()->updateNotificationSubscription(
                library.userHasSuscribded(forPodcast, OVSubscription::notification), false);
            continue;
        }
        if (const auto description = std::dynamic_pointer_cast<OVPageElement::Description>(element);
            description && forPodcast.description) {
            description->tableViewCell()->update(*forPodcast.description);
            description->tableViewCell()->update(/*textIsDeveloped=*/false);
            continue;
        }
        if (auto* updatable = dynamic_cast<OVPodcastUpdatable*>(cell.get())) updatable->update(forPodcast);
    }
}

void OVPodcastPageInteractor::updateSubscriptionButtons(const OVContent& podcast, bool podcastPair) {
    const auto& library = OVMock::UserData::shared();
    const bool subscribed = library.userHasSuscribded(podcast, OVSubscription::podcast);
    const bool notified = library.userHasSuscribded(podcast, OVSubscription::notification);
    forEachCell<OVPageElement::PodcastSubscription>(pageElements_, [&](OVPodcastSubscriptionCell& cell) {
        if (podcastPair) cell.updatePodcastSubscription(subscribed, false);
        cell.updateNotificationSubscription(notified, false);
    });
}

void OVPodcastPageInteractor::updateForCurrentPodcast() {
    if (podcast_) updateSubscriptionButtons(*podcast_, /*podcastPair=*/true);
}

void OVPodcastPageInteractor::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    episode_ = withEpisode;
    forEachCell<OVPageElement::EpisodesList>(
        pageElements_, [&](OVPodcastEpisodesListCell& cell) { cell.update(withEpisode, inPodcast); });
}

void OVPodcastPageInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    forEachCell<OVPageElement::EpisodesList>(pageElements_,
                                             [&](OVPodcastEpisodesListCell& cell) { cell.update(withAudioStatus); });
}

void OVPodcastPageInteractor::subscription(OVSubscription forType, bool didChangeToValue,
                                           std::function<void(bool)> withCompletion) {
    if (!podcast_) return;
    const OVContent podcast = *podcast_;
    if (!didChangeToValue && forType == OVSubscription::podcast) {
        std::shared_ptr<platform::ui::View> anchor;
        forEachCell<OVPageElement::PodcastSubscription>(pageElements_, [&](OVPodcastSubscriptionCell& cell) {
            if (!anchor) anchor = cell.unsuscribeButton();
        });
        const std::weak_ptr<OVPodcastPageInteractor> weakSelf = weak_from_this();
        presentActionSheet(
            "UNSUBSCRIBE_ACTION_SHEET_TITLE", "UNSUBSCRIBE_ACTION_SHEET_UNSUBSCRIBE",
            [weakSelf, forType, didChangeToValue, podcast, withCompletion] {
                if (const auto self = weakSelf.lock())
                    self->executeAction(forType, didChangeToValue, podcast, withCompletion);
            },
            anchor);
    } else {
        executeAction(forType, didChangeToValue, podcast, withCompletion);
    }
    updateSubscriptionButtons(podcast, /*podcastPair=*/false);
}

void OVPodcastPageInteractor::executeAction(OVSubscription kind, bool value, const OVContent& podcast,
                                            const std::function<void(bool)>& completion) {
    const auto coordinator = coordinator_.lock();
    if (coordinator) coordinator->subscription(kind, podcast, value);
    // Done only when it was asked for and the library now says so (a
    // notification needs the podcast's entry, for one).
    if (!coordinator || OVMock::UserData::shared().userHasSuscribded(podcast, kind) != value) {
        platform::core::debugPrint(std::string("Orvane: the ") +
                                   (kind == OVSubscription::podcast ? "subscription" : "notification") +
                                   " change of podcast " + podcast.identifier + " was not stored");
        if (completion) completion(false);
        return;
    }
    if (value && podcast.description && podcast.description->title)
        displayPopup(OVLibraryPage::popupAttributedText(kind, podcast.description->title));
    if (completion) completion(true);
}

void OVPodcastPageInteractor::didSelectEpisode(const OVTrackInPodcast& trackInPodcast) {
    if (const auto coordinator = coordinator_.lock()) coordinator->didSelectEpisode(trackInPodcast);
}

void OVPodcastPageInteractor::didLongPress(const std::shared_ptr<OVTrack>& /*episode*/,
                                           const OVContent& /*forPodcastInSavedSection*/,
                                           std::function<void()> executeAction) {
    std::shared_ptr<platform::ui::View> anchor;
    forEachCell<OVPageElement::EpisodesList>(pageElements_, [&](OVPodcastEpisodesListCell& cell) {
        if (!anchor) anchor = std::static_pointer_cast<platform::ui::View>(cell.shared_from_this());
    });
    presentActionSheet(
        "PODCAST_PAGE_REMOVE_EPISODE_ACTION_SHEET_TITLE", "PODCAST_PAGE_REMOVE_EPISODE_ACTION_SHEET_REMOVE",
        [executeAction = std::move(executeAction)] {
            if (executeAction) executeAction();
        },
        anchor);
}

void OVPodcastPageInteractor::didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) {
    const auto coordinator = coordinator_.lock();
    if (!coordinator) return;
    auto episodePage = OVPage::create<OVEpisodePage>(coordinator);
    episodePage->updateWithCurrentState();
    episodePage->update(forTrackInPodcast);
    episodePage->updateOpenPodcastPageIsEnabled(false);
    if (const auto page = page_.lock()) page->push(episodePage, true);
}

void OVPodcastPageInteractor::didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    if (!episode) return;
    OVMock::UserData::shared().save(episode, inPodcast);
    displayPopup(OVLibraryPage::popupAttributedText(*episode));
}

void OVPodcastPageInteractor::displayPopup(const std::optional<platform::ui::AttributedString>& text) {
    if (!text) return;
    const auto page = page_.lock();
    if (const auto fan = page ? page->fanViewController() : nullptr) fan->displayPopup(*text);
}

bool OVPodcastPageInteractor::presentActionSheet(std::string_view titleKey, std::string_view destructiveKey,
                                                 std::function<void()> onDestructive,
                                                 const std::shared_ptr<platform::ui::View>& anchor) {
    const auto page = page_.lock();
    const auto fan = page ? page->fanViewController() : nullptr;
    const auto presenter = fan ? fan->viewController() : nullptr;
    if (!presenter) return false;
    auto sheet = AlertController::create(localized(titleKey), std::nullopt, AlertControllerStyle::actionSheet);
    sheet->addAction(AlertAction{localized(destructiveKey), AlertActionStyle::destructive,
                                 [onDestructive = std::move(onDestructive)](const AlertAction&) { onDestructive(); }});
    sheet->addAction(AlertAction{localized("CANCEL"), AlertActionStyle::cancel, {}});
    // At a regular width the sheet is a popover pointing at what was touched
    // (or at the container itself).
    const auto source = anchor && anchor->window() ? anchor : presenter->view();
    sheet->popoverAnchor().sourceView = source;
    sheet->popoverAnchor().sourceRect = source->bounds();
    if (presenter->present(sheet, true)) return true;
    platform::core::debugPrint("Orvane: the root container did not show the action sheet");
    return false;
}

int OVPodcastPageInteractor::numberOfRows(platform::ui::TableView& /*tableView*/, int /*section*/) {
    return static_cast<int>(pageElements_.size());
}

std::shared_ptr<platform::ui::TableViewCell> OVPodcastPageInteractor::cellForRow(
    platform::ui::TableView& /*tableView*/, const platform::ui::IndexPath& indexPath) {
    if (indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < pageElements_.size()) {
        if (const auto& element = pageElements_[static_cast<std::size_t>(indexPath.row)]) {
            if (auto cell = element->elementTableViewCell()) return cell;
        }
    }
    return platform::ui::TableViewCell::create();
}

}  // namespace orvane
