#include "orvane/pages/OVScreen.hpp"

#include "orvane/pages/OVNavigationPushTransitioning.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::ui::AnimatedTransitioning;
using platform::graphics::Image;
using platform::ui::NavigationController;
using platform::ui::NavigationControllerOperation;
using platform::ui::ViewController;

std::shared_ptr<OVScreen> OVScreen::create(const std::shared_ptr<OVPage>& withPage) {
    auto screen = std::make_shared<OVScreen>(ConstructorKey{});
    screen->setDelegate(screen);
    auto view = screen->view();
    view->layer()->setCornerRadius(OVConstants::OVVCPresentationTransitioning::cornerRadius);
    view->setClipsToBounds(true);
    // The bar's own images, kept before the first page loads: a page that
    // hides the bar as it loads must not make the hidden look the one restored.
    const auto bar = screen->navigationBar();
    screen->backgroundImage_ = bar->backgroundImage();
    screen->shadowImage_ = bar->shadowImage();
    if (withPage) screen->setViewControllers({withPage}, false);
    return screen;
}

std::shared_ptr<OVFanViewControllerProtocol> OVScreen::fanViewController() const {
    return std::dynamic_pointer_cast<OVFanViewControllerProtocol>(parent());
}

std::vector<std::shared_ptr<OVPage>> OVScreen::pages() const {
    std::vector<std::shared_ptr<OVPage>> pages;
    for (const auto& controller : viewControllers()) {
        if (auto page = std::dynamic_pointer_cast<OVPage>(controller)) pages.push_back(std::move(page));
    }
    return pages;
}

std::shared_ptr<OVPage> OVScreen::currentPage() const {
    auto all = pages();
    return all.empty() ? nullptr : all.back();
}

void OVScreen::dispalayNavigationBar(bool display) {
    if (display == navigationBarIsDisplayed_) return;
    navigationBarIsDisplayed_ = display;
    const auto bar = navigationBar();
    if (display) {
        bar->setBackgroundImage(backgroundImage_);
        bar->setShadowImage(shadowImage_);
    } else {
        bar->setBackgroundImage(Image());
        bar->setShadowImage(Image());
    }
    for (const auto& page : pages()) page->navigationBarDisplayChanged(display);
}

std::shared_ptr<AnimatedTransitioning> OVScreen::animationControllerFor(
    const std::shared_ptr<NavigationController>& /*navigationController*/, NavigationControllerOperation operation,
    const std::shared_ptr<ViewController>& /*from*/, const std::shared_ptr<ViewController>& /*to*/) {
    if (!theme_) return nullptr;
    return OVNavigationPushTransitioning::create(theme_->backgroundColor(), operation);
}

}  // namespace orvane
