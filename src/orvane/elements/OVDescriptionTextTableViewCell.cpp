#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"

#include <algorithm>

#include "orvane/elements/OVDescriptionCellInteractor.hpp"
#include "orvane/elements/OVWebAddress.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/ui/views/Application.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using platform::ui::Button;
using platform::ui::ControlState;
using platform::ui::Label;
using platform::ui::LayoutConstraint;
using platform::ui::View;

namespace {

// The fade over the end of a collapsed text: its gradient sublayers follow
// its bounds at each layout.
class FadeView final : public View {
public:
    static std::shared_ptr<FadeView> create() { return std::make_shared<FadeView>(ConstructorKey{}, Rect{}); }
    FadeView(ConstructorKey key, const Rect& frame) : View(key, frame) {}

    void layoutSubviews() override {
        View::layoutSubviews();
        for (const auto& sublayer : layer()->sublayers())
            if (std::dynamic_pointer_cast<platform::ui::GradientLayer>(sublayer)) sublayer->setFrame(bounds());
    }
};

constexpr double textTopSpacing = 8;
constexpr double textBottomSpacing = 16;
constexpr double fadeWidth = 170;
constexpr double readMoreWidth = 90;
constexpr double readMoreHeight = 22;
// The largest single-precision float: no limit to the measured height.
constexpr double unboundedHeight = 3.4028234663852886e38;
// More lines than a collapsed text can show.
constexpr int maximumCollapsedLines = 64;

}  // namespace

OVDescriptionTextTableViewCell::OVDescriptionTextTableViewCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVDescriptionTextTableViewCell::nib(platform::ui::NibBuild& build) {
    auto cell = std::make_shared<OVDescriptionTextTableViewCell>(ConstructorKey{}, Rect{0, 0, 375, 160});
    const auto& content = cell->contentView();
    auto header = Label::create();
    auto text = OVTextView::create();
    auto fade = FadeView::create();
    auto button = Button::create();
    for (const std::shared_ptr<View>& view : {std::static_pointer_cast<View>(header), std::static_pointer_cast<View>(text),
                                              std::static_pointer_cast<View>(fade), std::static_pointer_cast<View>(button)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
    }
    text->setClipsToBounds(true);
    fade->setUserInteractionEnabled(false);
    auto height = text->heightAnchor().constraintEqualToConstant(collapsedHeight);
    const auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        header->topAnchor().constraintEqualTo(margins.topAnchor()),
        header->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        header->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        text->topAnchor().constraintEqualTo(header->bottomAnchor(), textTopSpacing),
        text->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        text->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        height,
        margins.bottomAnchor().constraintEqualTo(text->bottomAnchor(), textBottomSpacing),
        fade->trailingAnchor().constraintEqualTo(text->trailingAnchor()),
        fade->bottomAnchor().constraintEqualTo(text->bottomAnchor()),
        fade->widthAnchor().constraintEqualToConstant(fadeWidth),
        fade->heightAnchor().constraintEqualToConstant(readMoreHeight),
        button->trailingAnchor().constraintEqualTo(text->trailingAnchor()),
        button->bottomAnchor().constraintEqualTo(text->bottomAnchor()),
        button->widthAnchor().constraintEqualToConstant(readMoreWidth),
        button->heightAnchor().constraintEqualToConstant(readMoreHeight),
    });
    build.add(cell);
    build.connect([cell, header, text, height, fade, button] {
        cell->headerLabel_ = header;
        cell->textView_ = text;
        cell->textViewHeightConstraint_ = height;
        cell->alphaGradientView_ = fade;
        cell->expandTextButton_ = button;
    });
    return true;
}

void OVDescriptionTextTableViewCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVDescriptionTextTableViewCell>(shared_from_this());
    interactor_ = std::make_shared<OVDescriptionCellInteractor>(std::static_pointer_cast<OVDescriptionCellInput>(self));
    initializeUI();
    expandTextButton_->addTarget(self, &OVDescriptionTextTableViewCell::seeMore,
                                 platform::ui::ControlEvents::touchUpInside);
    // Not part of a page yet: changes nothing.
    update(true);
}

void OVDescriptionTextTableViewCell::initializeUI() {
    textView_->setTextContainerInset({0, 0, 0, 0});
    textView_->setLineFragmentPadding(0);
    textView_->setSelectable(true);
    textView_->setEditable(false);
    textView_->setDelegate(std::static_pointer_cast<OVDescriptionTextTableViewCell>(shared_from_this()));
    textView_->setLinkOpener([](const std::string& url) { platform::ui::Application::shared().open(url); });
    headerLabel_->setFont(OVConstants::OVPageElementTableViewCell::headerFont());
    expandTextButton_->setTitle(localized("DESCRIPTION_CELL_READ_MORE"), ControlState::normal);
    expandTextButton_->titleLabel()->setFont(OVConstants::OVDescriptionTextTableViewCell::textFont());
}

void OVDescriptionTextTableViewCell::update(const OVTheme& theme, const Color& mainColor) {
    update(theme, std::optional<Color>(mainColor));
}

void OVDescriptionTextTableViewCell::update(const OVTheme& withTheme, const std::optional<Color>& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVDescriptionTextTableViewCell::update(const OVObjDescription& withDescription) {
    if (interactor_) interactor_->update(withDescription);
}

void OVDescriptionTextTableViewCell::update(bool textIsDeveloped) {
    if (interactor_) interactor_->update(textIsDeveloped);
}

void OVDescriptionTextTableViewCell::update(const OVContent& withPodcast) {
    if (withPodcast.description) update(*withPodcast.description);
}

void OVDescriptionTextTableViewCell::update(const OVDescriptionCellModel::Style& withViewModel) {
    contentView()->setBackgroundColor(withViewModel.backgroundColor);
    setGradient(withViewModel.backgroundColor);
    headerLabel_->setTextColor(withViewModel.titleTextColor);
    textView_->setTextColor(withViewModel.textViewTextColor);
    expandTextButton_->setBackgroundColor(withViewModel.backgroundColor);
    expandTextButton_->setTitleColor(withViewModel.mainColor, ControlState::normal);
    displaySeparator(Separator::Configuration{withViewModel.separatorColor, Separator::Position::bottom,
                                              OVConstants::OVPageElementTableViewCell::separatorHaight, 0, 0});
}

void OVDescriptionTextTableViewCell::setGradient(const Color& forThemeColor) {
    // One layer for the cell's life, restyled by each theme.
    if (!gradientLayer_) {
        gradientLayer_ = platform::ui::GradientLayer::create();
        alphaGradientView_->layer()->addSublayer(gradientLayer_);
    }
    gradientLayer_->setFrame(alphaGradientView_->bounds());
    gradientLayer_->setColors({forThemeColor.withAlphaComponent(0), forThemeColor});
    gradientLayer_->setStartPoint({0, 0});
    gradientLayer_->setEndPoint({1, 0});
}

void OVDescriptionTextTableViewCell::update(const OVDescriptionCellModel::Data& withViewModel) {
    headerLabel_->setAttributedText(withViewModel.title);
    textView_->setAttributedText(withViewModel.text.value_or(platform::ui::AttributedString{}));
}

void OVDescriptionTextTableViewCell::update(const OVDescriptionCellModel::TextIsDeveloped& withViewModel) {
    const double width = OVPage::width().value_or(bounds().size.width) -
                         2 * OVConstants::OVPageElementTableViewCell::horizontalMargin;
    // The whole text is measured, whatever the collapsed view showed.
    const int shownLines = textView_->maximumNumberOfLines();
    textView_->setMaximumNumberOfLines(0);
    const double textHeight = textView_->sizeThatFits({width, unboundedHeight}).height;
    const auto element = this->element();
    const auto page = element ? element->page() : nullptr;
    if (!page) {
        textView_->setMaximumNumberOfLines(shownLines);
        return;
    }
    const bool developed = withViewModel.value;
    page->execute([&] {
        if (developed) {
            alphaGradientView_->setHidden(true);
            expandTextButton_->setHidden(true);
            textViewHeightConstraint_->setConstant(textHeight);
        } else if (textHeight > collapsedHeight) {
            alphaGradientView_->setHidden(false);
            expandTextButton_->setHidden(false);
            textViewHeightConstraint_->setConstant(collapsedHeight);
            // Only lines that fit whole: no half line shows under the cut.
            textView_->setMaximumNumberOfLines(wholeLinesWithin(collapsedHeight, width));
        } else {
            alphaGradientView_->setHidden(true);
            expandTextButton_->setHidden(true);
            textViewHeightConstraint_->setConstant(std::min(textHeight + collapsedHeight / 3, collapsedHeight));
        }
    });
}

int OVDescriptionTextTableViewCell::wholeLinesWithin(double height, double width) {
    int lines = 1;
    for (; lines < maximumCollapsedLines; ++lines) {
        textView_->setMaximumNumberOfLines(lines + 1);
        if (textView_->sizeThatFits({width, unboundedHeight}).height > height) break;
    }
    return lines;
}

void OVDescriptionTextTableViewCell::seeMore() {
    OVWidgetManagerOLD::shared().event(OVEventExpand::seeMore, std::nullopt);
    auto description = std::dynamic_pointer_cast<OVPageElement::Description>(element());
    if (!description) return;
    if (auto delegate = delegate_.lock()) delegate->didTapSeeMore(description);
}

bool OVDescriptionTextTableViewCell::shouldInteractWithURL(platform::ui::TextView& /*textView*/,
                                                           const std::string& url, platform::ui::TextRange /*range*/) {
    if (isWebAddress(url)) return true;
    platform::core::debugPrint("Refused a description link (only http and https are opened): " + url);
    return false;
}

}  // namespace orvane
