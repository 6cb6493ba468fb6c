// The root container's interactor: holds the screens and the index of the
// one shown, answers the page data source (the screen before or after
// another, no wrap-around), and builds the popups the container shows.
// Popups need a theme and a main colour; the container sets both when it
// is set up. Owned by the container, which it holds weakly.
// Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/coordinator/OVFanVCInput.hpp"
#include "orvane/coordinator/OVFanVCInteractorInput.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/controllers/PageViewController.hpp"

namespace orvane {

class OVFanVCInteractor : public OVFanVCInteractorInput, public platform::ui::PageViewControllerDataSource {
public:
    explicit OVFanVCInteractor(const std::shared_ptr<OVFanVCInput>& withController);

    std::shared_ptr<OVFanVCInput> controller() const { return controller_.lock(); }
    const std::optional<OVTheme>& theme() const { return theme_; }
    void setTheme(std::optional<OVTheme> theme) { theme_ = theme; }
    const std::optional<platform::graphics::Color>& mainColor() const { return mainColor_; }
    void setMainColor(std::optional<platform::graphics::Color> color) { mainColor_ = color; }
    void setCurrentScreenIndex(std::optional<int> index) { currentScreenIndex_ = index; }

    // ---- OVFanVCInteractorInput ----
    void update(std::vector<std::shared_ptr<OVScreen>> screens) override;
    // Nothing is shown without a popup from its nib, a theme or a main
    // colour, or once the container is gone.
    void displayPopup(const platform::ui::AttributedString& withAttributedString) override;
    void didTransition(const std::shared_ptr<OVScreen>& to) override;
    const std::vector<std::shared_ptr<OVScreen>>& screens() const override { return screens_; }
    std::optional<int> currentScreenIndex() const override { return currentScreenIndex_; }

    // ---- PageViewControllerDataSource ----
    // None for a controller that is not one of the screens.
    std::shared_ptr<platform::ui::ViewController> viewControllerBefore(
        platform::ui::PageViewController& pageViewController,
        const std::shared_ptr<platform::ui::ViewController>& current) override;
    std::shared_ptr<platform::ui::ViewController> viewControllerAfter(
        platform::ui::PageViewController& pageViewController,
        const std::shared_ptr<platform::ui::ViewController>& current) override;

private:
    std::optional<int> indexOf(const std::shared_ptr<platform::ui::ViewController>& controller) const;

    std::weak_ptr<OVFanVCInput> controller_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
    std::vector<std::shared_ptr<OVScreen>> screens_;
    std::optional<int> currentScreenIndex_ = 1;
};

}  // namespace orvane
