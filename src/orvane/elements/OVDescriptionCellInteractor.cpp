#include "orvane/elements/OVDescriptionCellInteractor.hpp"

#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/AttributedStringExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::AttributedString;

namespace {

std::optional<AttributedString> html(std::string_view text, const platform::ui::Font& font, const Color& color) {
    auto converted = attributedStringForHTMLString(text, font, color);
    if (!converted) return std::nullopt;
    return *converted;
}

}  // namespace

void OVDescriptionCellInteractor::update(const OVTheme& withTheme, const std::optional<Color>& andMainColor) {
    theme_ = withTheme;
    const OVDescriptionCellModel::Style style{
        .backgroundColor = withTheme.backgroundColor(),
        .mainColor = andMainColor.value_or(Color::black()),
        .titleTextColor = withTheme.color(OVTheme::FontColor::typeA),
        .textViewTextColor = withTheme.color(OVTheme::FontColor::typeB),
        .separatorColor = withTheme.separatorColor(),
    };
    if (auto view = view_.lock()) view->update(style);
}

void OVDescriptionCellInteractor::update(const OVObjDescription& withDescription) {
    if (!theme_) return;
    const auto& headerFont = OVConstants::OVDescriptionTextTableViewCell::headerFont();
    if (!headerFont) return;
    auto title = html(localized("DESCRIPTION_PAGE_ELEMENT_HEADER"), *headerFont, theme_->cellHeaderFontColor());
    const auto& textFont = OVConstants::OVDescriptionTextTableViewCell::textFont();
    if (!textFont || !withDescription.text) return;
    auto text = html(*withDescription.text, *textFont, theme_->color(OVTheme::FontColor::typeB));
    if (auto view = view_.lock()) view->update(OVDescriptionCellModel::Data{std::move(title), std::move(text)});
}

void OVDescriptionCellInteractor::update(bool textIsDeveloped) {
    if (auto view = view_.lock()) view->update(OVDescriptionCellModel::TextIsDeveloped{textIsDeveloped});
}

}  // namespace orvane
