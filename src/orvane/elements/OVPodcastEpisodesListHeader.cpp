#include "orvane/elements/OVPodcastEpisodesListHeader.hpp"

#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Rect;
using namespace platform::ui;

OVPodcastEpisodesListHeader::OVPodcastEpisodesListHeader(ConstructorKey key, const Rect& frame) : View(key, frame) {}

bool OVPodcastEpisodesListHeader::nib(NibBuild& build) {
    auto header = std::make_shared<OVPodcastEpisodesListHeader>(ConstructorKey{}, Rect{0, 0, 375, 47});
    auto label = Label::create();
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    header->addSubview(label);
    build.add(header);
    build.add(label, false);
    constexpr double margin = OVConstants::OVPageElementTableViewCell::horizontalMargin;
    auto top = label->topAnchor().constraintEqualTo(header->topAnchor(), 0);
    LayoutConstraint::activate({
        top,
        label->leftAnchor().constraintEqualTo(header->leftAnchor(), margin),
        label->rightAnchor().constraintEqualTo(header->rightAnchor(), -margin),
        label->bottomAnchor().constraintEqualTo(header->bottomAnchor()),
    });
    build.connect([header, label, top] {
        header->label_ = label;
        header->topConstraint_ = top;
    });
    return true;
}

void OVPodcastEpisodesListHeader::awakeFromNib() {
    if (topConstraint_) topConstraint_->setConstant(OVConstants::OVPageElementTableViewCell::topMargin);
}

}  // namespace orvane
