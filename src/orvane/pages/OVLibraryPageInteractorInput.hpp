// The library page's presenter as the page sees it: the table's data source,
// the element list, the updates the page passes on and the two user actions
// of the podcasts list. Main thread only.
#pragma once

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVLibraryPageInteractorInput : public platform::ui::TableViewDataSource {
public:
    virtual void update(OVPageElements pageElements) = 0;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const OVMock::UserData& withUserData) = 0;
    virtual const OVPageElements& pageElements() const = 0;
    virtual void setPageElements(OVPageElements pageElements) = 0;
    virtual void didSelectPodcast(const OVContent& podcast) = 0;
    virtual void didToggleNotification(const OVContent& forPodcast, bool isActive) = 0;
};

}  // namespace orvane
