#include "orvane/elements/OVLibraryPodcastsListCellInteractor.hpp"

#include <algorithm>
#include <string>

#include "orvane/elements/OVLibraryPodcastCell.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;

void OVLibraryPodcastsListCellInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    theme_ = withTheme;
    mainColor_ = andMainColor;
    if (const auto view = view_.lock())
        view->update(OVLibraryPodcastsListCellModel::Style{.backgroundColor = withTheme.backgroundColor()});
}

void OVLibraryPodcastsListCellInteractor::update(const OVMock::UserData& withUserData) {
    userData_ = withUserData;
    using Entry = std::pair<const OVContent*, const OVMock::UserData::PodcastDataStructure*>;
    std::vector<Entry> entries;
    entries.reserve(userData_->library().size());
    for (const auto& [podcast, entry] : userData_->library()) entries.emplace_back(&podcast, &entry);
    // The latest action first; the key breaks ties so the order is stable.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (*b.second < *a.second) return true;
        if (*a.second < *b.second) return false;
        return a.first->identifier < b.first->identifier;
    });
    std::vector<OVContent> podcasts;
    podcasts.reserve(entries.size());
    for (const auto& entry : entries) podcasts.push_back(*entry.first);
    podcasts_ = std::move(podcasts);
    if (const auto view = view_.lock()) view->dataSourceDidUpdate();
}

void OVLibraryPodcastsListCellInteractor::didSelectRow(const IndexPath& atIndexPath) {
    const auto* selected = podcast(atIndexPath.row);
    if (!selected) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didSelectPodcast(*selected);
}

int OVLibraryPodcastsListCellInteractor::numberOfRows(TableView&, int) { return static_cast<int>(podcasts_.size()); }

std::shared_ptr<TableViewCell> OVLibraryPodcastsListCellInteractor::cellForRow(TableView& tableView,
                                                                               const IndexPath& indexPath) {
    if (!userData_ || !theme_ || !mainColor_) return TableViewCell::create();
    const auto* shown = podcast(indexPath.row);
    if (!shown) {
        platform::core::debugPrint("library list: no podcast at row " + std::to_string(indexPath.row));
        return TableViewCell::create();
    }
    auto row = std::dynamic_pointer_cast<OVLibraryPodcastCell>(
        tableView.dequeueReusableCell(std::string(OVLibraryPodcastCell::ReuseIdentifier), indexPath));
    if (!row) return TableViewCell::create();
    row->update(*theme_, *mainColor_);
    row->update(*shown, *userData_);
    const auto view = view_.lock();
    row->setDelegate(view ? view->delegate() : nullptr);
    return row;
}

const OVContent* OVLibraryPodcastsListCellInteractor::podcast(int row) const {
    if (row < 0 || row >= static_cast<int>(podcasts_.size())) return nullptr;
    return &podcasts_[static_cast<std::size_t>(row)];
}

}  // namespace orvane
