// The main page's open-podcast row: what a podcast shows, with its
// fallbacks; artwork from web addresses only; a header that never changes;
// one separator along the top edge however often the theme changes.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/ContentBuilders.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace orvane;
using platform::graphics::Color;
namespace content = testsupport::content;

std::shared_ptr<OVOpenPodcastTableViewCell> makeCell() {
    platform::core::RunLoop::main().useManualClock();
    OVElementNibs::registerAll();
    auto element = OVPageElement::create<OVPageElement::OpenPodcast>(nullptr, nullptr);
    return element->tableViewCell();
}

TEST(OVOpenPodcastTableViewCell, APodcastShowsItsArtworkNameAndOwnerOrNothing) {
    testsupport::TempDocuments documents;
    const std::string art = "http://127.0.0.1:1/art/show.png";
    struct Case {
        std::string name;
        std::optional<OVObjDescription> description;
        std::optional<std::string> owner;
        std::optional<std::string> image, podcast, editor;
    };
    for (const Case& c : {
             Case{"described", OVObjDescription{"Night Shift", {}, art}, "The Newsroom", art, "Night Shift", "The Newsroom"},
             Case{"no description", std::nullopt, "The Newsroom", std::nullopt, std::nullopt, "The Newsroom"},
             Case{"no owner", OVObjDescription{"Night Shift", {}, art}, std::nullopt, art, "Night Shift", std::nullopt},
             Case{"script artwork", OVObjDescription{"Night Shift", {}, "javascript:alert(1)"}, "The Newsroom",
                  std::nullopt, "Night Shift", "The Newsroom"},
         }) {
        SCOPED_TRACE(c.name);
        auto cell = makeCell();
        cell->update(content::podcast({.key = "before", .title = "Before"}));
        auto podcast = content::podcast({.key = "show"});
        podcast.description = c.description;
        podcast.ownerName = c.owner;
        cell->update(podcast);
        const auto& url = cell->podacastImageView()->url();
        EXPECT_EQ(url ? std::optional(url->absoluteString()) : std::nullopt, c.image);
        EXPECT_EQ(cell->podcastLabel()->text().value_or(""), c.podcast.value_or(""));
        EXPECT_EQ(cell->editorLabel()->text().value_or(""), c.editor.value_or(""));
        EXPECT_EQ(cell->headerLabel()->text(), std::optional<std::string>("Now playing from"));
    }
}

TEST(OVOpenPodcastTableViewCell, TheRowHighlightsAndKeepsOneTopSeparatorThroughThemes) {
    auto cell = makeCell();
    EXPECT_EQ(cell->selectionStyle(), platform::ui::TableViewCellSelectionStyle::standard);
    EXPECT_EQ(cell->contentView()->layoutMargins().bottom, 25);
    for (const auto& look : {content::looks()[0], content::looks()[1], content::looks()[0]}) {
        cell->update(look.theme, look.mainColor);
        EXPECT_EQ(cell->headerLabel()->textColor(), look.theme.cellHeaderFontColor());
        EXPECT_EQ(cell->podcastLabel()->textColor(), look.theme.color(OVTheme::FontColor::typeA));
        EXPECT_EQ(cell->editorLabel()->textColor(), look.theme.color(OVTheme::FontColor::typeB));
    }
    cell->layoutIfNeeded();
    // One line in either theme's separator colour: the last theme's, along the top.
    std::vector<std::shared_ptr<platform::ui::View>> lines;
    for (const auto& view : cell->subviews()) {
        const auto colour = view->backgroundColor();
        if (colour == OVTheme(OVTheme::light).separatorColor() || colour == OVTheme(OVTheme::dark).separatorColor())
            lines.push_back(view);
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->frame(), (platform::graphics::Rect{0, 0, cell->bounds().width(), 1}));
    EXPECT_EQ(lines[0]->backgroundColor(), OVTheme(OVTheme::light).separatorColor());
}

}  // namespace
