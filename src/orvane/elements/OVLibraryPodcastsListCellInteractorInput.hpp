// What the library list cell hands its presenter, which is also the data
// source of the list's inner table: the theme, each new state of the library
// store, and the selection of a row. Owned by the list cell. Main thread only.
#pragma once

#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVLibraryPodcastsListCellInteractorInput : public platform::ui::TableViewDataSource {
public:
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const OVMock::UserData& withUserData) = 0;
    virtual void didSelectRow(const platform::ui::IndexPath& atIndexPath) = 0;
};

}  // namespace orvane
