// The remote command centre and the application's remote-control events.
#include <gtest/gtest.h>

#include "platform/core/SystemVersion.hpp"
#include "platform/media/RemoteCommandCenter.hpp"
#include "platform/ui/views/Application.hpp"

namespace {

using namespace platform::media;

TEST(RemoteCommandCenter, FiringDeliversTheEventToEveryHandlerInOrderAndCollectsTheirAnswers) {
    auto& command = RemoteCommandCenter::shared().changePlaybackPositionCommand();
    std::vector<std::string> calls;
    const auto first = command.addTarget([&](const RemoteEvent& event) {
        const auto* change = std::get_if<ChangePlaybackPositionCommandEvent>(&event);
        calls.push_back("first " + std::to_string(change ? change->positionTime : -1));
        return RemoteCommandHandlerStatus::success;
    });
    command.addTarget([&](const RemoteEvent&) {
        calls.push_back("second");
        // A handler added while firing runs from the next event on.
        command.addTarget([&](const RemoteEvent&) {
            calls.push_back("late");
            return RemoteCommandHandlerStatus::success;
        });
        return RemoteCommandHandlerStatus::commandFailed;
    });

    const auto statuses = command.fire(ChangePlaybackPositionCommandEvent{7.5});
    EXPECT_EQ(statuses,
              (std::vector<RemoteCommandHandlerStatus>{RemoteCommandHandlerStatus::success,
                                                       RemoteCommandHandlerStatus::commandFailed}));
    EXPECT_EQ(calls, (std::vector<std::string>{"first 7.500000", "second"}));
    EXPECT_EQ(command.targetCount(), 3u);

    command.removeTarget(first);
    calls.clear();
    command.setEnabled(false);  // only tells the system whether to offer the control
    EXPECT_EQ(command.fire().size(), 2u);
    EXPECT_EQ(calls, (std::vector<std::string>{"second", "late"}));
    EXPECT_EQ(command.targetCount(), 3u);
    EXPECT_FALSE(command.isEnabled());
}

TEST(RemoteCommandCenter, CommandsAreDistinctAndSkipCommandsKeepTheirIntervals) {
    auto& center = RemoteCommandCenter::shared();
    int plays = 0;
    center.playCommand().addTarget([&](const RemoteEvent&) {
        ++plays;
        return RemoteCommandHandlerStatus::success;
    });
    EXPECT_TRUE(center.pauseCommand().fire().empty());
    EXPECT_TRUE(center.togglePlayPauseCommand().fire().empty());
    EXPECT_EQ(center.playCommand().fire().size(), 1u);
    EXPECT_EQ(plays, 1);
    EXPECT_TRUE(center.seekForwardCommand().isEnabled());
    EXPECT_TRUE(center.skipBackwardCommand().preferredIntervals().empty());
    center.skipBackwardCommand().setPreferredIntervals({-30.0});
    EXPECT_EQ(center.skipBackwardCommand().preferredIntervals(), std::vector<double>{-30.0});
    EXPECT_TRUE(center.skipForwardCommand().preferredIntervals().empty());
}

TEST(Application, RemoteControlEventsBeginAndEnd) {
    auto& application = platform::ui::Application::shared();
    EXPECT_FALSE(application.isReceivingRemoteControlEvents());
    application.beginReceivingRemoteControlEvents();
    application.beginReceivingRemoteControlEvents();
    EXPECT_TRUE(application.isReceivingRemoteControlEvents());
    application.endReceivingRemoteControlEvents();
    EXPECT_FALSE(application.isReceivingRemoteControlEvents());
    EXPECT_EQ(application.beginCount(), 2);
}

TEST(SystemVersion, DefaultsToTheNewestBehaviourAndGatesByMajorThenMinor) {
    using platform::core::SystemVersion;
    EXPECT_TRUE(SystemVersion::isAtLeast(10));
    EXPECT_TRUE(SystemVersion::isAtLeast(9, 1));
    SystemVersion::setCurrent({9, 0});
    EXPECT_FALSE(SystemVersion::isAtLeast(9, 1));
    EXPECT_TRUE(SystemVersion::isAtLeast(9));
    SystemVersion::setCurrent({9, 3});
    EXPECT_TRUE(SystemVersion::isAtLeast(9, 1));
    EXPECT_FALSE(SystemVersion::isAtLeast(10));
    EXPECT_EQ(SystemVersion::current(), (SystemVersion{9, 3}));
}

}  // namespace
