#include "orvane/toolkit/OVConstants.hpp"

#include <cstdint>
#include <limits>
#include <mutex>

#include "platform/core/NoDestructor.hpp"

namespace orvane::OVConstants {

namespace {

// The last answer of one font lookup, and the generation of the kit's faces
// it was made in.
struct KeptFont {
    std::mutex mutex;
    std::uint64_t generation = std::numeric_limits<std::uint64_t>::max();
    OptionalFont font;
};

OptionalFont fontOf(KeptFont& kept, const char* faceName, double size) {
    // Read before the lookup: a face registered meanwhile makes the next
    // read look again.
    const std::uint64_t generation = platform::ui::Font::generation();
    std::lock_guard lock(kept.mutex);
    if (kept.generation != generation) {
        kept.font = platform::ui::Font::named(faceName, size);
        kept.generation = generation;
    }
    return kept.font;
}

}  // namespace

#define OV_CONSTANT_FONT(accessor, faceName, size)                         \
    OptionalFont accessor() {                                              \
        static platform::core::NoDestructor<KeptFont> kept;                \
        return fontOf(*kept, faceName, size);                              \
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
