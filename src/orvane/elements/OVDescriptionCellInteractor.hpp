// The description element's logic: builds the style from the theme (kept for
// the descriptions that follow), the header and text from a description's
// HTML, and passes the developed flag on; its cell applies each. A
// description that arrives before the first theme, or without text, is
// dropped. Owned by its cell, which it holds weakly; main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/elements/OVDescriptionCellInput.hpp"
#include "orvane/elements/OVDescriptionCellInputInteractorInput.hpp"

namespace orvane {

class OVDescriptionCellInteractor final : public OVDescriptionCellInputInteractorInput {
public:
    explicit OVDescriptionCellInteractor(std::weak_ptr<OVDescriptionCellInput> view) : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) override;
    void update(const OVObjDescription& withDescription) override;
    void update(bool textIsDeveloped) override;

    const std::optional<OVTheme>& theme() const { return theme_; }

private:
    std::weak_ptr<OVDescriptionCellInput> view_;
    std::optional<OVTheme> theme_;
};

}  // namespace orvane
