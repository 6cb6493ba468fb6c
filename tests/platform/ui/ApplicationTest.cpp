#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/SelectionFeedbackGenerator.hpp"
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

TEST(Application, ASelectionFeedbackGeneratorGivesOneSelectionHapticPerChange) {
    auto& app = Application::shared();
    const int before = app.hapticFeedbackCount();
    const int selectionsBefore = app.hapticFeedbackCount(HapticFeedbackStyle::selection);
    auto generator = SelectionFeedbackGenerator::create();
    generator->prepare();
    EXPECT_EQ(app.hapticFeedbackCount(), before) << "preparing gives no feedback";
    generator->selectionChanged();
    SelectionFeedbackGenerator::create()->selectionChanged();
    app.hapticFeedback(HapticFeedbackStyle::heavy);
    EXPECT_EQ(app.hapticFeedbackCount(HapticFeedbackStyle::selection), selectionsBefore + 2);
    EXPECT_EQ(app.hapticFeedbackCount(), before + 3);
}

}  // namespace
