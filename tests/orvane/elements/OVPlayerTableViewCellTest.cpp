// The player element as the main page drives it and as a listener uses it:
// what a theme, an episode and positions show; a drag of the slider through
// the window, its seek and the positions ignored meanwhile; how drags that
// end without a seek recover; the thumb, the touch acceptance, the slot and
// the artwork's ratio; and the row's pictures, playing and paused.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "orvane/elements/OVPlayerTableViewCellInteractor.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"
#include "PlayerRowKit.hpp"

namespace {

using namespace orvane;
using platform::core::RunLoop;
using platform::graphics::Point;
using platform::graphics::Rect;
using platform::ui::ControlState;
using platform::ui::TouchPhase;
using testsupport::Calls;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

renderprobe::Rgba rgba(const platform::graphics::Color& c) {
    const auto byte = [](double v) { return static_cast<int>(std::lround(v * 255)); };
    return {byte(c.red), byte(c.green), byte(c.blue), byte(c.alpha)};
}

struct PlayerCellTest : ::testing::Test {
    void SetUp() override {
        RunLoop::main().useManualClock();
        ASSERT_TRUE(row.cell);
        ASSERT_TRUE(row.buttons);
    }

    std::string left() { return row.cell->sliderLeftLabel()->text().value_or("<none>"); }
    std::string right() { return row.cell->sliderRightLabel()->text().value_or("<none>"); }
    float value() { return row.cell->slider()->value(); }

    // The row shown as the main page shows it: light theme, the demo episode
    // at 30 s of 120, the position free to change.
    testsupport::ShownCell show(const std::string& name = "player-drag") {
        row.cell->update(OVTheme::light, platform::graphics::Color{0.10, 0.35, 0.85, 1});
        row.cell->update(playerrow::episodeWithoutArtwork(), playerrow::podcast());
        row.cell->update(true);
        row.cell->update(30.0, 120.0);
        auto shown = testsupport::showCell(row.cell, 375, name);
        row.cell->setTrackLabelTextMaxLength();  // as the page does when it is presented
        return shown;
    }

    // Where a finger goes down on the thumb (its centre as the slider sees
    // it when the touch begins) and where it must go for `fraction`, in the
    // window.
    struct Stroke {
        Point from, to;
    };
    Stroke strokeTo(float fraction) {
        auto slider = row.cell->slider();
        const Rect bounds = slider->bounds();
        slider->setHighlighted(true);  // the slider is highlighted as the touch begins
        const Rect thumb = slider->thumbRect(bounds, slider->trackRect(bounds), slider->value());
        slider->setHighlighted(false);
        const Rect track = slider->trackRect(bounds);
        const double travel = track.size.width - thumb.size.width;
        const double targetCentre = track.minX() + thumb.size.width / 2 + travel * fraction;
        const Point from{thumb.midX(), bounds.midY()};
        return {slider->convertPoint(from, nullptr), slider->convertPoint({targetCentre, bounds.midY()}, nullptr)};
    }

    testsupport::TempDocuments documents;
    playerrow::Row row;
};

TEST_F(PlayerCellTest, ThemeThenEpisodeShowsTheArtworkFallbackBothTitlesAndThePosition) {
    struct Case {
        const char* name;
        bool episodeDescribed;
        bool podcastDescribed;
        std::optional<std::string> image;    // what the artwork loads
        std::optional<std::string> podcast;  // the podcast line
    };
    const std::vector<Case> cases{
        {"episode without artwork", true, true, playerrow::coverURL, "Quillary, la science en cuisine"},
        {"episode without description", false, true, std::nullopt, "Quillary, la science en cuisine"},
        {"podcast without description", true, false, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        playerrow::Row fresh;
        auto podcast = playerrow::podcast();
        if (!c.podcastDescribed) podcast.description.reset();
        auto episode = playerrow::episodeWithoutArtwork();
        if (!c.episodeDescribed) episode->setDescription(std::nullopt);

        fresh.cell->update(OVTheme::dark, platform::graphics::Color{0.95, 0.45, 0.10, 1});
        fresh.cell->update(episode, podcast);
        const auto url = fresh.cell->contentImgView()->url();
        EXPECT_EQ(url ? std::optional<std::string>(url->absoluteString()) : std::nullopt, c.image);
        EXPECT_EQ(fresh.cell->podcastLabel()->text(), c.podcast);
        EXPECT_EQ(fresh.cell->trackLabel()->text(), "Why does bread rise? The chemistry of a perfect loaf");
        // The episode keeps the artwork it was given; one without description is left alone.
        if (c.episodeDescribed) {
            EXPECT_EQ(episode->description()->image, c.image);
        } else {
            EXPECT_FALSE(episode->description());
        }
        // The theme dressed the labels and the slider.
        EXPECT_EQ(fresh.cell->podcastLabel()->textColor(), OVTheme::dark.color(OVTheme::FontColor::typeB));
        EXPECT_EQ(fresh.cell->trackLabel()->textColor(), OVTheme::dark.color(OVTheme::FontColor::typeA));
        EXPECT_EQ(fresh.cell->slider()->minimumTrackTintColor(), (platform::graphics::Color{0.95, 0.45, 0.10, 1}));
        EXPECT_EQ(fresh.cell->slider()->maximumTrackTintColor(), OVTheme::dark.maximumTrackTintColor());

        fresh.cell->update(30.0, 120.0);
        EXPECT_EQ(fresh.cell->sliderLeftLabel()->text(), "0:30");
        EXPECT_EQ(fresh.cell->sliderRightLabel()->text(), "2:00");
        EXPECT_EQ(fresh.cell->slider()->value(), 0.25f);
    }
}

TEST_F(PlayerCellTest, PositionsThatAreNotPositiveFiniteNumbersShowZeroAndAFractionWithinRange) {
    struct Case {
        double time, duration;
        std::string left, right;
        float progress;
    };
    const std::vector<Case> cases{
        {30, 120, "0:30", "2:00", 0.25f},
        {59.99, 120, "0:59", "2:00", 0.49991667f},
        {3725.9, 7200, "1:02:05", "2:00:00", 0.51748610f},
        {0, 0, "0:00", "0:00", 0},
        {10, 0, "0:10", "0:00", 0},
        {10, -5, "0:10", "0:00", 0},
        {-3, 60, "0:00", "1:00", 0},
        {200, 120, "3:20", "2:00", 1},
        {nan, 120, "0:00", "2:00", 0},
        {30, nan, "0:30", "0:00", 0},
        {inf, inf, "0:00", "0:00", 0},
        {-inf, 60, "0:00", "1:00", 0},
        {1e300, 1e300, "100000:00:00", "100000:00:00", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time << " of " << c.duration);
        row.cell->update(c.time, c.duration);
        EXPECT_EQ(left(), c.left);
        EXPECT_EQ(right(), c.right);
        EXPECT_FLOAT_EQ(value(), c.progress);
    }
    // A drag over an unusable duration asks for a seek to 0, never to a
    // number that is not one.
    row.cell->update(30.0, nan);
    auto shown = testsupport::showCell(row.cell, 375, "player-nan");
    const auto stroke = strokeTo(0.5f);
    testsupport::drag(*shown.window, stroke.from, stroke.to, 0.2);
    EXPECT_EQ(row.coordinator->calls, (Calls{"didChangeSlider(0)"}));
}

TEST_F(PlayerCellTest, ADragShowsTheThumbsTimeIgnoresPositionsAndSeeksOnRelease) {
    auto shown = show();
    const auto stroke = strokeTo(0.5f);
    auto& window = *shown.window;

    window.sendTouch(1, TouchPhase::began, stroke.from);
    RunLoop::main().advance(0.05);
    window.sendTouch(1, TouchPhase::moved, {(stroke.from.x + stroke.to.x) / 2, stroke.from.y});
    RunLoop::main().advance(0.05);
    window.sendTouch(1, TouchPhase::moved, stroke.to);
    EXPECT_EQ(value(), 0.5f);
    EXPECT_EQ(left(), "1:00");
    EXPECT_EQ(right(), "2:00");
    EXPECT_EQ(row.cell->slider()->currentThumbImage(), OVGetAsset::sliderButtonHighlighted());
    // Playback goes on meanwhile: nothing of it shows.
    row.cell->update(31.0, 240.0);
    EXPECT_EQ(left(), "1:00");
    EXPECT_EQ(value(), 0.5f);
    EXPECT_TRUE(row.coordinator->calls.empty());

    window.sendTouch(1, TouchPhase::ended, stroke.to);
    EXPECT_EQ(row.coordinator->calls, (Calls{"didChangeSlider(60)"}));
    EXPECT_EQ(row.cell->slider()->currentThumbImage(), OVGetAsset::sliderButtonNormal());
    // Until the seek completes, the old positions stay away.
    row.cell->update(32.0, 120.0);
    EXPECT_EQ(left(), "1:00");
    EXPECT_EQ(value(), 0.5f);
    ASSERT_EQ(row.coordinator->sliderCompletions.size(), 1u);
    ASSERT_TRUE(row.coordinator->sliderCompletions[0]);
    row.coordinator->sliderCompletions[0](true);
    row.cell->update(60.5, 120.0);
    EXPECT_EQ(left(), "1:00");
    EXPECT_FLOAT_EQ(value(), 60.5f / 120);
    row.cell->update(61.0, 120.0);
    EXPECT_EQ(left(), "1:01");
}

TEST_F(PlayerCellTest, DragsThatEndWithoutASeekFollowThePositionsAgain) {
    enum class End { cancelled, releasedWithoutDelegate, releasedInPlace };
    struct Case {
        const char* name;
        End end;
        Calls calls;
        bool followsAtOnce;  // positions show again before any completion
    };
    const std::vector<Case> cases{
        {"a cancelled touch", End::cancelled, {}, true},
        {"a release with no delegate", End::releasedWithoutDelegate, {}, true},
        {"a release without moving", End::releasedInPlace, {"didChangeSlider(30)"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        playerrow::Row fresh;
        std::swap(row, fresh);
        auto shown = show();
        if (c.end == End::releasedWithoutDelegate) row.cell->setDelegate({});
        const auto stroke = strokeTo(0.75f);
        auto& window = *shown.window;
        window.sendTouch(7, TouchPhase::began, stroke.from);
        if (c.end != End::releasedInPlace) {
            RunLoop::main().advance(0.05);
            window.sendTouch(7, TouchPhase::moved, stroke.to);
            EXPECT_EQ(left(), "1:30");
        }
        RunLoop::main().advance(0.05);
        window.sendTouch(7, c.end == End::cancelled ? TouchPhase::cancelled : TouchPhase::ended,
                         c.end == End::releasedInPlace ? stroke.from : stroke.to);
        EXPECT_EQ(row.coordinator->calls, c.calls);
        EXPECT_EQ(row.cell->slider()->currentThumbImage(), OVGetAsset::sliderButtonNormal());

        row.cell->update(45.0, 120.0);
        EXPECT_EQ(left() == "0:45", c.followsAtOnce);
        // The slider still drags and seeks afterwards.
        row.cell->setDelegate(row.coordinator);
        for (auto& completion : row.coordinator->sliderCompletions) completion(true);
        row.coordinator->calls.clear();
        row.cell->update(45.0, 120.0);
        const auto again = strokeTo(0.5f);
        testsupport::drag(window, again.from, again.to, 0.2);
        EXPECT_EQ(row.coordinator->calls, (Calls{"didChangeSlider(60)"}));
    }
}

TEST_F(PlayerCellTest, ACompletionFromAnotherThreadOrAnOlderSeekEndsNothingTooEarly) {
    auto shown = show();
    // First seek, not yet completed; a second drag is released meanwhile.
    for (const float fraction : {0.5f, 0.75f}) {
        const auto stroke = strokeTo(fraction);
        testsupport::drag(*shown.window, stroke.from, stroke.to, 0.2);
    }
    EXPECT_EQ(row.coordinator->calls, (Calls{"didChangeSlider(60)", "didChangeSlider(90)"}));
    row.coordinator->sliderCompletions[0](true);  // the older seek
    row.cell->update(31.0, 120.0);
    EXPECT_EQ(left(), "1:30");
    // The latest one, from a worker thread, is carried to the main thread.
    std::thread worker([&] { row.coordinator->sliderCompletions[1](true); });
    worker.join();
    row.cell->update(32.0, 120.0);
    EXPECT_EQ(left(), "1:30");
    RunLoop::main().runUntilIdle();
    row.cell->update(91.0, 120.0);
    EXPECT_EQ(left(), "1:31");
}

TEST_F(PlayerCellTest, TheThumbRectangleAndTheTouchesTheRowLeavesToTheContainer) {
    auto shown = show("player-thumb");
    auto slider = row.cell->slider();
    const Rect bounds = slider->bounds();
    const Rect track = slider->trackRect(bounds);
    for (const float v : {0.0f, 0.25f, 1.0f}) {
        SCOPED_TRACE(v);
        const Rect base = slider->Slider::thumbRect(bounds, track, v);
        for (const bool highlighted : {false, true}) {
            slider->setHighlighted(highlighted);
            const double s = highlighted ? 30 : 8;
            const double d = base.size.width - s;
            EXPECT_EQ(slider->thumbRect(bounds, track, v), (Rect{base.minX() - d / 2 + d * v, base.minY(), 30, 30}));
        }
        slider->setHighlighted(false);
    }

    // Off: no touch, no thumb, the base rectangle.
    row.cell->update(false);
    EXPECT_FALSE(slider->isUserInteractionEnabled());
    ASSERT_TRUE(slider->currentThumbImage());
    EXPECT_EQ(slider->currentThumbImage()->width(), 0);
    EXPECT_EQ(slider->thumbRect(bounds, track, 0.25f), slider->Slider::thumbRect(bounds, track, 0.25f));
    const auto stroke = strokeTo(0.5f);
    testsupport::drag(*shown.window, stroke.from, stroke.to, 0.2);
    EXPECT_TRUE(row.coordinator->calls.empty());
    EXPECT_EQ(value(), 0.25f);
    // On again: it takes touches with the normal thumb.
    row.cell->update(true);
    EXPECT_EQ(slider->currentThumbImage(), OVGetAsset::sliderButtonNormal());
    const auto enabled = strokeTo(0.5f);
    testsupport::drag(*shown.window, enabled.from, enabled.to, 0.2);
    EXPECT_EQ(row.coordinator->calls, (Calls{"didChangeSlider(60)"}));

    // The root container's pans may begin anywhere but on the slider.
    const Rect onCell = slider->convertRect(slider->bounds(), row.cell.get());
    auto pan = platform::ui::PanGestureRecognizer::create();
    EXPECT_FALSE(row.cell->accept(onCell.origin, *pan));
    EXPECT_FALSE(row.cell->accept({onCell.midX(), onCell.midY()}, *pan));
    EXPECT_FALSE(row.cell->accept({onCell.maxX() - 0.5, onCell.maxY() - 0.5}, *pan));
    EXPECT_TRUE(row.cell->accept({onCell.maxX(), onCell.maxY()}, *pan));
    EXPECT_TRUE(row.cell->accept({onCell.midX(), onCell.minY() - 1}, *pan));
    EXPECT_TRUE(row.cell->accept({100, 100}, *pan));  // on the artwork
}

TEST_F(PlayerCellTest, ASlotSwapRemovesTheOldViewAndAnEmptySlotTakesNoUpdates) {
    auto first = row.buttons;
    auto second = OVPlayerTrackButtons::newFromNib();
    ASSERT_TRUE(second);
    row.cell->setButtonsView(second);
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_EQ(second->superview(), row.cell->buttonsViewContainer());
    EXPECT_EQ(row.cell->buttonsViewContainer()->subviews().size(), 1u);
    auto shown = show("player-slot");
    EXPECT_EQ(second->frame(), row.cell->buttonsViewContainer()->bounds());

    // The old view hears nothing more; the new one does.
    row.cell->update(OVAudioPlayerStatus::playing);
    EXPECT_FALSE(first->playButton()->isHidden());
    EXPECT_TRUE(second->playButton()->isHidden());

    row.cell->setButtonsView(nullptr);
    EXPECT_EQ(row.cell->buttonsView(), nullptr);
    EXPECT_TRUE(row.cell->buttonsViewContainer()->subviews().empty());
    row.cell->update(OVAudioPlayerStatus::paused);
    row.cell->update(false);
    EXPECT_TRUE(second->playButton()->isHidden());
    EXPECT_TRUE(second->forwardButton()->isEnabled());
    EXPECT_FALSE(row.cell->slider()->isUserInteractionEnabled());
}

TEST_F(PlayerCellTest, TheRatioConstraintSetsTheArtworksHeightAndTheRowFollows) {
    auto shown = show("player-ratio");
    const double fullHeight = row.cell->frame().size.height;
    EXPECT_EQ(row.cell->contentImgView()->frame(), (Rect{0, 0, 375, 375}));
    ASSERT_TRUE(row.cell->ratioConstraint());
    // What the main page writes for a ratio of 2/3: (ratio - 1) x width.
    row.cell->ratioConstraint()->setConstant(-125);
    shown.table->reloadData();
    shown.snapshot("player-ratio-two-thirds");
    EXPECT_EQ(row.cell->contentImgView()->frame().size, (platform::graphics::Size{375, 250}));
    EXPECT_EQ(row.cell->frame().size.height, fullHeight - 125);
    // The titles stay at the artwork's foot, the slider below it.
    EXPECT_LE(row.cell->trackLabel()->frame().maxY(), 250);
    EXPECT_GE(row.cell->slider()->frame().minY(), 250);
}

TEST_F(PlayerCellTest, SnapshotsOfTheRowPlayingAndPaused) {
    for (const auto& look : testsupport::content::looks()) {
        for (const auto status : {OVAudioPlayerStatus::playing, OVAudioPlayerStatus::paused}) {
            const std::string name = std::string("player-") + look.name + "-" +
                                     (status == OVAudioPlayerStatus::playing ? "playing" : "paused");
            SCOPED_TRACE(name);
            playerrow::Row fresh;
            fresh.cell->update(look.theme, look.mainColor);
            fresh.cell->update(playerrow::episodeWithoutArtwork(), playerrow::podcast());
            fresh.cell->update(true);
            fresh.cell->update(status);
            fresh.cell->update(754.0, 1800.0);
            auto shown = testsupport::showCell(fresh.cell, 375, name + "-loading");
            fresh.cell->setTrackLabelTextMaxLength();  // as the page does when it is presented
            ASSERT_TRUE(RunLoop::main().runUntil(
                [&] { return fresh.cell->contentImgView()->imageView()->image().has_value(); }, 10));
            EXPECT_EQ(fresh.cell->contentImgView()->imageView()->image()->pixelWidth(), 240);
            RunLoop::main().advance(1);  // the artwork's fade-in; the title scrolls on
            auto image = shown.snapshot(name);
            ASSERT_TRUE(image);
            EXPECT_EQ(fresh.cell->sliderLeftLabel()->text(), "12:34");
            EXPECT_EQ(fresh.cell->sliderRightLabel()->text(), "30:00");
            // The row's background under the buttons is the theme's.
            const auto background = look.theme.backgroundColor();
            const double buttonsY = fresh.cell->buttonsViewContainer()->convertPoint({0, 0}, nullptr).y;
            EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 4, buttonsY + 4),
                                          rgba(background), 3))
                << renderprobe::describe(renderprobe::pixelAt(*image, 4, buttonsY + 4));
            EXPECT_EQ(fresh.buttons->playButton()->isHidden(), status == OVAudioPlayerStatus::playing);
        }
    }
}

}  // namespace
