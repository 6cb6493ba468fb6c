// Cost of dressing the player row of the main page for a new state while the
// page shows: every state delivery hands the row the player status and the
// position (labels, played fraction, the transport buttons' visibility), then
// the window makes its layout pass; a change of episode also sets the titles
// (the marquee measures its text again) and frees the slider.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPlayerTrackButtons.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"

using namespace orvane;

namespace {

struct ShownRow {
    std::shared_ptr<OVPageElement::Player> element;
    std::shared_ptr<OVPlayerTableViewCell> cell;
    std::shared_ptr<OVPlayerTrackButtons> buttons;
    std::shared_ptr<platform::ui::Window> window;

    ShownRow() {
        platform::core::RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        element = OVPageElement::create<OVPageElement::Player>(nullptr, nullptr);
        cell = element->tableViewCell();
        buttons = OVPlayerTrackButtons::newFromNib();
        cell->setButtonsView(buttons);
        window = platform::ui::Window::create({375, 560});
        cell->setFrame({0, 0, 375, 560});
        window->addSubview(cell);
        cell->update(OVTheme::light, platform::graphics::Color{0.10, 0.35, 0.85, 1});
        cell->update(episode(0), podcast());
        cell->update(true);
        window->layoutIfNeeded();
        cell->setTrackLabelTextMaxLength();
    }

    // Without artwork addresses: nothing is loaded while measuring.
    static OVContent podcast() {
        OVContent content;
        content.identifier = "quillary";
        content.title = "Quillary, la science en cuisine";
        content.description = OVObjDescription{"Quillary, la science en cuisine", "<p>Science in the kitchen.</p>",
                                               std::nullopt};
        return content;
    }
    static std::shared_ptr<OVTrack> episode(int n) {
        const std::string key = "quillary-" + std::to_string(n);
        return OVTrack::create(key, "Episode " + std::to_string(n) + ": why does bread rise? The chemistry of a loaf",
                               n, OVAudio{"https://media.example.com/audio/" + key + ".mp3", 1800.0},
                               OVObjDescription{"Bread", "<p>Yeast at work.</p>", std::nullopt}, std::nullopt, false);
    }
};

const OVAudioPlayerStatus statuses[] = {OVAudioPlayerStatus::loading, OVAudioPlayerStatus::playing,
                                        OVAudioPlayerStatus::paused};

void BM_PlayerRowStateDelivery(benchmark::State& state) {
    ShownRow row;
    int tick = 0;
    for (auto _ : state) {
        row.cell->update(statuses[tick % 3]);
        row.cell->update(0.5 * tick, 1800.0);
        row.window->layoutIfNeeded();
        ++tick;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlayerRowStateDelivery);

void BM_PlayerRowNewEpisode(benchmark::State& state) {
    ShownRow row;
    const auto podcast = ShownRow::podcast();
    const auto first = ShownRow::episode(1), second = ShownRow::episode(2);
    int tick = 0;
    for (auto _ : state) {
        row.cell->update(tick % 2 ? first : second, podcast);
        row.cell->update(true);
        row.cell->update(statuses[tick % 3]);
        row.cell->update(0.0, 1800.0);
        row.window->layoutIfNeeded();
        ++tick;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlayerRowNewEpisode);

}  // namespace

BENCHMARK_MAIN();
