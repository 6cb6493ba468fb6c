// Pictures of the description, identity and open-podcast rows at 375 points
// with demo content, in both themes: a long HTML description collapsed and
// developed, a podcast's identity and the podcast that is playing. Checks a
// few pixels that prove the collapsed fade and the developed text.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingPage.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace orvane;
using platform::core::RunLoop;
using platform::graphics::Image;
using testsupport::RecordingPage;
namespace content = testsupport::content;

const char* longDescription =
    "<p>Every week, <b>Night Shift</b> follows the people who keep a city running after dark: the bakers, the "
    "nurses, the tram drivers and the radio hosts who talk to them.</p>"
    "<p>In this season we ride along with a <i>night bus</i> crew, spend a shift in an emergency room and ask "
    "why so many of the best ideas arrive at three in the morning. Read the full notes on "
    "<a href=\"https://example.com/night-shift\">our site</a>.</p>"
    "<p>Hosted by Ana Ruiz &amp; Tom Becker. Produced by The Newsroom.</p>";

OVContent demoPodcast() {
    auto podcast = content::podcast({.key = "night-shift", .title = "Night Shift"});
    podcast.description = OVObjDescription{"Night Shift", longDescription, "http://127.0.0.1:1/covers/night-shift.png"};
    return podcast;
}

TEST(HeaderElementsSnapshot, DescriptionIdentityAndOpenPodcastRows) {
    RunLoop::main().useManualClock();
    testsupport::TempDocuments documents;
    OVElementNibs::registerAll();
    installLayerHooks();  // the image cache as the toolkit's image store
    OVImageCache::cache(*Image::fromData(testimages::png(120, 120, 7)), "night-shift.png");
    const auto saved = OVPage::width();
    OVPage::width() = 375;
    const auto podcast = demoPodcast();

    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        std::shared_ptr<OVPageElement::Description> description;
        std::shared_ptr<OVPageElement::ContentIdentity> identity;
        std::shared_ptr<OVPageElement::OpenPodcast> openPodcast;
        auto page = OVPage::create<RecordingPage>(nullptr, [&](const std::shared_ptr<RecordingPage>& p) {
            identity = OVPageElement::create<OVPageElement::ContentIdentity>(nullptr, p);
            description = OVPageElement::create<OVPageElement::Description>(nullptr, p);
            openPodcast = OVPageElement::create<OVPageElement::OpenPodcast>(nullptr, p);
            return OVPageElements{identity, description, openPodcast};
        });

        const auto& text = description->tableViewCell();
        text->update(look.theme, look.mainColor);
        text->update(podcast);
        text->update(false);
        auto collapsed = testsupport::showCell(text, 375, "description-collapsed-" + look.name);
        ASSERT_TRUE(collapsed.image);
        EXPECT_EQ(text->textViewHeightConstraint()->constant(), 65);
        EXPECT_FALSE(text->expandTextButton()->isHidden());
        const double collapsedRow = text->frame().height();
        // The read-more button, on the theme's background, covers the end of the text.
        const auto fade = text->alphaGradientView();
        const auto fadeRight = fade->convertPoint({fade->bounds().width() - 88, fade->bounds().height() / 2}, nullptr);
        const auto bg = look.theme.backgroundColor();
        EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*collapsed.image, fadeRight.x, fadeRight.y),
                                      {static_cast<int>(bg.red * 255 + 0.5), static_cast<int>(bg.green * 255 + 0.5),
                                       static_cast<int>(bg.blue * 255 + 0.5), 255},
                                      12));

        page->developDescription(description);
        const double developed = text->textViewHeightConstraint()->constant();
        EXPECT_GT(developed, 65);
        auto shownDeveloped = testsupport::showCell(text, 375, "description-developed-" + look.name);
        EXPECT_TRUE(text->expandTextButton()->isHidden());
        EXPECT_EQ(text->textView()->frame().height(), developed);
        EXPECT_EQ(text->frame().height(), collapsedRow - 65 + developed);

        const auto& header = identity->tableViewCell();
        header->update(look.theme, look.mainColor);
        header->update(podcast);
        header->titleLabel()->setTextMaxLength(351);
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return header->imageView()->imageView()->image().has_value(); }, 10));
        testsupport::showCell(header, 375, "identity-" + look.name);

        const auto& current = openPodcast->tableViewCell();
        current->update(look.theme, look.mainColor);
        current->update(podcast);
        ASSERT_TRUE(
            RunLoop::main().runUntil([&] { return current->podacastImageView()->imageView()->image().has_value(); }, 10));
        RunLoop::main().advance(1);  // the artwork's fade-in
        // The row has no background of its own: the page's shows through.
        auto shownCurrent = testsupport::showCell(current, 375, "open-podcast-" + look.name);
        shownCurrent.window->setBackgroundColor(look.theme.backgroundColor());
        shownCurrent.table->setBackgroundColor(look.theme.backgroundColor());
        ASSERT_TRUE(shownCurrent.snapshot("open-podcast-" + look.name));
    }
    OVPage::width() = saved;
}

}  // namespace
