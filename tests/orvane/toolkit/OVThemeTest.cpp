#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/core/Bundle.hpp"
#include "platform/graphics/TestImages.hpp"

using orvane::OVGetAsset;
using orvane::OVTheme;
using platform::graphics::Color;
using platform::graphics::Image;
using Font = OVTheme::FontColor;

namespace {

Color rgb(int r, int g, int b, double alpha = 1.0) { return Color{r / 255.0, g / 255.0, b / 255.0, alpha}; }

// A bundle of its own for the test's process (each test runs in a process of
// its own, and the bundle is found once, on first use).
std::filesystem::path useBundleWithImages(std::initializer_list<const char*> names) {
    const auto root = std::filesystem::temp_directory_path() / ("orvane-theme-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "images");
    const auto png = testimages::png(4, 4);
    for (const char* name : names) {
        std::ofstream(root / "images" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    setenv("ORVANE_RESOURCES", root.c_str(), 1);
    return root;
}

}  // namespace

TEST(OVTheme, ColourTablesOfBothThemes) {
    struct Row {
        const char* what;
        std::function<Color(OVTheme)> get;
        Color light;
        Color dark;
    };
    const std::vector<Row> rows{
        {"background", &OVTheme::backgroundColor, Color::white(), rgb(29, 30, 31)},
        {"separator", &OVTheme::separatorColor, rgb(229, 231, 233), Color{1, 1, 1, 0.4}},
        {"maximum track", &OVTheme::maximumTrackTintColor, rgb(229, 231, 233), Color{1, 1, 1, 0.4}},
        {"typeA", [](OVTheme t) { return t.color(Font::typeA); }, rgb(26, 26, 31), Color::white()},
        {"typeB", [](OVTheme t) { return t.color(Font::typeB); }, rgb(101, 103, 105), rgb(149, 151, 153)},
        {"typeC", [](OVTheme t) { return t.color(Font::typeC); }, rgb(101, 103, 105, 0.7), rgb(149, 151, 153, 0.7)},
        {"cell header", &OVTheme::cellHeaderFontColor, rgb(26, 26, 31), Color::white()},
        {"spinner", &OVTheme::spinAnimationColor, Color{2.0 / 3, 2.0 / 3, 2.0 / 3, 1}, Color{0.5, 0.5, 0.5, 1}},
        {"equalizer", &OVTheme::equalizerAnimationColor, Color{0, 0, 0, 1}, Color{1, 1, 1, 1}},
        {"propulsed text", &OVTheme::propulsedTextColor, rgb(101, 103, 105), rgb(232, 232, 232)},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.get(OVTheme::light), row.light) << row.what;
        EXPECT_EQ(row.get(OVTheme::dark), row.dark) << row.what;
    }
    for (OVTheme theme : {OVTheme::light, OVTheme::dark}) {
        EXPECT_EQ(theme.color(Font::typeC), theme.color(Font::typeB).withAlphaComponent(0.7));
    }
}

TEST(OVTheme, GradientStops) {
    using Stops = std::vector<OVTheme::GradientStop>;
    const Color dark = rgb(29, 30, 31);
    EXPECT_EQ(OVTheme::light.gradientColors(), (Stops{{0.0, Color{1, 1, 1, 0}}, {0.9, Color::white()}}));
    EXPECT_EQ(OVTheme::dark.gradientColors(), (Stops{{0.0, dark.withAlphaComponent(0)}, {0.9, dark}}));
    EXPECT_EQ(OVTheme::light.interactiveViewGradientColors(),
              (Stops{{0.0, Color{0, 0, 0, 0.1}}, {1.0, Color::black()}}));
    EXPECT_EQ(OVTheme::dark.interactiveViewGradientColors(), (Stops{{0.0, dark.withAlphaComponent(0.1)}, {1.0, dark}}));
}

TEST(OVTheme, RawValuesAreExact) {
    EXPECT_EQ(orvane::fromRawValue<OVTheme>("dark"), OVTheme::dark);
    EXPECT_EQ(orvane::fromRawValue<OVTheme>("light"), OVTheme::light);
    for (const char* text : {"Dark", "LIGHT", ""}) EXPECT_FALSE(orvane::fromRawValue<OVTheme>(text)) << text;
    EXPECT_EQ(orvane::rawValue(OVTheme::dark), "dark");
}

TEST(OVTheme, AThemedImageMissingInOneThemeIsNone) {
    const auto root = useBundleWithImages({"BackButton-Light.png", "PlaySymbol@2x.png", "SubscriptionSymbol@3x.png"});
    auto light = OVTheme::light.backImage();
    ASSERT_TRUE(light);
    EXPECT_EQ(light->name(), "BackButton-Light");
    EXPECT_FALSE(OVTheme::dark.backImage());
    // A missing template image stays none; present ones are found at the scale of their files.
    EXPECT_FALSE(OVGetAsset::cancelButton());
    auto symbol = OVGetAsset::playSymbolImage();
    ASSERT_TRUE(symbol);
    EXPECT_EQ(symbol->scale(), 2.0);
    EXPECT_EQ(symbol->size(), (platform::graphics::Size{2, 2}));
    EXPECT_EQ(OVGetAsset::subscriptionSymbol()->scale(), 3.0);
    std::filesystem::remove_all(root);
}

TEST(OVGetAsset, TemplateGettersGiveTemplatesAndTheOthersKeepTheirMode) {
    using Getter = std::optional<Image> (*)();
    for (Getter get : {&OVGetAsset::cancelButton, &OVGetAsset::swipeDownButton, &OVGetAsset::sliderButtonNormal,
                       &OVGetAsset::sliderButtonHighlighted, &OVGetAsset::playSymbolImage,
                       &OVGetAsset::pauseSymbolImage, &OVGetAsset::downloadImage}) {
        auto image = get();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->renderingMode(), Image::RenderingMode::alwaysTemplate) << *image->name();
    }
    for (Getter get : {&OVGetAsset::myLibraryBarButtonForTransparentBar, &OVGetAsset::myLibraryBarButtonForWhiteBar,
                       &OVGetAsset::discoverBarButtonForTransparentBar, &OVGetAsset::discoverBarButtonForWhiteBar,
                       &OVGetAsset::backToMainPageButtonWhiteBar, &OVGetAsset::navigationLeftArrowButton,
                       &OVGetAsset::navigationRightArrowButton, &OVGetAsset::startNotificationButton,
                       &OVGetAsset::stopNotificationButton, &OVGetAsset::subscriptionSymbol,
                       &OVGetAsset::subscriptionPlusButton}) {
        auto image = get();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->renderingMode(), Image::RenderingMode::automatic) << *image->name();
    }
}

TEST(OVTheme, TheModuleBundleHasEveryThemedImageInBothThemes) {
    using Getter = std::optional<Image> (OVTheme::*)() const;
    for (OVTheme theme : {OVTheme::light, OVTheme::dark}) {
        for (Getter get : {&OVTheme::backImage, &OVTheme::playImage, &OVTheme::cancelImage, &OVTheme::forwardImage,
                           &OVTheme::pauseImage, &OVTheme::shareImage, &OVTheme::swipeDownImage,
                           &OVTheme::skipEnabledImage, &OVTheme::skipDisabledImage}) {
            auto image = (theme.*get)();
            ASSERT_TRUE(image) << orvane::rawValue(theme);
            EXPECT_FALSE(image->isEmpty());
        }
    }
}
