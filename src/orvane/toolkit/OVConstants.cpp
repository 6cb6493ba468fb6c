#include "orvane/toolkit/OVConstants.hpp"

namespace orvane::OVConstants {

// Each font is looked up once, on its first read.
#define OV_CONSTANT_FONT(accessor, faceName, size)                                        \
    const OptionalFont& accessor() {                                                      \
        static const OptionalFont font = platform::ui::Font::named(faceName, size);       \
        return font;                                                                      \
    }

OV_CONSTANT_FONT(OVPageElementTableViewCell::headerFont, "AvenirNext-DemiBold", 18)
OV_CONSTANT_FONT(OVDescriptionTextTableViewCell::headerFont, "AvenirNext-DemiBold", 17)
OV_CONSTANT_FONT(OVDescriptionTextTableViewCell::textFont, "AvenirNext-Regular", 15)
OV_CONSTANT_FONT(OVPlayerTableViewCell::TrackLabel::font, "AvenirNext-Bold", 22)
OV_CONSTANT_FONT(OVHorizontalCollectionView::episodeLabelFont, "AvenirNext-Medium", 13)
OV_CONSTANT_FONT(OVFooterPlayer::episodeFont, "AvenirNext-DemiBold", 15)
OV_CONSTANT_FONT(OVScreen::titleFont, "AvenirNext-DemiBold", 15)
OV_CONSTANT_FONT(OVContentIdentityCell::episodeLabelFont, "AvenirNext-Bold", 22)
OV_CONSTANT_FONT(OVEpisodeTableViewCell::episodeFont, "AvenirNext-DemiBold", 15)
OV_CONSTANT_FONT(OVPopup::font, "AvenirNext-Medium", 13)
OV_CONSTANT_FONT(OVPopup::boldFont, "AvenirNext-DemiBold", 13)

#undef OV_CONSTANT_FONT

}  // namespace orvane::OVConstants
