// The GTK host adapter on a real display (the test runs under xvfb-run; it
// is skipped where no display can be opened). Uses only what a host has:
// the host API and the adapter's header.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "hosts/gtk/GtkWindowHost.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/SessionBus.hpp"

namespace {

using platform::core::RunLoop;

// GTK as the tests need it whatever the machine has: a private session bus
// (GTK never looks for the user's, nor tries to start one), no accessibility
// bus, and drawing with Cairo without probing the GL stack at all (the
// drivers it would load and unload again keep allocations that the leak
// checker can no longer name). Set before the first gtk_init.
class GtkTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        bus_ = std::make_unique<testsupport::SessionBus>();
        g_setenv("GSK_RENDERER", "cairo", TRUE);
        g_setenv("GDK_DEBUG", "gl-disable", TRUE);
        g_setenv("GDK_BACKEND", "x11", TRUE);
        g_setenv("GTK_A11Y", "none", TRUE);
    }
    void TearDown() override { bus_.reset(); }

private:
    std::unique_ptr<testsupport::SessionBus> bus_;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new GtkTestEnvironment);

// Iterates GLib's default context (blocking, as GTK's own loop does) until
// `done` holds or `seconds` pass; gives whether it held.
template <class Predicate>
bool spinUntil(Predicate done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    // A timer bounds each blocking iteration so that the deadline is seen.
    const guint guard = g_timeout_add(20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool held = done();
    while (!held && std::chrono::steady_clock::now() < end) {
        g_main_context_iteration(nullptr, TRUE);
        held = done();
    }
    g_source_remove(guard);
    return held;
}

void spinFor(double seconds) {
    spinUntil([] { return false; }, seconds);
}

class GtkWindowHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gtk_init_check()) GTEST_SKIP() << "no display: run under xvfb-run";
        orvane::hosts::GtkWindowHost::attachRunLoop();
    }
};

TEST_F(GtkWindowHostTest, TheWindowTakesTheAreasSizeAndDrawsOnlyWhenSomethingChanged) {
    auto window = platform::ui::Window::create({200, 120}, 1);
    auto root = platform::ui::View::create();
    root->setBackgroundColor(platform::graphics::Color::plainRed());
    window->setRootView(root);
    orvane::hosts::GtkWindowHost host(window);
    GtkWidget* top = gtk_window_new();
    gtk_window_set_default_size(GTK_WINDOW(top), 240, 160);
    gtk_window_set_child(GTK_WINDOW(top), host.widget());
    gtk_window_present(GTK_WINDOW(top));

    ASSERT_TRUE(spinUntil([&] { return host.framesDrawn() > 0; }, 10)) << "the area never drew";
    spinFor(0.3);
    EXPECT_EQ(window->size().width, gtk_widget_get_width(host.widget()));
    EXPECT_EQ(window->size().height, gtk_widget_get_height(host.widget()));
    EXPECT_EQ(window->scale(), gtk_widget_get_scale_factor(host.widget()));
    ASSERT_NE(window->backingSurface(), nullptr);

    // Idle: no frame at all.
    const long idle = host.framesDrawn();
    spinFor(0.5);
    EXPECT_EQ(host.framesDrawn(), idle);

    // A change asks for one frame.
    root->setBackgroundColor(platform::graphics::Color::plainBlue());
    ASSERT_TRUE(spinUntil([&] { return host.framesDrawn() > idle; }, 5));
    spinFor(0.3);
    EXPECT_EQ(host.framesDrawn(), idle + 1);
    EXPECT_EQ(host.lastFrameChangedArea(), window->bounds()) << "the whole window changed";

    // A small change hands GTK only the tiles (64 pixels square) it touches.
    const platform::ui::Rect dot{150, 90, 24, 24};
    auto small = platform::ui::View::create(dot);
    small->setBackgroundColor(platform::graphics::Color::plainRed());
    root->addSubview(small);
    const long added = host.framesDrawn();
    ASSERT_TRUE(spinUntil([&] { return host.framesDrawn() > added; }, 5));
    const long shown = host.framesDrawn();
    small->setBackgroundColor(platform::graphics::Color::plainBlue());
    ASSERT_TRUE(spinUntil([&] { return host.framesDrawn() > shown; }, 5));
    const auto area = host.lastFrameChangedArea();
    EXPECT_TRUE(area.contains(dot));
    EXPECT_LE(area.size.width, 128);
    EXPECT_LE(area.size.height, 128);

    gtk_window_destroy(GTK_WINDOW(top));
    spinFor(0.1);
}

TEST_F(GtkWindowHostTest, TheRunLoopRunsInsideGLibWokenByPostsAndDeadlines) {
    auto& loop = RunLoop::main();
    // A post from another thread wakes GLib's blocking iteration.
    std::atomic<bool> ran = false;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        loop.async([&] { ran = true; });
    });
    EXPECT_TRUE(spinUntil([&] { return ran.load(); }, 5));
    poster.join();

    // A delayed task runs at its deadline, not before.
    const double start = loop.now();
    double ranAt = 0;
    loop.asyncAfter(0.2, [&] { ranAt = loop.now(); });
    ASSERT_TRUE(spinUntil([&] { return ranAt > 0; }, 5));
    EXPECT_GE(ranAt - start, 0.2);
    EXPECT_LT(ranAt - start, 0.5);

    // Nothing left to do: no source of ours is ready, so GLib would sleep.
    EXPECT_FALSE(loop.nextDeadline());
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    EXPECT_FALSE(g_main_context_pending(nullptr));
}

}  // namespace
