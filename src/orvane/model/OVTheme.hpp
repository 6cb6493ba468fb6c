// The two looks of the interface, light and dark (raw texts "light", "dark"),
// and what each gives the views: colours by role, three text colours by
// `FontColor`, two gradient stop lists and the themed images of the module
// bundle (a base name followed by "-Light" or "-Dark"). Fonts are not part of
// it. Every getter works its value out on each call; images are loaded as they
// are, and a missing one is none.
//
// A small value type standing for the enumeration: `OVTheme::light` and
// `OVTheme::dark` are its two values. Colour getters are pure and
// thread-safe; the image getters read the bundle and are called on the main
// thread.
#pragma once

#include "orvane/model/RawEnum.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/graphics/Image.hpp"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

class OVTheme {
public:
    enum class Value { light, dark };

    // Three levels of text colour: `typeA` the strongest (also cell headers),
    // `typeB` a grey, `typeC` that grey faded.
    enum class FontColor { typeA, typeB, typeC };

    // One stop of a gradient as a gradient view applies it.
    struct GradientStop {
        double location = 0;
        platform::graphics::Color color;
        friend bool operator==(const GradientStop&, const GradientStop&) = default;
    };

    static const OVTheme light;
    static const OVTheme dark;

    constexpr OVTheme() = default;
    constexpr OVTheme(Value value) : value_(value) {}
    constexpr Value value() const { return value_; }

    platform::graphics::Color backgroundColor() const;
    platform::graphics::Color separatorColor() const;
    // The unfilled part of a position slider or progress bar: the separator colour.
    platform::graphics::Color maximumTrackTintColor() const;
    platform::graphics::Color color(FontColor forFont) const;
    // Always color(FontColor::typeA).
    platform::graphics::Color cellHeaderFontColor() const;
    platform::graphics::Color spinAnimationColor() const;
    platform::graphics::Color equalizerAnimationColor() const;
    // The text of the page footer.
    platform::graphics::Color propulsedTextColor() const;

    // The background faded in from transparent at 0.0 to opaque at 0.9.
    std::vector<GradientStop> gradientColors() const;
    std::vector<GradientStop> interactiveViewGradientColors() const;

    std::optional<platform::graphics::Image> backImage() const;
    std::optional<platform::graphics::Image> playImage() const;
    std::optional<platform::graphics::Image> cancelImage() const;
    std::optional<platform::graphics::Image> forwardImage() const;
    std::optional<platform::graphics::Image> pauseImage() const;
    std::optional<platform::graphics::Image> shareImage() const;
    std::optional<platform::graphics::Image> swipeDownImage() const;
    std::optional<platform::graphics::Image> skipEnabledImage() const;
    std::optional<platform::graphics::Image> skipDisabledImage() const;

    friend constexpr bool operator==(OVTheme, OVTheme) = default;

private:
    // "-Light" or "-Dark", put after a themed image's base name.
    std::string_view imagePrefix() const;
    std::optional<platform::graphics::Image> themedImage(std::string_view baseName) const;

    Value value_ = Value::light;
};

inline constexpr OVTheme OVTheme::light{OVTheme::Value::light};
inline constexpr OVTheme OVTheme::dark{OVTheme::Value::dark};

template <>
struct EnumTraits<OVTheme> {
    static constexpr std::array<std::pair<OVTheme, std::string_view>, 2> table{{
        {OVTheme::light, "light"},
        {OVTheme::dark, "dark"},
    }};
};

}  // namespace orvane

template <>
struct std::hash<orvane::OVTheme> {
    std::size_t operator()(orvane::OVTheme theme) const noexcept {
        return std::hash<int>{}(static_cast<int>(theme.value()));
    }
};
