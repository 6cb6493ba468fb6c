#include "orvane/model/OVTheme.hpp"

#include <string>

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Image;

namespace {

constexpr Color rgb255(int red, int green, int blue, double alpha = 1.0) {
    return Color{red / 255.0, green / 255.0, blue / 255.0, alpha};
}

}  // namespace

Color OVTheme::backgroundColor() const {
    return *this == light ? Color::white() : rgb255(29, 30, 31);
}

Color OVTheme::separatorColor() const {
    return *this == light ? rgb255(229, 231, 233) : Color::white().withAlphaComponent(0.4);
}

Color OVTheme::maximumTrackTintColor() const { return separatorColor(); }

Color OVTheme::color(FontColor forFont) const {
    switch (forFont) {
        case FontColor::typeA:
            return *this == light ? rgb255(26, 26, 31) : Color::white();
        case FontColor::typeB:
            return *this == light ? rgb255(101, 103, 105) : rgb255(149, 151, 153);
        case FontColor::typeC:
            return color(FontColor::typeB).withAlphaComponent(0.7);
    }
    return color(FontColor::typeA);
}

Color OVTheme::cellHeaderFontColor() const { return color(FontColor::typeA); }

Color OVTheme::spinAnimationColor() const { return *this == light ? Color::lightGray() : Color::gray(); }

Color OVTheme::equalizerAnimationColor() const { return *this == light ? Color::black() : Color::white(); }

Color OVTheme::propulsedTextColor() const {
    return *this == light ? rgb255(101, 103, 105) : rgb255(232, 232, 232);
}

std::vector<OVTheme::GradientStop> OVTheme::gradientColors() const {
    const Color background = backgroundColor();
    return {{0.0, background.withAlphaComponent(0)}, {0.9, background}};
}

std::vector<OVTheme::GradientStop> OVTheme::interactiveViewGradientColors() const {
    const Color end = *this == light ? Color::black() : backgroundColor();
    return {{0.0, end.withAlphaComponent(0.1)}, {1.0, end}};
}

std::string_view OVTheme::imagePrefix() const { return *this == light ? "-Light" : "-Dark"; }

std::optional<Image> OVTheme::themedImage(std::string_view baseName) const {
    return Image::named(std::string(baseName) + std::string(imagePrefix()));
}

std::optional<Image> OVTheme::backImage() const { return themedImage("BackButton"); }
std::optional<Image> OVTheme::playImage() const { return themedImage("PlayButton"); }
std::optional<Image> OVTheme::cancelImage() const { return themedImage("CancelButton"); }
std::optional<Image> OVTheme::forwardImage() const { return themedImage("ForwardButton"); }
std::optional<Image> OVTheme::pauseImage() const { return themedImage("PauseButton"); }
std::optional<Image> OVTheme::shareImage() const { return themedImage("ShareButton"); }
std::optional<Image> OVTheme::swipeDownImage() const { return themedImage("SwipeDownButton"); }
std::optional<Image> OVTheme::skipEnabledImage() const { return themedImage("SkipButtonEnabled"); }
std::optional<Image> OVTheme::skipDisabledImage() const { return themedImage("SkipButtonDisabled"); }

}  // namespace orvane
