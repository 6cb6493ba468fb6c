#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/toolkit/GetImageTask.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "platform/core/Bundle.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"

using namespace orvane;
using platform::core::RunLoop;
using platform::core::URL;
using platform::graphics::Image;

namespace {

std::vector<std::uint8_t> bundlePng() {
    auto path = platform::core::Bundle::module().pathForImage("OrvaneDefaultImage");
    EXPECT_TRUE(path);
    auto bytes = platform::core::FileManager::readFile(*path);
    EXPECT_TRUE(bytes);
    return *bytes;
}

// Runs one load and waits for its hand-over (or for the bound to pass).
struct Load {
    std::shared_ptr<GetImageTask> task;
    std::atomic<int> calls{0};
    std::optional<Image> image;
    bool calledSynchronously = false;
    bool returned = false;

    explicit Load(std::optional<URL> url) : task(getImageTask(url)) {}
    void start() {
        task->continueWithHandler([this](std::optional<Image> delivered) {
            EXPECT_TRUE(RunLoop::main().isCurrent());
            if (!returned) calledSynchronously = true;
            image = std::move(delivered);
            ++calls;
        });
        returned = true;
    }
    bool wait(double seconds = 10) { return RunLoop::main().runUntil([&] { return calls > 0; }, seconds); }
};

}  // namespace

TEST(GetImageTask, DownloadsStoresUnderTheLastComponentAndServesOtherAddressesFromTheCache) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    testsupport::TempDocuments docs;
    orvane::testing::TestHttpServer server;
    server.serveBytes("/shows/a/cover.png", bundlePng(), "image/png");
    server.start();

    Load first(URL::parse(server.url("/shows/a/cover.png")));
    first.start();
    ASSERT_TRUE(first.wait());
    ASSERT_TRUE(first.image);
    EXPECT_EQ(first.image->pixelWidth(), 64);
    EXPECT_FALSE(first.calledSynchronously);
    EXPECT_TRUE(OVImageCache::isInCache("cover.png"));

    // Another host and folder, same file name: one entry, no download.
    Load second(URL::parse("http://127.0.0.1:1/elsewhere/cover.png"));
    second.start();
    ASSERT_TRUE(second.wait());
    EXPECT_EQ(second.image, first.image);
    EXPECT_FALSE(second.calledSynchronously);
    EXPECT_EQ(server.requestCount("/shows/a/cover.png"), 1);
    EXPECT_EQ(cachedImage(URL::parse("https://cdn.example.com/x/cover.png")), first.image);
    EXPECT_FALSE(cachedImage(std::nullopt));
}

TEST(GetImageTask, AnswersThatAreNoImageDeliverNoneAndAreNeverStored) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    testsupport::TempDocuments docs;
    orvane::testing::TestHttpServer server;
    server.serveText("/missing.png", "<html>not found</html>", "text/html", 404);
    server.start();

    Load load(URL::parse(server.url("/missing.png")));
    load.start();
    ASSERT_TRUE(load.wait());
    EXPECT_FALSE(load.image);
    EXPECT_FALSE(OVImageCache::isInCache("missing.png"));
}

TEST(GetImageTask, NoDataDeliversTheDefaultImageAndNoAddressNeverCalls) {
    testsupport::TempDocuments docs;
    // Nothing listens on port 1: the transfer ends with an error and no data.
    Load load(URL::parse("http://127.0.0.1:1/cover.png"));
    load.start();
    ASSERT_TRUE(load.wait());
    EXPECT_EQ(load.image, defaultImage());
    ASSERT_TRUE(load.image);
    EXPECT_EQ(load.image->name(), "OrvaneDefaultImage");

    const auto bundleImage = defaultImage();
    setDefaultImage(std::nullopt);
    Load noDefault(URL::parse("http://127.0.0.1:1/other.png"));
    noDefault.start();
    const bool delivered = noDefault.wait();
    setDefaultImage(bundleImage);
    ASSERT_TRUE(delivered);
    EXPECT_FALSE(noDefault.image);

    Load none(std::nullopt);
    none.start();
    EXPECT_FALSE(none.wait(0.3));
}

TEST(GetImageTask, AnInvalidatedTaskNeverHandsOverButItsDownloadIsStillStored) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    testsupport::TempDocuments docs;
    orvane::testing::TestHttpServer server;
    std::atomic<bool> release{false};
    const auto png = bundlePng();
    server.server().Get("/slow.png", [&](const httplib::Request&, httplib::Response& response) {
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        response.set_content(std::string(png.begin(), png.end()), "image/png");
    });
    server.start();

    Load load(URL::parse(server.url("/slow.png")));
    load.start();
    load.task->setIsValid(false);
    release = true;
    ASSERT_TRUE(RunLoop::main().runUntil([] { return OVImageCache::isInCache("slow.png"); }, 10));
    RunLoop::main().runUntil([] { return false; }, 0.1);
    EXPECT_EQ(load.calls, 0);
}
