// What the headline row cell hands its presenter, which is also the
// carousel's data source: the theme (the main colour may be none), each new
// list of podcasts, and the choice of an item. Owned by the row cell. Main
// thread only.
#pragma once

#include <optional>
#include <vector>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/CollectionView.hpp"

namespace orvane {

class OVRecommendationHeadlinesCellInteractorInput : public platform::ui::CollectionViewDataSource {
public:
    virtual void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) = 0;
    virtual void update(std::vector<OVContent> withRecommendations) = 0;
    virtual void didSelectRow(const platform::ui::IndexPath& atIndexPath) = 0;
};

}  // namespace orvane
