#include "orvane/elements/OVRecommandationListCellInteractor.hpp"

#include <string>

#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;

void OVRecommandationListCellInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    theme_ = withTheme;
    mainColor_ = andMainColor;
    if (const auto view = view_.lock()) {
        view->update(OVRecommandationListCellModel::Style{.backgroundColor = withTheme.backgroundColor(),
                                                          .headerTextColor = withTheme.cellHeaderFontColor(),
                                                          .separatorColor = withTheme.separatorColor()});
    }
}

void OVRecommandationListCellInteractor::update(std::vector<OVTrackInPodcast> withRecommendations) {
    recommendations_ = std::move(withRecommendations);
    if (const auto view = view_.lock()) view->dataSourceDidUpdate();
}

void OVRecommandationListCellInteractor::didSelectRow(const IndexPath& atIndexPath) {
    const auto* selected = recommendation(atIndexPath.row);
    if (!selected) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didSelectEpisode(*selected);
}

int OVRecommandationListCellInteractor::numberOfRows(TableView&, int) {
    return static_cast<int>(recommendations_.size());
}

std::shared_ptr<TableViewCell> OVRecommandationListCellInteractor::cellForRow(TableView& tableView,
                                                                              const IndexPath& indexPath) {
    if (!theme_ || !mainColor_) return TableViewCell::create();
    const auto* shown = recommendation(indexPath.row);
    if (!shown) {
        platform::core::debugPrint("recommendation list: no recommendation at row " + std::to_string(indexPath.row));
        return TableViewCell::create();
    }
    auto row = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(
        tableView.dequeueReusableCell(std::string(OVEpisodeTableViewCell::ReuseIdentifier), indexPath));
    if (!row) return TableViewCell::create();
    const auto view = view_.lock();
    row->setDelegate(view ? view->delegate() : nullptr);
    row->update(*theme_, *mainColor_);
    row->update(*shown);
    row->updateAuxiliaryViewIsHidden(false);
    row->updateEpisodeCanBeSaved(true);
    return row;
}

const OVTrackInPodcast* OVRecommandationListCellInteractor::recommendation(int row) const {
    if (row < 0 || row >= static_cast<int>(recommendations_.size())) return nullptr;
    return &recommendations_[static_cast<std::size_t>(row)];
}

}  // namespace orvane
