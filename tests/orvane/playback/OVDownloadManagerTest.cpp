// Episode downloads into memory against loopback servers: progress fractions,
// the bytes at the end, failures (error status, reset, no server) and
// cancellation; reports on the main queue; the manager outlives its creator's
// reference until its completion.
#include "orvane/playback/OVDownloadManager.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/RunLoop.hpp"
#include "support/RawServer.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace platform;
using orvane::OVDownloadManager;
using orvane::testing::RawServer;
using orvane::testing::TestHttpServer;

core::URL url(const std::string& text) { return *core::URL::parse(text); }

struct Outcome {
    std::vector<float> fractions;
    int completions = 0;
    std::optional<core::Data> data;
    std::optional<net::URLError> error;
    bool allOnMain = true;

    OVDownloadManager::ProgressionHandler progress() {
        return [this](float value) {
            allOnMain = allOnMain && core::RunLoop::main().isCurrent();
            fractions.push_back(value);
        };
    }
    OVDownloadManager::ResponseHandler completion() {
        return [this](std::optional<core::Data> bytes, std::optional<net::URLError> failure) {
            allOnMain = allOnMain && core::RunLoop::main().isCurrent();
            ++completions;
            data = std::move(bytes);
            error = std::move(failure);
        };
    }
};

bool waitFor(const std::function<bool()>& predicate, double seconds = 10.0) {
    return core::RunLoop::main().runUntil(predicate, seconds);
}

}  // namespace

TEST(OVDownloadManager, FractionIsNeverNaNNegativeOrAboveOne) {
    EXPECT_FALSE(OVDownloadManager::fraction(100, -1));
    EXPECT_FALSE(OVDownloadManager::fraction(0, 0));
    EXPECT_FALSE(OVDownloadManager::fraction(100, 0));
    EXPECT_EQ(OVDownloadManager::fraction(0, 10), 0.0f);
    EXPECT_EQ(OVDownloadManager::fraction(5, 10), 0.5f);
    EXPECT_EQ(OVDownloadManager::fraction(15, 10), 1.0f);
}

TEST(OVDownloadManager, ReportsFractionsThenOneThenTheBytesAndGoesAway) {
    TestHttpServer server;
    const auto body = TestHttpServer::patternBytes(900000);
    server.serveBytes("/episode.mp3", body, "audio/mpeg");
    server.start();

    Outcome outcome;
    std::weak_ptr<OVDownloadManager> weak =
        OVDownloadManager::create(url(server.url("/episode.mp3")), outcome.progress(), outcome.completion());
    // Nobody keeps the manager, yet it runs to its end.
    ASSERT_TRUE(waitFor([&] { return outcome.completions > 0; }));
    EXPECT_EQ(outcome.completions, 1);
    ASSERT_TRUE(outcome.data);
    EXPECT_EQ(*outcome.data, body);
    EXPECT_FALSE(outcome.error);
    EXPECT_TRUE(outcome.allOnMain);

    ASSERT_GE(outcome.fractions.size(), 2u);
    EXPECT_EQ(outcome.fractions.back(), 1.0f);
    for (std::size_t i = 0; i < outcome.fractions.size(); ++i) {
        EXPECT_FALSE(std::isnan(outcome.fractions[i]));
        EXPECT_GE(outcome.fractions[i], 0.0f);
        EXPECT_LE(outcome.fractions[i], 1.0f);
        if (i > 0) {
            EXPECT_GE(outcome.fractions[i], outcome.fractions[i - 1]);
        }
    }
    // Once the completion has run the manager and its session are released.
    ASSERT_TRUE(waitFor([&] { return weak.expired(); }));
    EXPECT_EQ(server.requestCount("/episode.mp3"), 1);
}

TEST(OVDownloadManager, UnknownSizeReportsOnlyTheFinalOne) {
    RawServer server(RawServer::noContentLength(TestHttpServer::patternBytes(200000)));
    Outcome outcome;
    OVDownloadManager::create(url(server.url("/open.mp3")), outcome.progress(), outcome.completion());
    ASSERT_TRUE(waitFor([&] { return outcome.completions > 0; }));
    EXPECT_EQ(outcome.fractions, std::vector<float>{1.0f});
    ASSERT_TRUE(outcome.data);
    EXPECT_EQ(outcome.data->size(), 200000u);
}

TEST(OVDownloadManager, FailuresGiveNoBytesNoFinalOneAndAnError) {
    TestHttpServer server;
    server.serveText("/missing.mp3", R"({"error":"not found"})", "application/json", 404);
    server.serveText("/broken.mp3", "oops", "text/plain", 500);
    server.start();
    RawServer reset(RawServer::resetMidBody(TestHttpServer::patternBytes(300000), 50000));
    int freePort = 0;
    {
        RawServer probe([](RawServer::Connection&) {});
        freePort = probe.port();
    }

    Outcome missing, broken, cut, refused;
    OVDownloadManager::create(url(server.url("/missing.mp3")), missing.progress(), missing.completion());
    OVDownloadManager::create(url(server.url("/broken.mp3")), broken.progress(), broken.completion());
    OVDownloadManager::create(url(reset.url("/cut.mp3")), cut.progress(), cut.completion());
    OVDownloadManager::create(url("http://127.0.0.1:" + std::to_string(freePort) + "/x.mp3"), refused.progress(),
                              refused.completion());
    ASSERT_TRUE(waitFor([&] {
        return missing.completions && broken.completions && cut.completions && refused.completions;
    }));

    for (auto* outcome : {&missing, &broken, &cut, &refused}) {
        EXPECT_EQ(outcome->completions, 1);
        EXPECT_FALSE(outcome->data);
        ASSERT_TRUE(outcome->error);
        for (float value : outcome->fractions) {
            EXPECT_LT(value, 1.0f);
            EXPECT_GE(value, 0.0f);
        }
    }
    // An error answer's body is no progress of the file.
    EXPECT_TRUE(missing.fractions.empty());
    EXPECT_EQ(missing.error->code, net::URLError::Code::badServerResponse);
    EXPECT_EQ(broken.error->code, net::URLError::Code::badServerResponse);
    EXPECT_EQ(cut.error->code, net::URLError::Code::networkConnectionLost);
    EXPECT_EQ(refused.error->code, net::URLError::Code::cannotConnectToHost);
}

TEST(OVDownloadManager, CancellingTheSessionEndsWithACancelledError) {
    RawServer server(RawServer::trickle(TestHttpServer::patternBytes(100000), 1000, 0.02));
    Outcome outcome;
    auto manager = OVDownloadManager::create(url(server.url("/slow.mp3")), outcome.progress(), outcome.completion());
    ASSERT_TRUE(waitFor([&] { return !outcome.fractions.empty(); }));
    manager->session()->invalidateAndCancel();
    ASSERT_TRUE(waitFor([&] { return outcome.completions > 0; }));
    EXPECT_FALSE(outcome.data);
    ASSERT_TRUE(outcome.error);
    EXPECT_TRUE(outcome.error->isCancelled());
    EXPECT_LT(outcome.fractions.back(), 1.0f);
}

TEST(OVDownloadManager, WithoutClosuresAndSideBySide) {
    TestHttpServer server;
    server.serveBytes("/episode.mp3", TestHttpServer::patternBytes(100000));
    server.start();

    std::weak_ptr<OVDownloadManager> silent = OVDownloadManager::create(url(server.url("/episode.mp3")), {}, {});
    Outcome first, second;
    OVDownloadManager::create(url(server.url("/episode.mp3")), first.progress(), first.completion());
    OVDownloadManager::create(url(server.url("/episode.mp3")), second.progress(), second.completion());
    ASSERT_TRUE(waitFor([&] { return silent.expired() && first.completions && second.completions; }));
    EXPECT_EQ(first.data, second.data);
    EXPECT_EQ(first.data, TestHttpServer::patternBytes(100000));
    EXPECT_EQ(server.requestCount("/episode.mp3"), 3);

    // A plain manager starts nothing.
    auto plain = OVDownloadManager::create();
    EXPECT_FALSE(plain->session());
}
