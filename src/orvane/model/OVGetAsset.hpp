// The fixed, unthemed images of the interface, each loaded by its exact name
// from the module bundle. The template getters give a copy drawn in the tint
// colour of the view that shows it (rendering mode always-template); the
// others give the image as loaded. A missing image is none. Main thread.
#pragma once

#include <optional>

#include "platform/graphics/Image.hpp"

namespace orvane {

struct OVGetAsset {
    using Image = platform::graphics::Image;

    // Template images.
    static std::optional<Image> cancelButton();
    static std::optional<Image> swipeDownButton();
    static std::optional<Image> sliderButtonNormal();
    static std::optional<Image> sliderButtonHighlighted();
    static std::optional<Image> playSymbolImage();
    static std::optional<Image> pauseSymbolImage();
    static std::optional<Image> downloadImage();

    // Images as loaded.
    static std::optional<Image> myLibraryBarButtonForTransparentBar();
    static std::optional<Image> myLibraryBarButtonForWhiteBar();
    static std::optional<Image> discoverBarButtonForTransparentBar();
    static std::optional<Image> discoverBarButtonForWhiteBar();
    static std::optional<Image> backToMainPageButtonWhiteBar();
    static std::optional<Image> navigationLeftArrowButton();
    static std::optional<Image> navigationRightArrowButton();
    static std::optional<Image> startNotificationButton();
    static std::optional<Image> stopNotificationButton();
    static std::optional<Image> subscriptionSymbol();
    static std::optional<Image> subscriptionPlusButton();
};

}  // namespace orvane
