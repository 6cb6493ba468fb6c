// Test kit for the page tests: a root container that only writes each call,
// in order, into `calls` ("name(arguments)"), keeps the popups it is asked to
// show, and is the controller on which pages present their action sheets.
// `hold` puts a page on a screen of its own, so that the page reaches this
// container as its `fanViewController()`. Put it in a window
// (`window->setRootViewController(fan)`) before pages present on it.
// Header-only; main thread.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "orvane/pages/OVFanViewControllerProtocol.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "platform/ui/controllers/AlertController.hpp"
#include "support/RecordingCoordinator.hpp"

namespace testsupport {

inline std::string downloadStatusText(const orvane::OVTrack::DownloadStatus& status) {
    if (const auto* progress = std::get_if<orvane::OVTrack::InProgress>(&status))
        return "inProgress " + numberText(progress->value);
    if (std::holds_alternative<orvane::OVTrack::Downloaded>(status)) return "downloaded";
    return "notDownloaded";
}

class RecordingFanViewController : public platform::ui::ViewController,
                                   public orvane::OVFanViewControllerProtocol {
public:
    static std::shared_ptr<RecordingFanViewController> create() {
        return std::make_shared<RecordingFanViewController>(ConstructorKey{});
    }
    explicit RecordingFanViewController(ConstructorKey key) : ViewController(key) {}

    // A screen holding `page`, contained in this controller and filling its view.
    std::shared_ptr<orvane::OVScreen> hold(const std::shared_ptr<orvane::OVPage>& page) {
        auto screen = orvane::OVScreen::create(page);
        addChild(screen);
        screen->view()->setFrame(view()->bounds());
        view()->addSubview(screen->view());
        screen->didMove(shared_from_this());
        screens.push_back(screen);
        return screen;
    }

    // The action sheet presented on this controller now, if any.
    std::shared_ptr<platform::ui::AlertController> actionSheet() const {
        return std::dynamic_pointer_cast<platform::ui::AlertController>(presentedViewController());
    }

    void swipe(platform::ui::PageViewControllerNavigationDirection withDirection) override {
        calls.push_back(std::string("swipe(") +
                        (withDirection == platform::ui::PageViewControllerNavigationDirection::forward ? "forward"
                                                                                                        : "reverse") +
                        ")");
    }
    void displayPopup(const platform::ui::AttributedString& withAttributedString) override {
        calls.push_back("displayPopup(" + withAttributedString.string() + ")");
        popups.push_back(withAttributedString);
    }
    void moveToMainPage() override { calls.push_back("moveToMainPage()"); }
    void popToRootAndMoveToMainPage() override { calls.push_back("popToRootAndMoveToMainPage()"); }
    std::shared_ptr<platform::ui::ViewController> viewController() override { return shared_from_this(); }
    void downloadStatusDidChange(const std::shared_ptr<orvane::OVTrack>& forTrack,
                                 const orvane::OVTrack::DownloadStatus& to) override {
        calls.push_back("downloadStatusDidChange(" + (forTrack ? forTrack->key() : std::string("-")) + ", " +
                        downloadStatusText(to) + ")");
    }

    Calls calls;
    std::vector<platform::ui::AttributedString> popups;
    std::vector<std::shared_ptr<orvane::OVScreen>> screens;
};

}  // namespace testsupport
