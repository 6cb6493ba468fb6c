// The element tests' kit does what its tests will rely on: a cell shown at
// a width fills a window of that width and of its row's height, and its
// picture lands in the snapshot folder; podcasts carry episodes a day apart,
// newest first; the library holds the entries given.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using namespace platform::ui;
namespace content = testsupport::content;

TEST(ElementTestKit, ACellIsShownAtTheWidthAskedAndItsPictureWritten) {
    platform::core::RunLoop::main().useManualClock();
    testsupport::TempDocuments documents;
    OVElementNibs::registerAll();
    const auto folder = documents.path() / "snapshots";
    std::filesystem::create_directories(folder);
    const char* before = std::getenv("ORVANE_SNAPSHOT_DIR");
    const std::string saved = before ? before : "";
    ::setenv("ORVANE_SNAPSHOT_DIR", folder.c_str(), 1);
    for (const double width : {320.0, 414.0}) {
        const std::string name = "open-podcast-" + std::to_string(static_cast<int>(width));
        // A cell of its own in each window, as each page's row has.
        auto cell = NibRegistry::shared().instantiateFirst<OVOpenPodcastTableViewCell>(
            std::string(OVOpenPodcastTableViewCell::ReuseIdentifier));
        ASSERT_NE(cell, nullptr);
        auto box = View::create(Rect{12, 10, 100, 20});
        box->setBackgroundColor(Color{0.9, 0.2, 0.2, 1});
        cell->contentView()->addSubview(box);
        auto shown = testsupport::showCell(cell, width, name);
        ASSERT_TRUE(shown.image);
        // The window is as high as the row the cell fits.
        const double rowHeight = cell->frame().size.height;
        EXPECT_GT(rowHeight, 0);
        EXPECT_EQ(shown.window->size(), (Size{width, rowHeight}));
        EXPECT_EQ(cell->frame(), (Rect{0, 0, width, rowHeight}));
        EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*shown.image, 50, 20), {230, 51, 51, 255}, 3));
        EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*shown.image, width - 5, 20), {255, 255, 255, 255}, 3));
        EXPECT_TRUE(std::filesystem::exists(folder / (name + ".png"))) << name;
    }
    if (before) {
        ::setenv("ORVANE_SNAPSHOT_DIR", saved.c_str(), 1);
    } else {
        ::unsetenv("ORVANE_SNAPSHOT_DIR");
    }
}

TEST(ElementTestKit, PodcastsCarryDatedEpisodesAndTheLibraryItsEntries) {
    platform::core::RunLoop::main().useManualClock();
    testsupport::TempDocuments documents;
    const auto newest = content::date("2024-08-15");
    const auto podcast = content::podcast({.key = "show", .episodes = 3, .newest = newest});
    ASSERT_TRUE(podcast.tracks && podcast.tracks->size() == 3);
    const auto& tracks = *podcast.tracks;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tracks[i]->key(), "show-" + std::to_string(i + 1));
        EXPECT_EQ(tracks[i]->number(), 3 - i);
        ASSERT_TRUE(tracks[i]->publicationDate());
        EXPECT_EQ(tracks[i]->publicationDate()->timeIntervalSince(newest), -i * content::day);
    }
    // Sorted oldest first, the newest is last.
    const auto sorted = OVTrack::sorted(podcast.tracks);
    ASSERT_TRUE(sorted);
    EXPECT_EQ(sorted->back()->key(), "show-1");
    EXPECT_EQ(content::pairs(podcast).size(), 3u);
    EXPECT_FALSE(content::podcast({.episodes = 2}).tracks->front()->publicationDate());

    const auto other = content::podcast({.key = "other"});
    content::fillLibrary({{.podcast = podcast, .subscribed = true, .notification = true},
                          {.podcast = other, .savedEpisodes = {tracks[0]}, .lastAction = content::daysAgo(3)}});
    const auto& library = OVMock::UserData::shared();
    EXPECT_TRUE(library.userHasSuscribded(podcast, OVSubscription::notification));
    EXPECT_FALSE(library.userHasSuscribded(other, OVSubscription::podcast));
    EXPECT_EQ(library.library().at(other).savedEpisodes.size(), 1u);
    EXPECT_LT(library.library().at(other), library.library().at(podcast));
}

}  // namespace
