#include "orvane/pages/OVLibraryPageInteractor.hpp"

#include "orvane/elements/OVLibraryPodcastsListCell.hpp"
#include "orvane/pages/OVFanViewControllerProtocol.hpp"
#include "orvane/pages/OVLibraryPage.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;

std::shared_ptr<OVLibraryPageInteractor> OVLibraryPageInteractor::create(
    const std::shared_ptr<OVPageProtocol>& view, const std::shared_ptr<OVPageCoordinator>& coordinator) {
    return std::make_shared<OVLibraryPageInteractor>(ConstructorKey{}, view, coordinator);
}

void OVLibraryPageInteractor::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    for (const auto& element : pageElements_) {
        if (!element) continue;
        if (auto cell = element->elementTableViewCell()) cell->update(withTheme, andMainColor);
    }
}

void OVLibraryPageInteractor::update(const OVMock::UserData& withUserData) {
    for (const auto& element : pageElements_) {
        if (!element) continue;
        if (auto list = std::dynamic_pointer_cast<OVLibraryPodcastsListCell>(element->elementTableViewCell()))
            list->update(withUserData);
    }
}

void OVLibraryPageInteractor::didSelectPodcast(const OVContent& podcast) {
    const auto coordinator = coordinator_.lock();
    if (!coordinator) return;
    auto podcastPage = OVPage::create<OVPodcastPage>(coordinator);
    podcastPage->update(podcast);
    if (auto view = view_.lock()) view->push(podcastPage, /*animated=*/true);
}

void OVLibraryPageInteractor::didToggleNotification(const OVContent& forPodcast, bool isActive) {
    if (auto coordinator = coordinator_.lock())
        coordinator->subscription(OVSubscription::notification, forPodcast, isActive);
    auto& library = OVMock::UserData::shared();
    if (library.userHasSuscribded(forPodcast, OVSubscription::notification) != isActive) {
        platform::core::debugPrint("Library page: the notification switch of " + forPodcast.identifier +
                                   " was not stored; the list shows the library again");
        update(library);
        return;
    }
    if (!isActive) return;
    const auto title = forPodcast.description ? forPodcast.description->title : std::nullopt;
    const auto text = OVLibraryPage::popupAttributedText(OVSubscription::notification, title);
    if (!text) return;
    const auto view = view_.lock();
    if (!view) return;
    if (auto fan = view->fanViewController()) fan->displayPopup(*text);
}

int OVLibraryPageInteractor::numberOfRows(TableView& /*tableView*/, int /*section*/) {
    return static_cast<int>(pageElements_.size());
}

std::shared_ptr<TableViewCell> OVLibraryPageInteractor::cellForRow(TableView& /*tableView*/,
                                                                   const IndexPath& indexPath) {
    if (indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < pageElements_.size()) {
        if (const auto& element = pageElements_[static_cast<std::size_t>(indexPath.row)]) {
            if (auto cell = element->elementTableViewCell()) return cell;
        }
    }
    return TableViewCell::create();
}

}  // namespace orvane
