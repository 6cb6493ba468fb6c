// Cost of handing out an episode row, as the recommendation list does for
// every row that comes into view: theme, episode (date by skeleton, title
// with its height fitted, podcast name), save area and save button; and of
// the whole list of 20 recommendations
// replaced, reloaded and laid out in a window.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace orvane;

// Episodes without artwork, so nothing is fetched.
std::vector<OVTrackInPodcast> recommendations(int count) {
    OVContent podcast;
    podcast.identifier = "show";
    OVObjDescription description;
    description.title = "A podcast";
    podcast.description = description;
    std::vector<OVTrackInPodcast> list;
    for (int i = 0; i < count; ++i) {
        auto track = OVTrack::create("show-" + std::to_string(i),
                                     "An episode title long enough to need its second line, number " +
                                         std::to_string(i),
                                     i, OVAudio{std::nullopt, 600}, OVObjDescription{},
                                     platform::core::Date{1723723200.0 - i * 86400.0});
        list.emplace_back(track, podcast);
    }
    return list;
}

void BM_EpisodeRowHandedOut(benchmark::State& state) {
    platform::core::RunLoop::main().useManualClock();
    OVElementNibs::registerAll();
    auto row = platform::ui::NibRegistry::shared().instantiateFirst<OVEpisodeTableViewCell>(
        std::string(OVEpisodeTableViewCell::ReuseIdentifier));
    const auto list = recommendations(8);
    const platform::graphics::Color main{0.1, 0.35, 0.85, 1};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& pair = list[i++ % list.size()];
        row->update(OVTheme::light, main);
        row->update(pair);
        row->updateAuxiliaryViewIsHidden(false);
        row->updateEpisodeCanBeSaved(true);
    }
}
BENCHMARK(BM_EpisodeRowHandedOut)->Unit(benchmark::kMicrosecond);

void BM_RecommendationListReplacedAndLaidOut(benchmark::State& state) {
    platform::core::RunLoop::main().useManualClock();
    OVElementNibs::registerAll();
    auto cell = platform::ui::NibRegistry::shared().instantiateFirst<OVRecommandationListCell>(
        std::string(OVRecommandationListCell::ReuseIdentifier));
    auto window = platform::ui::Window::create({375, 3200});
    cell->setFrame({0, 0, 375, 3100});
    window->addSubview(cell);
    cell->update(OVTheme::light, platform::graphics::Color{0.1, 0.35, 0.85, 1});
    const auto list = recommendations(20);
    for (auto _ : state) {
        cell->update(list);
        window->layoutIfNeeded();
        benchmark::DoNotOptimize(cell->tableView()->visibleCells().size());
    }
}
BENCHMARK(BM_RecommendationListReplacedAndLaidOut)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
