#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/toolkit/GetImageTask.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "support/TempDocuments.hpp"

using namespace orvane;
using platform::core::RunLoop;
using platform::core::URL;
using platform::graphics::Image;

namespace {

// A decoded PNG (the cache keeps images as their encoded bytes).
Image solid(int side, int seed) { return *Image::fromData(testimages::png(side, side, seed)); }

// Waits (bounded) until a worker has queued something on the main queue.
bool waitForQueuedHandOver() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (RunLoop::main().pendingCount() == 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(OVImageView, ShowsTheLoadedImageAndHidesTheSpinner) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    testsupport::TempDocuments docs;
    OVImageCache::cache(solid(4, 10), "a.png");
    auto view = OVImageView::create({0, 0, 100, 100});
    view->layoutIfNeeded();
    EXPECT_EQ(view->spinner()->frame(), (platform::graphics::Rect{30, 30, 40, 40}));
    EXPECT_FALSE(view->spinner()->isHidden());

    view->setUrl(URL::parse("http://127.0.0.1:1/art/a.png"));
    EXPECT_FALSE(view->spinner()->isHidden());
    EXPECT_FALSE(view->imageView()->image());  // delivered later, on the main queue
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return view->imageView()->image().has_value(); }, 10));
    EXPECT_EQ(view->imageView()->image(), solid(4, 10));
    EXPECT_EQ(view->imageView()->alpha(), 1);
    EXPECT_TRUE(view->spinner()->isHidden());
}

TEST(OVImageView, OnlyTheLoadTheViewStillHoldsMayShowItsImage) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    // The first load's hand-over is already queued when the address changes:
    // to none (an episode without artwork) or to a newer address (a reused
    // cell).
    for (bool toNone : {true, false}) {
        SCOPED_TRACE(toNone ? "to none" : "to a newer address");
        testsupport::TempDocuments docs;
        OVImageCache::cache(solid(4, 10), "old.png");
        OVImageCache::cache(solid(6, 200), "new.png");
        auto view = OVImageView::create({0, 0, 100, 100});
        RunLoop::main().runUntilIdle();

        view->setUrl(URL::parse("http://127.0.0.1:1/old.png"));
        auto oldTask = view->task();
        ASSERT_TRUE(waitForQueuedHandOver());
        if (toNone) {
            view->setUrl(std::nullopt);
            EXPECT_FALSE(view->task());
            EXPECT_FALSE(oldTask->isValid());
            EXPECT_TRUE(view->spinner()->isHidden());
            RunLoop::main().runUntilIdle();
            EXPECT_FALSE(view->imageView()->image());
            EXPECT_TRUE(view->spinner()->isHidden());
        } else {
            view->setUrl(URL::parse("http://127.0.0.1:1/new.png"));
            EXPECT_FALSE(oldTask->isValid());
            ASSERT_TRUE(RunLoop::main().runUntil([&] { return view->imageView()->image().has_value(); }, 10));
            EXPECT_EQ(view->imageView()->image(), solid(6, 200));
        }
    }
}

}  // namespace
