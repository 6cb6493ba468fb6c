// What the recommendation list cell hands its presenter, which is also the
// data source of the list's inner table: the theme, each new list of
// recommended episodes and the selection of a row. Owned by the list cell.
// Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVRecommandationListCellInteractorInput : public platform::ui::TableViewDataSource {
public:
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(std::vector<OVTrackInPodcast> withRecommendations) = 0;
    virtual void didSelectRow(const platform::ui::IndexPath& atIndexPath) = 0;
};

}  // namespace orvane
