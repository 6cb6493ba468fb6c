#include <gtest/gtest.h>

#include "orvane/toolkit/OVDownloadTrackView.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace orvane;
using platform::core::RunLoop;

namespace {

struct Shown {
    bool button, ring;
    bool operator==(const Shown&) const = default;
};

Shown shown(const OVDownloadTrackView& view) {
    return {!view.downloadButton()->isHidden(), !view.progressionView()->isHidden()};
}

TEST(OVDownloadTrackView, FollowsTheDownloadStatus) {
    struct Case {
        OVTrack::DownloadStatus status;
        Shown expected;
    };
    const std::vector<Case> cases{
        {OVTrack::InProgress{0.0f}, {false, true}},
        {OVTrack::InProgress{0.4f}, {false, true}},
        {OVTrack::NotDownloaded{}, {true, false}},
        {OVTrack::Downloaded{}, {false, false}},
    };
    auto view = OVDownloadTrackView::create({0, 0, 44, 44});
    EXPECT_EQ(shown(*view), (Shown{true, true}));
    EXPECT_EQ(view->downloadButton()->frame(), (platform::graphics::Rect{7, 7, 30, 30}));
    for (const auto& c : cases) {
        view->update(c.status);
        EXPECT_EQ(shown(*view), c.expected) << c.status.index();
    }
}

TEST(OVDownloadTrackView, FakeFillHidesEverythingAfterOneSecond) {
    RunLoop::main().useManualClock();
    auto view = OVDownloadTrackView::create({0, 0, 44, 44});
    view->startFakeAnimation();
    EXPECT_EQ(shown(*view), (Shown{false, true}));
    view->update(OVTrack::Downloaded{});  // the running fill keeps the ring
    EXPECT_EQ(shown(*view), (Shown{false, true}));
    RunLoop::main().advance(1.1);
    EXPECT_EQ(shown(*view), (Shown{false, false}));
    view->update(OVTrack::NotDownloaded{});
    EXPECT_EQ(shown(*view), (Shown{true, false}));
}

TEST(OVDownloadTrackView, ATapOfTheButtonCallsTheHandlerThroughTheRing) {
    RunLoop::main().useManualClock();
    auto window = platform::ui::Window::create({100, 100});
    auto view = OVDownloadTrackView::create({0, 0, 44, 44});
    window->addSubview(view);
    testsupport::tap(*window, {22, 22});  // with no handler: only the ring's background circle
    int taps = 0;
    view->setDidTapDownloadHandler([&] { ++taps; });
    testsupport::tap(*window, {22, 22});  // inside the ring, which takes no touches
    testsupport::tap(*window, {9, 9});    // the button's corner
    EXPECT_EQ(taps, 2);
}

}  // namespace
