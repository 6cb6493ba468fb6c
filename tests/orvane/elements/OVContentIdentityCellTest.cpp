// The identity header as the podcast and episode pages drive it: what a
// podcast and an episode show, with their fallbacks; artwork from web
// addresses only; the subtitle's tap; the theme's colours.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingPage.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using platform::graphics::Color;
using platform::ui::ControlState;
using testsupport::RecordingPage;
namespace content = testsupport::content;

struct Header {
    std::shared_ptr<RecordingPage> page;
    std::shared_ptr<OVPageElement::ContentIdentity> element;
    std::shared_ptr<OVContentIdentityCell> cell;
};

Header makeHeader() {
    platform::core::RunLoop::main().useManualClock();
    OVElementNibs::registerAll();
    Header header;
    header.page = OVPage::create<RecordingPage>(nullptr, [&](const std::shared_ptr<RecordingPage>& page) {
        header.element = OVPageElement::create<OVPageElement::ContentIdentity>(nullptr, page);
        return OVPageElements{header.element};
    });
    header.cell = header.element->tableViewCell();
    return header;
}

// Artwork addresses that refuse connections at once: nothing leaves the machine.
std::string art(const std::string& name) { return "http://127.0.0.1:1/art/" + name + ".png"; }

OVContent podcastWith(std::optional<OVObjDescription> description, std::optional<std::string> owner = "The Newsroom") {
    auto podcast = content::podcast({.key = "show"});
    podcast.description = std::move(description);
    podcast.ownerName = std::move(owner);
    return podcast;
}

TEST(OVContentIdentityCell, PodcastsAndEpisodesShowTheirOwnOrFallBack) {
    testsupport::TempDocuments documents;
    const OVObjDescription show{"Night Shift", "<p>About.</p>", art("show")};
    struct Expected {
        std::optional<std::string> image;
        std::optional<std::string> title;
        std::optional<std::string> subtitle;
    };
    struct Case {
        std::string name;
        std::function<void(OVContentIdentityCell&)> update;
        Expected expected;
    };
    const auto episode = [&](std::optional<std::string> image) {
        auto track = content::episode({.key = "ep", .title = "The Long Night", .image = art("ep")});
        auto description = *track->description();
        description.image = std::move(image);
        track->setDescription(description);
        return track;
    };
    const std::vector<Case> cases{
        {"podcast", [&](auto& cell) { cell.update(podcastWith(show)); },
         {art("show"), "Night Shift", "The Newsroom"}},
        {"podcast without description",
         [&](auto& cell) { cell.update(podcastWith(std::nullopt)); }, {std::nullopt, std::nullopt, "The Newsroom"}},
        {"podcast with a script for artwork",
         [&](auto& cell) { cell.update(podcastWith(OVObjDescription{"Night Shift", {}, "javascript:alert(1)"})); },
         {std::nullopt, "Night Shift", "The Newsroom"}},
        {"episode", [&](auto& cell) { cell.update(episode(art("ep")), podcastWith(show)); },
         {art("ep"), "The Long Night", "Night Shift"}},
        {"episode without artwork", [&](auto& cell) { cell.update(episode(std::nullopt), podcastWith(show)); },
         {art("show"), "The Long Night", "Night Shift"}},
        {"episode without description",
         [&](auto& cell) {
             auto track = episode(std::nullopt);
             track->setDescription(std::nullopt);
             cell.update(track, podcastWith(show));
         },
         {art("show"), "The Long Night", "Night Shift"}},
        {"episode of an undescribed podcast",
         [&](auto& cell) { cell.update(episode(std::nullopt), podcastWith(std::nullopt)); },
         {std::nullopt, "The Long Night", std::nullopt}},
        {"episode with a local file for artwork",
         [&](auto& cell) { cell.update(episode("file:///etc/passwd"), podcastWith(show)); },
         {std::nullopt, "The Long Night", "Night Shift"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto header = makeHeader();
        // Every update replaces all three values.
        header.cell->update(content::podcast({.key = "before", .title = "Before", .ownerName = "Someone"}));
        c.update(*header.cell);
        const auto& url = header.cell->imageView()->url();
        EXPECT_EQ(url ? std::optional(url->absoluteString()) : std::nullopt, c.expected.image);
        EXPECT_EQ(header.cell->titleLabel()->text(), c.expected.title);
        EXPECT_EQ(header.cell->subTitleLabel()->title(ControlState::normal), c.expected.subtitle);
    }
}

TEST(OVContentIdentityCell, TheSubtitleTapReachesTheDelegateOnly) {
    testsupport::TempDocuments documents;
    for (const bool withDelegate : {true, false}) {
        SCOPED_TRACE(withDelegate ? "episode page" : "podcast page");
        auto header = makeHeader();
        if (withDelegate) header.cell->setDelegate(header.page);
        header.cell->update(OVTheme::light, std::nullopt);
        header.cell->update(podcastWith(OVObjDescription{"Night Shift", {}, art("show")}));
        auto shown = testsupport::showCell(header.cell, 375, "identity-tap");
        const auto& subtitle = header.cell->subTitleLabel();
        testsupport::tap(*shown.window, subtitle->convertPoint(subtitle->bounds().center(), nullptr));
        EXPECT_EQ(header.page->calls, withDelegate ? testsupport::Calls{"didTapSubtitle()"} : testsupport::Calls{});
    }
}

TEST(OVContentIdentityCell, TheThemeColoursTheBackgroundTitleAndSubtitle) {
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        auto header = makeHeader();
        header.cell->update(look.theme, look.mainColor);
        EXPECT_EQ(header.cell->backgroundColor(), look.theme.backgroundColor());
        EXPECT_EQ(header.cell->titleLabel()->textColor(), look.theme.color(OVTheme::FontColor::typeA));
        EXPECT_EQ(header.cell->subTitleLabel()->titleColor(ControlState::normal),
                  look.theme.color(OVTheme::FontColor::typeB));
    }
}

}  // namespace
