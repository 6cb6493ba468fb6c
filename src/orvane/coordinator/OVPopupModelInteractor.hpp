// The popup's interactor: the popup is black with white text whatever the
// theme and the main colour, and shows its message as given. Each record
// goes to the popup if it still exists. Main thread only; the popup owns it
// and is held weakly.
#pragma once

#include <memory>

#include "orvane/coordinator/OVPopupInput.hpp"
#include "orvane/coordinator/OVPopupModelInteractorInput.hpp"

namespace orvane {

class OVPopupModelInteractor : public OVPopupModelInteractorInput {
public:
    explicit OVPopupModelInteractor(std::weak_ptr<OVPopupInput> view) : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const platform::ui::AttributedString& withAttributedString) override;

private:
    std::weak_ptr<OVPopupInput> view_;
};

}  // namespace orvane
