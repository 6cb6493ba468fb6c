#include "orvane/coordinator/OVPopupModelInteractor.hpp"

namespace orvane {

using platform::graphics::Color;

void OVPopupModelInteractor::update(const OVTheme& /*withTheme*/, const Color& /*andMainColor*/) {
    if (auto view = view_.lock()) view->update(OVPopupModel::Style{Color::black(), Color::white()});
}

void OVPopupModelInteractor::update(const platform::ui::AttributedString& withAttributedString) {
    if (auto view = view_.lock()) view->update(OVPopupModel::Text{withAttributedString});
}

}  // namespace orvane
