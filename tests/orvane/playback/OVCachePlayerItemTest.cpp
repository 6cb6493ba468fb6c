#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "orvane/playback/OVCachePlayerItem.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/ResourceLoader.hpp"
#include "support/MediaFiles.hpp"
#include "support/MediaServerScripts.hpp"
#include "support/RawServer.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace orvane;
using platform::core::Data;
using platform::core::RunLoop;
using platform::core::URL;
using platform::media::LoadingRequest;
using platform::media::LoadingRequestClient;
using platform::media::MediaError;
using platform::net::URLError;
namespace t = orvane::testing;

constexpr double kWait = 10.0;

// Records what a loading request receives (answers come from the session's
// queue).
class RecordingClient : public LoadingRequestClient {
public:
    void loadingRequestDidReceiveData(const LoadingRequest&, std::int64_t offset, std::span<const std::uint8_t> data,
                                      const std::shared_ptr<const Data>&) override {
        std::lock_guard lock(mutex_);
        if (offset != firstOffset_ + static_cast<std::int64_t>(bytes_.size())) outOfOrder_ = true;
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    void loadingRequestDidFinish(const std::shared_ptr<LoadingRequest>&, const std::optional<MediaError>&) override {
        std::lock_guard lock(mutex_);
        ++finishes_;
        bytesAtFinish_ = static_cast<std::int64_t>(bytes_.size());
        if (onFinish) onFinish();
    }
    // Runs when the request is finished, on the thread that finishes it.
    std::function<void()> onFinish;
    void expectFrom(std::int64_t offset) { firstOffset_ = offset; }
    Data bytes() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    int finishes() const {
        std::lock_guard lock(mutex_);
        return finishes_;
    }
    std::int64_t bytesAtFinish() const {
        std::lock_guard lock(mutex_);
        return bytesAtFinish_;
    }
    bool outOfOrder() const {
        std::lock_guard lock(mutex_);
        return outOfOrder_;
    }

private:
    mutable std::mutex mutex_;
    std::int64_t firstOffset_ = 0;
    Data bytes_;
    int finishes_ = 0;
    std::int64_t bytesAtFinish_ = -1;
    bool outOfOrder_ = false;
};

class RecordingItemDelegate : public OVCachePlayerItemDelegate {
public:
    void playerItemDidFinishDownloadingData(const std::shared_ptr<OVCachePlayerItem>&, const Data& data) override {
        std::lock_guard lock(mutex);
        finished.push_back(data);
    }
    void playerItemDidDownloadBytesSoFar(const std::shared_ptr<OVCachePlayerItem>&, std::int64_t soFar,
                                         std::int64_t outOf) override {
        std::lock_guard lock(mutex);
        progress.emplace_back(soFar, outOf);
    }
    void playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& item,
                                         const URLError& error) override {
        std::lock_guard lock(mutex);
        failures.push_back(error);
        if (resetOnFailure) item->resetURLSession();
    }
    std::size_t finishedCount() {
        std::lock_guard lock(mutex);
        return finished.size();
    }
    std::size_t failureCount() {
        std::lock_guard lock(mutex);
        return failures.size();
    }

    std::mutex mutex;
    std::vector<Data> finished;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    std::vector<URLError> failures;
    bool resetOnFailure = false;
};

struct Request {
    std::shared_ptr<RecordingClient> client = std::make_shared<RecordingClient>();
    std::shared_ptr<LoadingRequest> request;
};

// A loading request as the media layer would make it, handed to the item's loader.
Request take(const std::shared_ptr<OVCachePlayerItem>& item, bool information, std::int64_t offset,
             std::int64_t length) {
    Request r;
    r.client->expectFrom(offset);
    r.request = LoadingRequest::create(item->asset()->url(), information, LoadingRequest::Range{offset, length, true},
                                       r.client);
    EXPECT_TRUE(item->resourceLoaderDelegate()->resourceLoaderShouldWaitForLoadingOfRequestedResource(
        item->asset()->resourceLoader(), r.request));
    return r;
}

Data slice(const Data& d, std::size_t from, std::size_t count) {
    return Data(d.begin() + static_cast<long>(from), d.begin() + static_cast<long>(from + count));
}

struct OVCachePlayerItemTest : ::testing::Test {
    std::shared_ptr<OVCachePlayerItem> streaming(const std::string& address) {
        auto item = OVCachePlayerItem::create(*URL::parse(address));
        EXPECT_NE(item, nullptr);
        if (item) item->setDelegate(delegate);
        return item;
    }
    std::shared_ptr<RecordingItemDelegate> delegate = std::make_shared<RecordingItemDelegate>();
};

TEST_F(OVCachePlayerItemTest, TheAssetAddressCarriesTheItemsSchemeAndRefusedAddressesGiveNoItem) {
    auto item = OVCachePlayerItem::create(*URL::parse("https://cdn.example.com/show/ep%201.mp3?x=1#t"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->asset()->url().absoluteString(), "orvane://cdn.example.com/show/ep%201.mp3?x=1#t");
    EXPECT_EQ(item->url().absoluteString(), "https://cdn.example.com/show/ep%201.mp3?x=1#t");

    auto custom = OVCachePlayerItem::create(*URL::parse("http://h/a/b.mp3"), std::string("m4a"));
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->asset()->url().absoluteString(), "orvane://h/a/b.m4a");
    EXPECT_EQ(custom->url().absoluteString(), "http://h/a/b.mp3");
    EXPECT_EQ(custom->customFileExtension(), "m4a");

    // No scheme to replace, or an extension an address cannot carry: refused.
    EXPECT_EQ(OVCachePlayerItem::create(*URL::parse("episode.mp3")), nullptr);
    EXPECT_EQ(OVCachePlayerItem::create(*URL::parse("http://h/a.mp3"), std::string("m p3")), nullptr);
    EXPECT_EQ(OVCachePlayerItem::create(Data{1, 2, 3}, "mp3", "mp 3"), nullptr);

    auto fromBytes = OVCachePlayerItem::create(Data{1, 2, 3}, "mp3", "mp3");
    ASSERT_NE(fromBytes, nullptr);
    EXPECT_EQ(fromBytes->url().absoluteString(), "orvane://whatever/file.mp3");
    EXPECT_EQ(fromBytes->asset()->url(), fromBytes->url());
    auto bare = OVCachePlayerItem::create(Data{1}, "", "");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->url().absoluteString(), "orvane://whatever/file.");
}

TEST_F(OVCachePlayerItemTest, AnItemOfBytesAnswersAtOnceWithoutAnyDownload) {
    const Data bytes = t::makeMp3(20);
    auto item = OVCachePlayerItem::create(bytes, "mp3", "mp3");
    item->setDelegate(delegate);
    auto inside = take(item, true, 10, 500);
    auto info = inside.request->contentInformationRequest();
    EXPECT_EQ(info->contentLength(), static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(info->contentType(), "mp3");
    EXPECT_TRUE(info->isByteRangeAccessSupported());
    EXPECT_EQ(inside.client->bytes(), slice(bytes, 10, 500));
    EXPECT_EQ(inside.client->finishes(), 1);
    EXPECT_EQ(item->resourceLoaderDelegate()->pendingRequestCount(), 0u);
    // A request reaching past the bytes gets what there is and stays pending.
    auto past = take(item, false, static_cast<std::int64_t>(bytes.size()) - 100, 1000);
    EXPECT_EQ(past.client->bytes().size(), 100u);
    EXPECT_EQ(past.client->finishes(), 0);
    item->startDataTaskIfNeeded();
    EXPECT_EQ(item->resourceLoaderDelegate()->session(), nullptr);
}

TEST_F(OVCachePlayerItemTest, ARequestFedOverSeveralChunksGetsExactlyItsRange) {
    const Data body = t::TestHttpServer::patternBytes(5000);
    t::RawServer server(t::RawServer::trickle(body, 300, 0.01));
    auto item = streaming(server.url("/ep.mp3"));
    // The buffer when the request is finished: the block that completes it,
    // not a later one.
    std::atomic<std::int64_t> heldAtFinish{-1};
    auto client = std::make_shared<RecordingClient>();
    client->expectFrom(100);
    client->onFinish = [&heldAtFinish, loader = item->resourceLoaderDelegate()] {
        heldAtFinish = static_cast<std::int64_t>(loader->mediaDataSize().value_or(0));
    };
    Request request{client, LoadingRequest::create(item->asset()->url(), false,
                                                   LoadingRequest::Range{100, 1000, true}, client)};
    item->resourceLoaderDelegate()->resourceLoaderShouldWaitForLoadingOfRequestedResource(
        item->asset()->resourceLoader(), request.request);
    auto tail = take(item, false, 4500, 500);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return tail.client->finishes() == 1; }, kWait));
    EXPECT_EQ(request.client->bytes(), slice(body, 100, 1000));
    EXPECT_FALSE(request.client->outOfOrder());
    EXPECT_EQ(request.client->finishes(), 1);
    EXPECT_EQ(request.client->bytesAtFinish(), 1000);
    EXPECT_EQ(request.request->dataRequest()->currentOffset(), 1100);
    EXPECT_EQ(tail.client->bytes(), slice(body, 4500, 500));
    EXPECT_EQ(item->resourceLoaderDelegate()->pendingRequestCount(), 0u);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->finishedCount() == 1; }, kWait));
    EXPECT_EQ(delegate->finished[0], body);
    ASSERT_FALSE(delegate->progress.empty());
    // Finished in the pass of the first block that brought the buffer to 1100.
    std::int64_t completing = -1;
    for (const auto& [soFar, outOf] : delegate->progress) {
        if (soFar >= 1100) {
            completing = soFar;
            break;
        }
    }
    EXPECT_EQ(heldAtFinish.load(), completing);
    EXPECT_LT(completing, 5000);
    EXPECT_EQ(delegate->progress.back(), (std::pair<std::int64_t, std::int64_t>{5000, 5000}));
    EXPECT_EQ(server.connectionCount(), 1);
    // Once the file is held, a request is answered and finished as it is taken.
    auto late = take(item, true, 2000, 700);
    EXPECT_EQ(late.client->bytes(), slice(body, 2000, 700));
    EXPECT_EQ(late.client->finishes(), 1);
    EXPECT_EQ(late.request->contentInformationRequest()->contentLength(), 5000);
    EXPECT_EQ(item->resourceLoaderDelegate()->pendingRequestCount(), 0u);
}

// The download is held in one block when its length is announced and in
// blocks of about a megabyte otherwise: requests across the blocks' seams,
// and the whole file handed over at the end, are the bytes served.
TEST_F(OVCachePlayerItemTest, RequestsAcrossTheHeldBlocksAndTheWholeFileAreTheBytesServed) {
    const Data body = t::TestHttpServer::patternBytes(2'600'000);
    for (const bool announced : {true, false}) {
        SCOPED_TRACE(announced ? "length announced" : "no length");
        delegate = std::make_shared<RecordingItemDelegate>();
        t::RawServer server(announced ? t::RawServer::trickle(body, 64 * 1024, 0.0)
                                      : t::RawServer::noContentLength(body));
        auto item = streaming(server.url("/ep.mp3"));
        const std::vector<std::pair<std::int64_t, std::int64_t>> ranges{
            {1'048'000, 1'000}, {2'097'100, 200}, {0, static_cast<std::int64_t>(body.size())}};
        std::vector<Request> requests;
        for (const auto& [offset, length] : ranges) requests.push_back(take(item, false, offset, length));
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->finishedCount() == 1; }, kWait));
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return requests.back().client->finishes() == 1; }, kWait));
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            const auto [offset, length] = ranges[i];
            EXPECT_EQ(requests[i].client->bytes(),
                      slice(body, static_cast<std::size_t>(offset), static_cast<std::size_t>(length)));
            EXPECT_EQ(requests[i].client->finishes(), 1);
        }
        EXPECT_EQ(delegate->finished[0], body);
    }
}

TEST_F(OVCachePlayerItemTest, NoContentInformationBeforeTheResponseAndOneDownloadForAllRequests) {
    const Data body = t::makeWav(1.0);
    auto gate = std::make_shared<std::atomic<bool>>(false);
    t::RawServer server(t::gatedResponse(body, gate, 1000));
    auto item = streaming(server.url("/a.wav"));
    auto first = take(item, true, 0, 2);
    auto session = item->resourceLoaderDelegate()->session();
    ASSERT_NE(session, nullptr);
    auto second = take(item, false, 2, static_cast<std::int64_t>(body.size()) - 2);
    item->startDataTaskIfNeeded();
    EXPECT_EQ(item->resourceLoaderDelegate()->session(), session);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return server.connectionCount() >= 1; }, kWait));
    RunLoop::main().runUntil([] { return false; }, 0.05);
    EXPECT_EQ(first.request->contentInformationRequest()->contentLength(), 0);
    EXPECT_FALSE(first.request->contentInformationRequest()->contentType().has_value());
    EXPECT_TRUE(first.client->bytes().empty());
    EXPECT_FALSE(item->resourceLoaderDelegate()->response().has_value());

    gate->store(true);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return second.client->finishes() == 1; }, kWait));
    EXPECT_EQ(first.request->contentInformationRequest()->contentLength(), static_cast<std::int64_t>(body.size()));
    EXPECT_EQ(first.request->contentInformationRequest()->contentType(), "audio/mpeg");
    EXPECT_EQ(first.client->bytes(), slice(body, 0, 2));
    EXPECT_EQ(second.client->bytes(), slice(body, 2, body.size() - 2));
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(OVCachePlayerItemTest, ACancelledRequestIsNeverFinished) {
    const Data body = t::TestHttpServer::patternBytes(3000);
    auto gate = std::make_shared<std::atomic<bool>>(false);
    t::RawServer server(t::gatedResponse(body, gate, 500));
    auto item = streaming(server.url("/c.mp3"));
    auto kept = take(item, false, 0, 3000);
    auto dropped = take(item, false, 1000, 1000);
    item->asset()->resourceLoader().cancel(dropped.request);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(item->resourceLoaderDelegate()->pendingRequestCount(), 1u);
    gate->store(true);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->finishedCount() == 1; }, kWait));
    EXPECT_EQ(kept.client->finishes(), 1);
    EXPECT_EQ(dropped.client->finishes(), 0);
    EXPECT_TRUE(dropped.client->bytes().empty());
    EXPECT_FALSE(dropped.request->isFinished());
}

TEST_F(OVCachePlayerItemTest, AnErrorStatusIsAFailedDownloadAndNothingOfThePageIsServed) {
    t::RawServer server(t::RawServer::status(404, std::string(2000, 'x'), "text/html"));
    auto item = streaming(server.url("/missing.mp3"));
    auto request = take(item, true, 0, 2);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->failureCount() == 1; }, kWait));
    EXPECT_EQ(delegate->failures[0].code, URLError::Code::badServerResponse);
    RunLoop::main().runUntil([] { return false; }, 0.05);
    EXPECT_TRUE(request.client->bytes().empty());
    EXPECT_EQ(request.client->finishes(), 0);
    EXPECT_EQ(request.request->contentInformationRequest()->contentLength(), 0);
    EXPECT_EQ(delegate->finishedCount(), 0u);
    // The session stays: nothing restarts by itself.
    item->startDataTaskIfNeeded();
    RunLoop::main().runUntil([] { return false; }, 0.05);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(OVCachePlayerItemTest, AResetAfterAFailureDownloadsAgainFromTheFirstByte) {
    const Data body = t::TestHttpServer::patternBytes(20000);
    std::atomic<int> connections{0};
    std::atomic<bool> rangeAsked{false};
    t::RawServer server([&](t::RawServer::Connection& connection) {
        if (connection.requestHead().find("Range:") != std::string::npos ||
            connection.requestHead().find("range:") != std::string::npos)
            rangeAsked = true;
        if (connections.fetch_add(1) == 0) {
            t::RawServer::resetMidBody(body, 6000)(connection);
        } else {
            t::RawServer::trickle(body, 4096, 0.0)(connection);
        }
    });
    delegate->resetOnFailure = true;  // as the audio player does, inside the report
    auto item = streaming(server.url("/r.mp3"));
    auto request = take(item, false, 0, static_cast<std::int64_t>(body.size()));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->failureCount() == 1; }, kWait));
    EXPECT_EQ(request.client->finishes(), 0);
    EXPECT_EQ(delegate->finishedCount(), 0u);
    EXPECT_EQ(item->resourceLoaderDelegate()->session(), nullptr);
    const auto servedBefore = request.client->bytes().size();
    EXPECT_LT(servedBefore, body.size());

    // The request keeps its place: the new download serves the rest of it.
    item->startDataTaskIfNeeded();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->finishedCount() == 1; }, kWait));
    EXPECT_EQ(server.connectionCount(), 2);
    EXPECT_FALSE(rangeAsked.load());  // both downloads ask for the whole file
    EXPECT_EQ(delegate->finished[0], body);
    EXPECT_EQ(request.client->bytes(), body);
    EXPECT_EQ(request.client->finishes(), 1);
    EXPECT_EQ(delegate->failureCount(), 1u);
}

TEST_F(OVCachePlayerItemTest, AnItemThatGoesAwayCancelsItsDownload) {
    auto gate = std::make_shared<std::atomic<bool>>(false);
    t::RawServer server(t::gatedResponse(t::TestHttpServer::patternBytes(1000), gate));
    auto item = streaming(server.url("/gone.mp3"));
    item->startDataTaskIfNeeded();
    auto session = item->resourceLoaderDelegate()->session();
    ASSERT_NE(session, nullptr);
    std::weak_ptr<OVCachePlayerItem::ResourceLoaderDelegate> loader = item->resourceLoaderDelegate();
    item.reset();
    EXPECT_TRUE(session->isInvalidated());
    gate->store(true);
    // Once the session has let it go, the loader goes too.
    session.reset();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return loader.expired(); }, kWait));
    EXPECT_EQ(delegate->finishedCount(), 0u);
}

}  // namespace
