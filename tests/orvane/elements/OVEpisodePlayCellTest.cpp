// The episode page's play row as the listener meets it: the play, restart
// or playing state the current-track flag and the player's status choose,
// taps that reach the page whatever the title, and the theme's colours with
// blue standing in for a missing main colour.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingPage.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using namespace platform::ui;
using platform::core::RunLoop;
using testsupport::Calls;
namespace content = testsupport::content;

// An episode page holding the element, its row shown in a window.
struct Row {
    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingPage> page;
    std::shared_ptr<OVPageElement::EpisodePlay> element;
    std::shared_ptr<OVEpisodePlayCell> cell;
    testsupport::ShownCell shown;

    explicit Row(bool withDelegate = true) {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        page = OVPage::create<testsupport::RecordingPage>(
            nullptr, [&](const std::shared_ptr<testsupport::RecordingPage>& self) -> OVPageElements {
                element = OVPageElement::create<OVPageElement::EpisodePlay>(nullptr, self);
                return {element};
            });
        cell = element->tableViewCell();
        if (withDelegate) cell->setDelegate(page);
        cell->update(OVTheme::light, Color{0.10, 0.35, 0.85, 1});
        shown = testsupport::showCell(cell, 375, "episode-play");
    }

    // What the row shows: the button's title, or "label" for the playing label.
    std::string showing() const {
        const bool button = !cell->playButton()->isHidden();
        const bool label = !cell->infoLabel()->isHidden();
        if (button == label) return "both or neither";
        return label ? "label" : cell->playButton()->title(ControlState::normal).value_or("(no title)");
    }
};

TEST(EpisodePlayCell, TheCurrentTrackFlagAndThePlayerStatusChooseWhatTheRowShows) {
    using Input = std::function<void(OVEpisodePlayCell&)>;
    const Input current = [](OVEpisodePlayCell& c) { c.update(true); };
    const Input other = [](OVEpisodePlayCell& c) { c.update(false); };
    const auto status = [](OVAudioPlayerStatus s) { return Input([s](OVEpisodePlayCell& c) { c.update(s); }); };
    struct Case {
        std::string name;
        std::vector<Input> inputs;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"only the flag so far", {current}, "Play"},
        {"only the status so far", {status(OVAudioPlayerStatus::playing)}, "Play"},
        {"another episode playing", {other, status(OVAudioPlayerStatus::playing)}, "Play"},
        {"another episode paused", {status(OVAudioPlayerStatus::paused), other}, "Play"},
        {"current and paused", {current, status(OVAudioPlayerStatus::paused)}, "Resume"},
        {"current and loading", {current, status(OVAudioPlayerStatus::loading)}, "label"},
        {"current and playing", {status(OVAudioPlayerStatus::playing), current}, "label"},
        {"playing, then paused", {current, status(OVAudioPlayerStatus::playing), status(OVAudioPlayerStatus::paused)},
         "Resume"},
        {"playing, then another episode",
         {current, status(OVAudioPlayerStatus::playing), other}, "Play"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Row row;
        for (const auto& input : c.inputs) input(*row.cell);
        EXPECT_EQ(row.showing(), c.expected);
        // The label keeps its text whatever shows.
        EXPECT_EQ(row.cell->infoLabel()->text(), "Now playing");
    }
}

TEST(EpisodePlayCell, ATapReachesThePageWhateverTheTitleAndNobodyWithoutDelegate) {
    for (const bool withDelegate : {true, false}) {
        SCOPED_TRACE(withDelegate ? "with delegate" : "without delegate");
        Row row(withDelegate);
        const auto tapButton = [&] {
            row.shown.window->layoutIfNeeded();
            const auto button = row.cell->playButton();
            const Rect b = button->bounds();
            testsupport::tap(*row.shown.window, button->convertPoint(Point{b.midX(), b.midY()}, nullptr));
            RunLoop::main().runUntilIdle();
        };
        tapButton();  // "Play"
        row.cell->update(true);
        row.cell->update(OVAudioPlayerStatus::paused);
        tapButton();  // "Resume"
        row.cell->update(OVAudioPlayerStatus::playing);
        tapButton();  // hidden: the label takes nothing either
        EXPECT_EQ(row.page->calls, withDelegate ? (Calls{"didTapPlay()", "didTapPlay()"}) : Calls{});
    }
}

TEST(EpisodePlayCell, TheThemeColoursTheRowAndBlueStandsInForAMissingMainColour) {
    Row row;
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        row.cell->update(look.theme, look.mainColor);
        EXPECT_EQ(row.cell->playButton()->backgroundColor(), look.mainColor);
        EXPECT_EQ(row.cell->infoLabel()->textColor(), look.theme.color(OVTheme::FontColor::typeB));
        EXPECT_EQ(row.cell->infoLabel()->layer()->borderColor(), look.theme.separatorColor());
        row.cell->update(look.theme, std::optional<Color>());
        EXPECT_EQ(row.cell->playButton()->backgroundColor(), (Color{0, 0, 1, 1}));
    }
}

TEST(EpisodePlayCell, SnapshotsOfThePlayAndPlayingStates) {
    for (const auto& look : content::looks()) {
        for (const bool playing : {false, true}) {
            const std::string name = "episode-play-" + look.name + (playing ? "-playing" : "-play");
            SCOPED_TRACE(name);
            Row row;
            row.shown.window->setBackgroundColor(look.theme.backgroundColor());
            row.shown.table->setBackgroundColor(look.theme.backgroundColor());
            row.cell->contentView()->setBackgroundColor(look.theme.backgroundColor());
            row.cell->update(look.theme, look.mainColor);
            row.cell->update(true);
            row.cell->update(playing ? OVAudioPlayerStatus::playing : OVAudioPlayerStatus::paused);
            const auto image = row.shown.snapshot(name);
            ASSERT_TRUE(image);
            // The button's colour fills its place only while it shows.
            const Rect place = row.cell->playButton()->convertRect(row.cell->playButton()->bounds(), nullptr);
            const renderprobe::Rgba main{static_cast<int>(look.mainColor.red * 255 + 0.5),
                                         static_cast<int>(look.mainColor.green * 255 + 0.5),
                                         static_cast<int>(look.mainColor.blue * 255 + 0.5), 255};
            EXPECT_EQ(renderprobe::near(renderprobe::pixelAt(*image, place.origin.x + 8, place.midY()), main, 3),
                      !playing);
        }
    }
}

}  // namespace
