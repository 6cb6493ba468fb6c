#include "orvane/pages/OVPageFooter.hpp"

#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::Label;
using platform::ui::NibBuild;
using platform::ui::NibRegistry;
using platform::graphics::Rect;

// ---- OVPageFooterInteractor ----

void OVPageFooterInteractor::update(const OVTheme& withTheme, const Color& /*andMainColor*/) {
    if (auto view = view_.lock()) {
        view->update(OVPageFooterModel::Style{withTheme.backgroundColor(), withTheme.propulsedTextColor()});
    }
}

void OVPageFooterInteractor::update(const std::string& withText) {
    if (auto view = view_.lock()) view->update(OVPageFooterModel::Data{withText});
}

// ---- OVPageFooter ----

std::shared_ptr<OVPageFooter> OVPageFooter::create(const Rect& frame) {
    return std::make_shared<OVPageFooter>(ConstructorKey{}, frame);
}

void OVPageFooter::registerNib() {
    NibRegistry::shared().registerNib(nibName, [](NibBuild& build) {
        auto footer = create(Rect{0, 0, 375, height});
        auto label = Label::create(footer->bounds());
        label->setAutoresizingMask(platform::ui::AutoresizingMask::flexibleWidth |
                                   platform::ui::AutoresizingMask::flexibleHeight);
        label->setTextAlignment(platform::ui::TextAlignment::center);
        footer->addSubview(label);
        build.add(footer);
        build.add(label, false);
        build.connect([footer, label] { footer->setPropulsedText(label); });
        return true;
    });
}

std::shared_ptr<OVPageFooter> OVPageFooter::makeForPage(const std::shared_ptr<void>& owner,
                                                        const std::optional<OVTheme>& theme,
                                                        const std::optional<std::string>& poweredByLabel) {
    // The nib is the module's own: made known on first use unless a
    // builder of that name is already registered.
    if (!NibRegistry::shared().hasNib(nibName)) registerNib();
    auto footer = NibRegistry::shared().instantiateFirst<OVPageFooter>(nibName, owner);
    if (!footer || !theme || !poweredByLabel) return nullptr;
    footer->update(*poweredByLabel);
    return footer;
}

void OVPageFooter::awakeFromNib() {
    View::awakeFromNib();
    interactor_ = std::make_shared<OVPageFooterInteractor>(
        std::static_pointer_cast<OVPageFooter>(shared_from_this()));
    auto heightConstraint = heightAnchor().constraintEqualToConstant(height);
    heightConstraint->setPriority(heightPriority);
    heightConstraint->setActive(true);
}

void OVPageFooter::update(const OVTheme& withTheme, const Color& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVPageFooter::update(const std::string& withText) {
    if (interactor_) interactor_->update(withText);
}

void OVPageFooter::update(const OVPageFooterModel::Style& withViewModel) {
    setBackgroundColor(withViewModel.backgroundColor);
    if (propulsedText_) propulsedText_->setTextColor(withViewModel.textColor);
}

void OVPageFooter::update(const OVPageFooterModel::Data& withViewModel) {
    if (propulsedText_) propulsedText_->setText(withViewModel.text);
}

}  // namespace orvane
