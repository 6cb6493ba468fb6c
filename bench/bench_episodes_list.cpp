// Cost of a save in the podcast page's episode list of 500 episodes: the
// row's move from the other section to its date slot in the saved one, as
// one batch update of the inner table, the header titles rebuilt, and the
// window laid out again. The list is rebuilt (untimed) whenever every
// episode has been saved.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace orvane;

constexpr int episodeCount = 500;

// Episodes without artwork, so nothing is fetched.
OVContent podcastOf(int count) {
    OVContent podcast;
    podcast.identifier = "show";
    OVObjDescription description;
    description.title = "A podcast";
    podcast.description = description;
    std::vector<std::shared_ptr<OVTrack>> tracks;
    for (int i = 0; i < count; ++i) {
        tracks.push_back(OVTrack::create("show-" + std::to_string(i), "Episode number " + std::to_string(i), i,
                                         OVAudio{std::nullopt, 600}, OVObjDescription{},
                                         platform::core::Date{1723723200.0 - i * 86400.0}));
    }
    podcast.tracks = tracks;
    return podcast;
}

// state.range(0): 1 lays the window out after each move, 0 only moves.
void BM_EpisodesListSaveMove(benchmark::State& state) {
    const bool layOut = state.range(0) != 0;
    platform::core::RunLoop::main().useManualClock();
    OVElementNibs::registerAll();
    OVMock::UserData::shared().setLibrary({});
    auto cell = platform::ui::NibRegistry::shared().instantiateFirst<OVPodcastEpisodesListCell>(
        std::string(OVPodcastEpisodesListCell::ReuseIdentifier));
    const double height = 140.0 * episodeCount + 94;
    auto window = platform::ui::Window::create({375, height + 100});
    cell->setFrame({0, 0, 375, height});
    window->addSubview(cell);
    cell->update(OVTheme::light, platform::graphics::Color{0.1, 0.35, 0.85, 1});
    const auto podcast = podcastOf(episodeCount);
    cell->update(podcast);
    window->layoutIfNeeded();
    // Saved in a scattered order, so rows land all over the saved section.
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == episodeCount) {
            state.PauseTiming();
            cell->update(podcast);
            window->layoutIfNeeded();
            next = 0;
            state.ResumeTiming();
        }
        const auto index = (next * 7919) % episodeCount;
        ++next;
        cell->didSave((*podcast.tracks)[index], podcast);
        if (layOut) window->layoutIfNeeded();
        benchmark::DoNotOptimize(cell->tableView()->numberOfRows(0));
    }
}
BENCHMARK(BM_EpisodesListSaveMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
