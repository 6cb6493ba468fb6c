// The facade wires the layers below it when it is made: an episode finds its
// audio in the disk cache, the toolkit finds images in the image cache, and a
// widget's web view restarts the component with its first message. (Each
// test case runs in a process of its own, so nothing was installed before.)
#include <gtest/gtest.h>

#include "orvane/coordinator/Orvane.hpp"
#include "orvane/model/OVAudio.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "support/TempDocuments.hpp"

namespace {

using platform::core::RunLoop;
using platform::core::URL;

TEST(LayerHooks, TheFacadeWiresTheDiskCacheAndTheWebViewsRestart) {
    testsupport::TempDocuments documents;
    RunLoop::main().useManualClock();  // the listener injection never comes
    auto& facade = orvane::Orvane::shared();
    EXPECT_FALSE(facade.coordinator());

    orvane::OVAudioCache::cache(platform::core::Data{1, 2, 3}, "episode.mp3");
    EXPECT_TRUE((orvane::OVAudio{"https://cdn.example.com/a/episode.mp3", std::nullopt}.isInCache()));
    EXPECT_FALSE((orvane::OVAudio{"https://cdn.example.com/a/other.mp3", std::nullopt}.isInCache()));

    const auto image = platform::graphics::Image::fromData(testimages::png(4, 4, 7));
    ASSERT_TRUE(image);
    orvane::OVImageCache::cache(*image, "cover.png");
    const auto found = orvane::cachedImage(URL::parse("https://cdn.example.com/show/cover.png"));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, *image);

    auto view = orvane::OVWebView::create();
    view->loadHTMLString("<script>webkit.messageHandlers.setCurrentTime.postMessage({})</script>",
                         documents.path());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return facade.coordinator() != nullptr; }, 5));
    EXPECT_EQ(orvane::OVWidgetManager::shared().webView(), view);
}

}  // namespace
