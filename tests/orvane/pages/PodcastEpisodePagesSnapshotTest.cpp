// Pictures of the podcast and episode pages at 375 points with demo content
// (written to $ORVANE_SNAPSHOT_DIR as podcast_page.png and
// episode_page.png when that is set), each page on its screen in a window
// tall enough for all its rows: the rows follow one another without
// overlapping, inside the page's width, and the header's title, which fits,
// is measured at its laid-out width (so it does not scroll).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVEpisodePageInteractorInput.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/pages/OVPodcastPageInteractorInput.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "PodcastEpisodePageKit.hpp"

namespace {

using namespace orvane;
using platform::core::RunLoop;
namespace content = testsupport::content;

// Lays the page out at its full length, checks its rows and draws it.
template <class Page>
void picture(pagekit::Shown<Page>& shown, const OVPageElements& elements, const std::string& name) {
    const auto table = shown.page->tableView();
    const double height = table->contentSize().height + table->contentInset().top + table->contentInset().bottom +
                          platform::ui::NavigationBar::height;
    shown.window->setSize({375, height});
    shown.settle();
    // The artwork arrives from the cache, then fades in.
    for (const auto& element : elements) {
        if (const auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(element->elementTableViewCell())) {
            ASSERT_TRUE(RunLoop::main().runUntil(
                [&] { return header->imageView()->imageView()->image().has_value(); }, 10));
        }
    }
    RunLoop::main().advance(2);
    shown.settle();
    // A title that fits stands still: its width is the laid-out one.
    for (const auto& element : elements) {
        if (const auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(element->elementTableViewCell())) {
            EXPECT_GT(header->titleLabel()->bounds().width(), 300);
            EXPECT_EQ(header->titleLabel()->textMaxLength(), header->titleLabel()->bounds().width());
        }
    }

    ASSERT_EQ(table->visibleCells().size(), elements.size());
    double bottom = 0;
    for (const auto& element : elements) {
        const auto cell = element->elementTableViewCell();
        ASSERT_NE(cell, nullptr);
        const auto frame = cell->frame();
        EXPECT_GT(frame.height(), 0);
        EXPECT_GE(frame.minY(), bottom - 0.5) << "rows overlap";
        EXPECT_EQ(frame.width(), 375);
        bottom = frame.maxY();
    }
    const auto image = shown.window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        image->writePng(std::filesystem::path(dir) / (name + ".png"));
}

TEST(PodcastEpisodePagesSnapshot, BothPagesWithDemoContent) {
    pagekit::Setting setting;
    const auto podcast = pagekit::demoPodcast();
    const auto& tracks = *podcast.tracks;
    content::fillLibrary({{.podcast = podcast, .subscribed = true, .notification = true,
                           .savedEpisodes = {tracks[1]}}});
    pagekit::deliver(pagekit::state({.status = "paused", .mainColor = "#3A7D44"}));
    const auto coordinator = testsupport::RecordingCoordinator::create();

    {
        auto page = OVPage::create<OVPodcastPage>(coordinator);
        page->updateWithCurrentState();
        page->update(podcast);
        pagekit::Shown<OVPodcastPage> shown(page, {375, 812});
        picture(shown, page->interactor()->pageElements(), "podcast_page");
    }
    {
        auto page = OVPage::create<OVEpisodePage>(coordinator);
        page->updateWithCurrentState();
        page->update(OVTrackInPodcast(tracks[0], podcast));
        pagekit::Shown<OVEpisodePage> shown(page, {375, 812});
        picture(shown, page->interactor()->pageElements(), "episode_page");
        const auto play = std::dynamic_pointer_cast<OVEpisodePlayCell>(
            page->interactor()->pageElements()[1]->elementTableViewCell());
        ASSERT_NE(play, nullptr);
        EXPECT_FALSE(play->playButton()->isHidden());
    }
}

}  // namespace
