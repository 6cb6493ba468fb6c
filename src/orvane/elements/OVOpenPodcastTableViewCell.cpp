#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"

#include "orvane/elements/OVOpenPodcastTableViewCellInteractor.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using platform::ui::Label;
using platform::ui::LayoutConstraint;
using platform::ui::View;

namespace {

constexpr double artworkSide = 64;
constexpr double artworkTopSpacing = 12;
constexpr double labelSpacing = 12;
constexpr double nameTopInset = 8;
constexpr double editorTopSpacing = 4;

}  // namespace

OVOpenPodcastTableViewCell::OVOpenPodcastTableViewCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVOpenPodcastTableViewCell::nib(platform::ui::NibBuild& build) {
    auto cell = std::make_shared<OVOpenPodcastTableViewCell>(ConstructorKey{}, Rect{0, 0, 375, 44});
    const auto& content = cell->contentView();
    auto header = Label::create();
    auto image = OVImageView::create(Rect{0, 0, artworkSide, artworkSide});
    auto podcast = Label::create();
    auto editor = Label::create();
    for (const std::shared_ptr<View>& view : {std::static_pointer_cast<View>(header), std::static_pointer_cast<View>(image),
                                              std::static_pointer_cast<View>(podcast),
                                              std::static_pointer_cast<View>(editor)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
    }
    // Clear in the nib: the page's background shows through in either theme.
    cell->setBackgroundColor(Color::clear());
    image->setClipsToBounds(true);
    podcast->setFont(OVConstants::OVEpisodeTableViewCell::episodeFont());
    editor->setFont(OVConstants::OVDescriptionTextTableViewCell::textFont());
    const auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        header->topAnchor().constraintEqualTo(margins.topAnchor()),
        header->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        header->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        image->topAnchor().constraintEqualTo(header->bottomAnchor(), artworkTopSpacing),
        image->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        image->widthAnchor().constraintEqualToConstant(artworkSide),
        image->heightAnchor().constraintEqualToConstant(artworkSide),
        margins.bottomAnchor().constraintEqualTo(image->bottomAnchor()),
        podcast->topAnchor().constraintEqualTo(image->topAnchor(), nameTopInset),
        podcast->leadingAnchor().constraintEqualTo(image->trailingAnchor(), labelSpacing),
        podcast->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        editor->topAnchor().constraintEqualTo(podcast->bottomAnchor(), editorTopSpacing),
        editor->leadingAnchor().constraintEqualTo(podcast->leadingAnchor()),
        editor->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
    });
    build.add(cell);
    build.connect([cell, header, image, podcast, editor] {
        cell->headerLabel_ = header;
        cell->podacastImageView_ = image;
        cell->podcastLabel_ = podcast;
        cell->editorLabel_ = editor;
    });
    return true;
}

void OVOpenPodcastTableViewCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    setSelectionStyle(platform::ui::TableViewCellSelectionStyle::standard);
    setBottomMargin(OVConstants::OVPageElementTableViewCell::topMargin);
    auto self = std::static_pointer_cast<OVOpenPodcastTableViewCell>(shared_from_this());
    interactor_ = std::make_shared<OVOpenPodcastTableViewCellInteractor>(
        std::static_pointer_cast<OVOpenPodcastTableViewCellInput>(self));
    podacastImageView_->setImageContentMode(platform::ui::ContentMode::scaleAspectFill);
    podacastImageView_->layer()->setCornerRadius(2.0);
    headerLabel_->setFont(OVConstants::OVPageElementTableViewCell::headerFont());
    headerLabel_->setText(localized("CURRENT_PODCAST_PAGE_ELEMENT_HEADER"));
}

void OVOpenPodcastTableViewCell::update(const OVTheme& theme, const Color& mainColor) {
    update(theme, std::optional<Color>(mainColor));
}

void OVOpenPodcastTableViewCell::update(const OVTheme& withTheme, const std::optional<Color>& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVOpenPodcastTableViewCell::update(const OVContent& withPodcast) {
    if (interactor_) interactor_->update(withPodcast);
}

void OVOpenPodcastTableViewCell::update(const OVOpenPodcastTableViewCellModel::Style& withViewModel) {
    headerLabel_->setTextColor(withViewModel.headerTextColor);
    podcastLabel_->setTextColor(withViewModel.podcastTextColor);
    editorLabel_->setTextColor(withViewModel.editorTextColor);
    displaySeparator(Separator::Configuration{withViewModel.separatorColor, Separator::Position::top,
                                              OVConstants::OVPageElementTableViewCell::separatorHaight, 0, 0});
}

void OVOpenPodcastTableViewCell::update(const OVOpenPodcastTableViewCellModel::Podcast& withViewModel) {
    podacastImageView_->setUrl(withViewModel.image);
    podcastLabel_->setText(withViewModel.podcast);
    editorLabel_->setText(withViewModel.editor);
}

}  // namespace orvane
