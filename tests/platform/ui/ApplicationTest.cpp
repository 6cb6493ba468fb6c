#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

TEST(Application, KnowsItsWindowsAndLogsOpenedURLs) {
    auto& app = Application::shared();
    EXPECT_EQ(app.statusBarFrame(), Rect::zero());
    auto first = Window::create({375, 812});
    first->setStatusBarFrame({0, 0, 375, 44});
    {
        auto passing = Window::create({100, 100});
        EXPECT_EQ(app.windows().size(), 2U);
    }
    EXPECT_EQ(app.windows(), (std::vector<std::shared_ptr<Window>>{first}));
    EXPECT_EQ(app.statusBarFrame(), (Rect{0, 0, 375, 44}));

    std::vector<bool> outcomes;
    for (const std::string url : {"https://example.org/a", "mailto:x@example.org", "no scheme", ":empty"}) {
        app.open(url, [&](bool ok) { outcomes.push_back(ok); });
    }
    EXPECT_EQ(outcomes, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(app.openedURLs(), (std::vector<std::string>{"https://example.org/a", "mailto:x@example.org"}));

    app.hapticFeedback(HapticFeedbackStyle::light);
    app.hapticFeedback(HapticFeedbackStyle::success);
    EXPECT_EQ(app.hapticFeedbackCount(), 2);
}

}  // namespace
