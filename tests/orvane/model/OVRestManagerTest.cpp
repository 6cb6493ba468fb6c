// The REST client against a loopback server: address building, delivery on
// the main queue, the synchronous bad address, failures without a server and
// decoding through a conforming record.
#include "orvane/model/OVRestManager.hpp"

#include <gtest/gtest.h>

#include <thread>

#include "orvane/model/OVRestCommunicationProtocol.hpp"
#include "orvane/model/OVRestConstants.hpp"
#include "orvane/model/OVURLSession.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/URL.hpp"
#include "support/RawServer.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace orvane;
using orvane::testing::RawServer;
using orvane::testing::TestHttpServer;
using platform::core::RunLoop;

// A record the service returns at "/episode".
struct RestEpisode : OVRestCommunicationProtocol<RestEpisode> {
    std::string title;
    static std::string urlPath() { return "/episode"; }
    static RestEpisode decode(const Json& value) {
        const auto& members = decoding::object(value);
        RestEpisode episode;
        episode.title = decoding::required<std::string>(members, "title");
        return episode;
    }
};

// The same record at a path the server does not know.
struct MissingEpisode : OVRestCommunicationProtocol<MissingEpisode> {
    static std::string urlPath() { return "/missing"; }
    static MissingEpisode decode(const Json& value) {
        decoding::required<std::string>(decoding::object(value), "title");
        return {};
    }
};

// A record whose path cannot be an address.
struct BadPathRecord : OVRestCommunicationProtocol<BadPathRecord> {
    static std::string urlPath() { return "/two words"; }
    static BadPathRecord decode(const Json&) { return {}; }
};

class OVRestManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.serveText("/sites/episode", R"({"title":"Pilot"})");
        server.serveText("/sitesglued", R"({"glued":true})");
        server.serveText("/sites/missing", R"({"error":"not found"})", "application/json", 404);
        server.start();
        OVRestManager::setBaseAddress(server.url("/sites"));
    }
    void TearDown() override { OVRestManager::setBaseAddress(std::nullopt); }

    static bool waitFor(const std::function<bool()>& predicate) { return RunLoop::main().runUntil(predicate, 10.0); }

    TestHttpServer server;
};

std::string text(const platform::core::Data& data) { return std::string(data.begin(), data.end()); }

}  // namespace

TEST(OVRestEnumerations, RawValues) {
    EXPECT_EQ(rawValue(OVHTTPMethod::get), "get");
    EXPECT_EQ(rawValue(OVHTTPMethod::delete_), "delete");
    EXPECT_EQ(fromRawValue<OVHTTPMethod>("post"), OVHTTPMethod::post);
    EXPECT_FALSE(fromRawValue<OVHTTPMethod>("GET"));
    EXPECT_EQ(allCases<OVHTTPMethod>(),
              (std::array{OVHTTPMethod::get, OVHTTPMethod::put, OVHTTPMethod::post, OVHTTPMethod::delete_}));

    const auto base = std::string(rawValue(OVRestConstants::baseURL));
    auto url = platform::core::URL::parse(base);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "https");
    EXPECT_EQ(url->path(), "/sites");
    EXPECT_EQ(fromRawValue<OVRestConstants>(base), OVRestConstants::baseURL);
    EXPECT_FALSE(fromRawValue<OVRestConstants>(base + "/"));
    EXPECT_EQ(OVRestManager::baseAddress(), base);

    EXPECT_EQ(OVURLSession::custom(), platform::net::URLSession::shared());
    EXPECT_EQ(OVURLSession::custom(), OVURLSession::custom());
}

TEST_F(OVRestManagerTest, SendDeliversAnyBodyOnTheMainQueue) {
    std::optional<OVRestManager::SendResult> ok, glued, missing;
    bool onMain = true;
    auto record = [&](std::optional<OVRestManager::SendResult>& slot) {
        return [&](OVRestManager::SendResult result) {
            onMain = onMain && RunLoop::main().isCurrent();
            slot = std::move(result);
        };
    };
    // From another thread: the completion still comes on the main queue.
    std::thread([&] { OVRestManager::shared()->send("/episode", OVHTTPMethod::post, record(ok)); }).join();
    OVRestManager::shared()->send("glued", OVHTTPMethod::get, record(glued));
    OVRestManager::shared()->send("/missing", OVHTTPMethod::get, record(missing));
    ASSERT_TRUE(waitFor([&] { return ok && glued && missing; }));

    EXPECT_TRUE(onMain);
    ASSERT_TRUE(ok->has_value());
    EXPECT_EQ(text(**ok), R"({"title":"Pilot"})");
    // The path is glued to "/sites" unchanged.
    ASSERT_TRUE(glued->has_value());
    EXPECT_EQ(text(**glued), R"({"glued":true})");
    // A 404 with a body is a success of `send`.
    ASSERT_TRUE(missing->has_value());
    EXPECT_EQ(text(**missing), R"({"error":"not found"})");
}

TEST_F(OVRestManagerTest, BadAddressIsReportedBeforeSendReturns) {
    std::optional<OVRestManager::SendResult> result;
    const auto caller = std::this_thread::get_id();
    std::thread::id reportedOn;
    OVRestManager::shared()->send("/a b", OVHTTPMethod::get, [&](OVRestManager::SendResult r) {
        reportedOn = std::this_thread::get_id();
        result = std::move(r);
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(reportedOn, caller);
    EXPECT_EQ(*result, std::unexpected(OVNetworkError::badURL));

    std::optional<BadPathRecord::GetResult> got;
    BadPathRecord::get([&](BadPathRecord::GetResult r) { got = std::move(r); });
    ASSERT_TRUE(got);
    EXPECT_EQ(got->error(), OVNetworkError::badURL);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(server.totalRequestCount(), 0);
}

TEST_F(OVRestManagerTest, GetDecodesOrReportsAParsingError) {
    std::optional<RestEpisode::GetResult> episode;
    std::optional<MissingEpisode::GetResult> missing;
    RestEpisode::get([&](RestEpisode::GetResult r) { episode = std::move(r); });
    MissingEpisode::get([&](MissingEpisode::GetResult r) { missing = std::move(r); });
    ASSERT_TRUE(waitFor([&] { return episode && missing; }));

    ASSERT_TRUE(episode->has_value());
    ASSERT_TRUE(episode->value());
    EXPECT_EQ(episode->value()->title, "Pilot");
    // The 404's JSON error body does not decode as the record.
    ASSERT_FALSE(missing->has_value());
    EXPECT_EQ(missing->error(), OVNetworkError::dataParsingError);

    RestEpisode record;
    EXPECT_EQ(record.serviceManager(), OVRestManager::shared());
    EXPECT_EQ(RestEpisode::ServiceManager(), OVRestManager::shared());
}

TEST(OVRestManagerNoServer, NetworkErrorOnTheMainQueue) {
    int freePort = 0;
    {
        RawServer probe([](RawServer::Connection&) {});
        freePort = probe.port();
    }
    OVRestManager::setBaseAddress("http://127.0.0.1:" + std::to_string(freePort) + "/sites");
    std::optional<OVRestManager::SendResult> sent;
    std::optional<RestEpisode::GetResult> got;
    bool onMain = true;
    OVRestManager::shared()->send("/episode", OVHTTPMethod::get, [&](OVRestManager::SendResult r) {
        onMain = onMain && RunLoop::main().isCurrent();
        sent = std::move(r);
    });
    RestEpisode::get([&](RestEpisode::GetResult r) {
        onMain = onMain && RunLoop::main().isCurrent();
        got = std::move(r);
    });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return sent && got; }, 10.0));
    EXPECT_TRUE(onMain);
    EXPECT_EQ(*sent, std::unexpected(OVNetworkError::networkError));
    EXPECT_EQ(got->error(), OVNetworkError::networkError);
    OVRestManager::setBaseAddress(std::nullopt);
}

TEST(OVRestManagerShared, IsReplaceable) {
    struct Recording final : OVRestManager {
        std::vector<std::string> paths;
        void send(const std::string& urlPath, OVHTTPMethod, SendCompletion completion) override {
            paths.push_back(urlPath);
            completion(platform::core::Data{'{', '"', 't', 'i', 't', 'l', 'e', '"', ':', '"', 'x', '"', '}'});
        }
    };
    auto original = OVRestManager::shared();
    auto fake = std::make_shared<Recording>();
    OVRestManager::setShared(fake);
    std::optional<RestEpisode::GetResult> got;
    RestEpisode::get([&](RestEpisode::GetResult r) { got = std::move(r); });
    ASSERT_TRUE(got && got->has_value());
    EXPECT_EQ(got->value()->title, "x");
    EXPECT_EQ(fake->paths, std::vector<std::string>{"/episode"});
    OVRestManager::setShared(original);
}
