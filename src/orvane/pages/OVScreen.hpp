// One screen of the root container: a navigation stack of pages that starts
// with one page, rounds its corners, shows or hides its navigation bar's
// background for its pages and tells them when that changes, and, with a
// theme, slides its pages in and out with its own animation. Made by the
// root container, one per top-level page; pages push further pages onto the
// screen they stand on. Its own navigation delegate from creation on.
// Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/model/OVTheme.hpp"
#include "orvane/pages/OVFanViewControllerProtocol.hpp"
#include "orvane/pages/OVPage.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/ui/controllers/NavigationController.hpp"

namespace orvane {

class OVScreen : public platform::ui::NavigationController, public platform::ui::NavigationControllerDelegate {
public:
    // A screen holding `withPage` alone; the bar's images as they are now
    // become those restored when the bar is shown again.
    static std::shared_ptr<OVScreen> create(const std::shared_ptr<OVPage>& withPage);
    explicit OVScreen(ConstructorKey key) : NavigationController(key) {}

    const std::optional<platform::graphics::Image>& backgroundImage() const { return backgroundImage_; }
    void setBackgroundImage(std::optional<platform::graphics::Image> image) { backgroundImage_ = std::move(image); }
    const std::optional<platform::graphics::Image>& shadowImage() const { return shadowImage_; }
    void setShadowImage(std::optional<platform::graphics::Image> image) { shadowImage_ = std::move(image); }
    const std::optional<OVTheme>& theme() const { return theme_; }
    void setTheme(std::optional<OVTheme> theme) { theme_ = theme; }

    // The parent controller when it is the root container, else none.
    std::shared_ptr<OVFanViewControllerProtocol> fanViewController() const;
    // The pages of the stack from the root up; other controllers are skipped.
    std::vector<std::shared_ptr<OVPage>> pages() const;
    // The topmost page, or none.
    std::shared_ptr<OVPage> currentPage() const;

    // When `display` differs from what the screen last applied: the bar's
    // background and shadow images become the remembered ones (true) or
    // empty images (false), then every page, root first, is told. The bar
    // itself stays in place. Same value: nothing at all.
    void dispalayNavigationBar(bool display);
    bool navigationBarIsDisplayed() const { return navigationBarIsDisplayed_; }

    // ---- NavigationControllerDelegate ----
    // None without a theme (the kit's own transition); else a new
    // `OVNavigationPushTransitioning` in the theme's background colour.
    std::shared_ptr<platform::ui::AnimatedTransitioning> animationControllerFor(
        const std::shared_ptr<platform::ui::NavigationController>& navigationController,
        platform::ui::NavigationControllerOperation operation,
        const std::shared_ptr<platform::ui::ViewController>& from,
        const std::shared_ptr<platform::ui::ViewController>& to) override;

private:
    std::optional<platform::graphics::Image> backgroundImage_;
    std::optional<platform::graphics::Image> shadowImage_;
    bool navigationBarIsDisplayed_ = true;
    std::optional<OVTheme> theme_;
};

}  // namespace orvane
