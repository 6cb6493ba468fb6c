// Shared by the player element's tests: the player element
// built as the main page builds it (its cell with the transport buttons in
// the slot, the recording coordinator as the delegate of both), demo
// episodes whose artwork is already in the image cache (so no test reaches
// the network), and the points of the slider's thumb a finger uses.
// Header-only; main thread.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPlayerTrackButtons.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/graphics/TestImages.hpp"
#include "support/ContentBuilders.hpp"
#include "support/RecordingCoordinator.hpp"

namespace playerrow {

// Artwork of a few colours: a diagonal blend with a light disc.
inline platform::graphics::Image artwork(int side, double hue) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(side) * side * 4);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double t = static_cast<double>(x + y) / (2.0 * side);
            const double dx = x - side * 0.62, dy = y - side * 0.38;
            const bool disc = dx * dx + dy * dy < side * side * 0.04;
            auto* p = &rgba[(static_cast<std::size_t>(y) * side + x) * 4];
            p[0] = static_cast<std::uint8_t>(disc ? 250 : 40 + 180 * hue * (1 - t));
            p[1] = static_cast<std::uint8_t>(disc ? 235 : 60 + 120 * t);
            p[2] = static_cast<std::uint8_t>(disc ? 200 : 120 + 100 * (1 - hue) * t);
            p[3] = 255;
        }
    }
    // Through PNG, as the cache keeps images by their encoded bytes.
    return *platform::graphics::Image::fromData(testimages::png(side, side, rgba));
}

inline const std::string coverURL = "https://media.example.com/covers/quillary.jpg";

// The demo podcast; its cover is in the image cache, where the toolkit's
// image loading finds it through the hooks the facade installs.
inline orvane::OVContent podcast() {
    orvane::installLayerHooks();
    orvane::OVImageCache::cache(artwork(240, 0.9), "quillary.jpg");
    return testsupport::content::podcast({.key = "quillary", .title = "Quillary, la science en cuisine"});
}

// A demo episode without artwork of its own.
inline std::shared_ptr<orvane::OVTrack> episodeWithoutArtwork(const std::string& key = "quillary-12") {
    return orvane::OVTrack::create(key, "Why does bread rise? The chemistry of a perfect loaf", 12,
                                   orvane::OVAudio{"https://media.example.com/audio/" + key + ".mp3", 1800.0},
                                   orvane::OVObjDescription{"Bread", "<p>Yeast at work.</p>", std::nullopt},
                                   std::nullopt, false);
}

struct Row {
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator = testsupport::RecordingCoordinator::create();
    std::shared_ptr<orvane::OVPageElement::Player> element;
    std::shared_ptr<orvane::OVPlayerTableViewCell> cell;
    std::shared_ptr<orvane::OVPlayerTrackButtons> buttons;

    Row() {
        orvane::OVElementNibs::registerAll();
        element = orvane::OVPageElement::create<orvane::OVPageElement::Player>(coordinator, nullptr);
        cell = element->tableViewCell();
        buttons = orvane::OVPlayerTrackButtons::newFromNib();
        if (cell && buttons) {
            cell->setButtonsView(buttons);
            buttons->setDelegate(coordinator);
        }
    }
};

}  // namespace playerrow
