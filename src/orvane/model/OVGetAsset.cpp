#include "orvane/model/OVGetAsset.hpp"

#include <string_view>

namespace orvane {

using platform::graphics::Image;

namespace {

std::optional<Image> templateImage(std::string_view name) {
    auto image = Image::named(name);
    if (!image) return std::nullopt;
    return image->withRenderingMode(Image::RenderingMode::alwaysTemplate);
}

}  // namespace

std::optional<Image> OVGetAsset::cancelButton() { return templateImage("CancelButton"); }
std::optional<Image> OVGetAsset::swipeDownButton() { return templateImage("SwipeDownButton"); }
std::optional<Image> OVGetAsset::sliderButtonNormal() { return templateImage("SliderButton-normal"); }
std::optional<Image> OVGetAsset::sliderButtonHighlighted() { return templateImage("SliderButton-highlighted"); }
std::optional<Image> OVGetAsset::playSymbolImage() { return templateImage("PlaySymbol"); }
std::optional<Image> OVGetAsset::pauseSymbolImage() { return templateImage("PauseSymbol"); }
std::optional<Image> OVGetAsset::downloadImage() { return templateImage("DownloadButton"); }

std::optional<Image> OVGetAsset::myLibraryBarButtonForTransparentBar() {
    return Image::named("MyLibraryBarButton-TransparentBar");
}
std::optional<Image> OVGetAsset::myLibraryBarButtonForWhiteBar() { return Image::named("MyLibraryBarButton-WhiteBar"); }
std::optional<Image> OVGetAsset::discoverBarButtonForTransparentBar() {
    return Image::named("DiscoverBarButton-TransparentBar");
}
std::optional<Image> OVGetAsset::discoverBarButtonForWhiteBar() { return Image::named("DiscoverBarButton-WhiteBar"); }
std::optional<Image> OVGetAsset::backToMainPageButtonWhiteBar() {
    return Image::named("BackToMainPageButton-WhiteBar");
}
std::optional<Image> OVGetAsset::navigationLeftArrowButton() { return Image::named("NavigationLeftArrowButton"); }
std::optional<Image> OVGetAsset::navigationRightArrowButton() { return Image::named("NavigationRightArrowButton"); }
std::optional<Image> OVGetAsset::startNotificationButton() { return Image::named("StartNotificationButton"); }
std::optional<Image> OVGetAsset::stopNotificationButton() { return Image::named("StopNotificationButton"); }
std::optional<Image> OVGetAsset::subscriptionSymbol() { return Image::named("SubscriptionSymbol"); }
std::optional<Image> OVGetAsset::subscriptionPlusButton() { return Image::named("SubscriptionPlusButton"); }

}  // namespace orvane
