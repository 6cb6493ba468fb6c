// The share element's view model: holds the theme, the main colour and the
// content's calls to action; every new list of calls to action goes to
// `updateCtas` (the cell's button rules). It performs the two buttons' taps:
// opens the address the calls to action give (http and https only) and then
// sends the tap's legacy event. Owned by the cell; its closure holds the
// cell weakly. Main thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "orvane/model/OVCallToAction.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVShareCellViewModel {
public:
    using UpdateCtas = std::function<void(const std::vector<OVCallToAction>&)>;

    OVShareCellViewModel() = default;
    ~OVShareCellViewModel() { updateCtas_ = nullptr; }
    OVShareCellViewModel(const OVShareCellViewModel&) = delete;
    OVShareCellViewModel& operator=(const OVShareCellViewModel&) = delete;

    const std::optional<OVTheme>& theme() const { return theme_; }
    void setTheme(std::optional<OVTheme> theme) { theme_ = theme; }
    const std::optional<platform::graphics::Color>& mainColor() const { return mainColor_; }
    void setMainColor(std::optional<platform::graphics::Color> color) { mainColor_ = color; }
    const std::vector<OVCallToAction>& ctas() const { return ctas_; }
    // Runs `updateCtas`, when set, with the new list.
    void setCtas(std::vector<OVCallToAction> ctas);
    void setUpdateCtas(UpdateCtas updateCtas) { updateCtas_ = std::move(updateCtas); }

    // Stores the theme, then the main colour, then the list.
    void initialize(const OVTheme& theme, const platform::graphics::Color& mainColor,
                    std::vector<OVCallToAction> ctas);

    // Opens the Apple Podcasts address of the first podcast-platform call to
    // action, if it has a web one, then sends the platform event.
    void didTapApplePodcast();
    // Opens the first call to action's destination that reads as an
    // address, if it is a web one, then sends the website event.
    void didTapSendUpButton();

    // The link button's title: the text of the first "seemore" call to
    // action; none hides the button.
    static std::optional<std::string> sendUpTitle(const std::vector<OVCallToAction>& ctas);
    // Whether some podcast-platform call to action has an Apple Podcasts
    // address, which shows the platform button.
    static bool showsApplePodcasts(const std::vector<OVCallToAction>& ctas);

private:
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
    std::vector<OVCallToAction> ctas_;
    UpdateCtas updateCtas_;
};

}  // namespace orvane
