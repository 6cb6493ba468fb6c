// The fixed sizes, margins, durations, fonts and colours of the native
// interface, grouped by the component that reads them
// (`OVConstants::OVChip::defaultMargin`). Nothing here depends on the theme or
// on the widget's state. Numbers are compile-time constants; each font is
// looked up by name on its first read and kept (thread-safe), and looked up
// again once the faces the kit can find have changed (a font file registered,
// another substitution table), so a face registered later is seen; it is
// none while neither the face nor its substitute can be found.
#pragma once

#include <optional>

#include "orvane/widget/OVPlayer.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"
#include "platform/ui/text/Font.hpp"

namespace orvane::OVConstants {

using OptionalFont = std::optional<platform::ui::Font>;

struct OVVCPresentationTransitioning {
    static constexpr double shadowViewAlpha = 0.4;
    static constexpr double cornerRadius = 12;

    struct Compact {
        static constexpr double widthDelta = 16;
        static constexpr double openingAnimationDuration = 0.7;
    };
    struct Regular {
        static constexpr double width = 375;
        static constexpr double openingAnimationDuration = 0.7;
    };
};

struct OVSwipeButon {
    static constexpr double width = 35;
    static constexpr double height = 10;
    static constexpr double lineWidth = 5;
};

struct OVChip {
    // The chip's diameter in interface points for a size class.
    static constexpr double side(OVThemeSize forSize) {
        switch (forSize) {
            case OVThemeSize::small: return 42;
            case OVThemeSize::normal: return 49;
            case OVThemeSize::big: return 61;
        }
        return 49;
    }
    static constexpr platform::graphics::Size equalizerAnimationSize{24, 24};
    static constexpr platform::graphics::Size circleProgressionSize{48, 48};
    static constexpr platform::graphics::Size circleSpinAnimationSize{48, 48};
    static constexpr double defaultMargin = 20;
};

struct OVCircleSpinAnimationView {
    static constexpr double lineWidth = 2;
};

struct OVCircleProgressionView {
    static constexpr double lineWidth = 2;
};

struct OVImageView {
    static constexpr platform::graphics::Size spinAnimationSize{40, 40};
};

struct OVPageElementTableViewCell {
    static constexpr double topMargin = 25;
    static constexpr double horizontalMargin = 12;
    static OptionalFont headerFont();
    static constexpr double separatorHaight = 1;
};

struct OVDescriptionTextTableViewCell {
    static OptionalFont headerFont();
    static OptionalFont textFont();
};

struct OVPlayerTableViewCell {
    struct TrackLabel {
        static OptionalFont font();
        static constexpr double speed = 15;
    };
};

struct OVVerticalTableViewCell {
    static constexpr double cellHeight = 50;
    static constexpr int defaultVisiblePodcasts = 5;
    static constexpr int displayMorePodcastsIncrement = 5;
};

struct OVHorizontalCollectionView {
    static OptionalFont episodeLabelFont();
    static constexpr platform::graphics::Size itemSize{136, 200};
};

struct OVFooterPlayer {
    static constexpr platform::graphics::Color overlayColor{0, 0, 0, 0.5};
    static constexpr double height = 90;
    static OptionalFont episodeFont();
};

struct OVScreen {
    static OptionalFont titleFont();

    struct Transitioning {
        static constexpr double translation = 70;
        static constexpr double duration = 0.2;
    };
};

struct OVEpisodePlayCell {
    static constexpr double cornerRadius = 6;
};

struct OVContentIdentityCell {
    static OptionalFont episodeLabelFont();
};

struct OVPodcastSubscriptionCell {
    static constexpr double cornerRadius = 6;
};

struct OVPodcastEpisodesListCell {
    static constexpr double cellHeight = 140;
    static constexpr double longPressDuration = 1.0;
};

struct OVLibraryPodcastsListCell {
    static constexpr double cellHeight = 110;
};

struct OVEpisodeTableViewCell {
    static constexpr double cellHeight = 145;
    static OptionalFont episodeFont();
};

struct OVPopup {
    static OptionalFont font();
    static OptionalFont boldFont();
};

}  // namespace orvane::OVConstants
