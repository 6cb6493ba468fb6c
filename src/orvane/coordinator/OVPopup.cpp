#include "orvane/coordinator/OVPopup.hpp"

#include <charconv>
#include <limits>
#include <string>

#include "orvane/coordinator/OVPopupModelInteractor.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {

std::string number(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

}  // namespace

OVPopup::OVPopup(ConstructorKey key, const Rect& frame) : View(key, frame) {}

OVPopup::~OVPopup() = default;

bool OVPopup::nib(NibBuild& build) {
    auto popup = std::make_shared<OVPopup>(ConstructorKey{}, Rect{0, 0, width, 2 * textViewInset});
    auto text = TextView::create(Rect{textViewInset, textViewInset, textWidth, 0});
    text->setEditable(false);
    text->setSelectable(false);
    text->setUserInteractionEnabled(false);
    text->setBackgroundColor(Color::clear());
    text->setTextContainerInset(EdgeInsets{textViewInset, textViewInset, textViewInset, textViewInset});
    text->setLineFragmentPadding(0);
    text->setTranslatesAutoresizingMaskIntoConstraints(false);
    popup->addSubview(text);
    build.add(text, false);
    // The box holds the text view at its insets: its height follows the text's.
    LayoutConstraint::activate({
        text->topAnchor().constraintEqualTo(popup->topAnchor(), textViewInset),
        text->leftAnchor().constraintEqualTo(popup->leftAnchor(), textViewInset),
        text->rightAnchor().constraintEqualTo(popup->rightAnchor(), -textViewInset),
        text->bottomAnchor().constraintEqualTo(popup->bottomAnchor(), -textViewInset),
    });
    build.add(popup);
    build.connect([popup, text] { popup->textView_ = text; });
    return true;
}

void OVPopup::registerNib() { NibRegistry::shared().registerNib(std::string(NibName), &OVPopup::nib); }

std::shared_ptr<OVPopup> OVPopup::make() {
    return NibRegistry::shared().instantiateFirst<OVPopup>(std::string(NibName));
}

void OVPopup::awakeFromNib() {
    View::awakeFromNib();
    interactor_ = std::make_shared<OVPopupModelInteractor>(
        std::static_pointer_cast<OVPopupInput>(std::static_pointer_cast<OVPopup>(shared_from_this())));
    setTranslatesAutoresizingMaskIntoConstraints(false);
    layer()->setCornerRadius(cornerRadius);
    setClipsToBounds(true);
    setConstraints();
}

void OVPopup::setConstraints() {
    widthAnchor().constraintEqualToConstant(width)->setActive(true);
    if (auto text = textView_.lock()) {
        heightConstraint_ = text->heightAnchor().constraintEqualToConstant(0);
        heightConstraint_->setActive(true);
    }
}

void OVPopup::setHeightToFit() {
    auto text = textView_.lock();
    if (!text || !heightConstraint_) return;
    const auto size = text->sizeThatFits({textWidth, static_cast<double>(std::numeric_limits<float>::max())});
    platform::core::debugPrint("setHeightToFit " + number(size.width) + " x " + number(size.height));
    heightConstraint_->setConstant(size.height);
}

void OVPopup::update(const OVTheme& withTheme, const Color& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVPopup::update(const AttributedString& withAttributedString) {
    if (interactor_) interactor_->update(withAttributedString);
}

void OVPopup::update(const OVPopupModel::Style& viewModel) {
    setBackgroundColor(viewModel.backgroundColor);
    if (auto text = textView_.lock()) text->setTextColor(viewModel.textColor);
}

void OVPopup::update(const OVPopupModel::Text& viewModel) {
    if (auto text = textView_.lock()) text->setAttributedText(viewModel.attributedString);
    setHeightToFit();
    layoutIfNeeded();
}

}  // namespace orvane
