// URL sessions against servers started on 127.0.0.1: completion data tasks,
// delegate data tasks (response disposition, blocks, cancellation,
// invalidation from inside a callback) and download tasks.
#include "platform/net/URLSession.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/RawServer.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace platform;
using net::ResponseDisposition;
using net::URLError;
using net::URLSession;
using orvane::testing::RawServer;
using orvane::testing::TestHttpServer;

core::URL url(const std::string& text) { return *core::URL::parse(text); }

bool waitFor(const std::function<bool()>& predicate, double seconds = 10.0) {
    return core::RunLoop::main().runUntil(predicate, seconds);
}

// Records every delegate call in order, as text, with what came with it.
class Recorder final : public net::URLSessionDataDelegate, public net::URLSessionDownloadDelegate {
public:
    ResponseDisposition disposition = ResponseDisposition::allow;
    // When set, run on the delegate queue at the first block of data.
    std::function<void(const std::shared_ptr<URLSession>&)> onFirstData;
    std::function<void(const std::shared_ptr<URLSession>&)> onResponse;

    void didReceiveResponse(const std::shared_ptr<URLSession>& session,
                            const std::shared_ptr<net::URLSessionDataTask>& task, const net::URLResponse& response,
                            net::ResponseCompletion completion) override {
        note("response", task);
        std::lock_guard lock(mutex_);
        responses.push_back(response);
        if (onResponse) onResponse(session);
        completion(disposition);
    }
    void didReceiveData(const std::shared_ptr<URLSession>& session, const std::shared_ptr<net::URLSessionDataTask>& task,
                        const core::Data& data) override {
        note("data", task);
        std::function<void(const std::shared_ptr<URLSession>&)> first;
        {
            std::lock_guard lock(mutex_);
            body.insert(body.end(), data.begin(), data.end());
            if (!sawData) first = onFirstData;
            sawData = true;
        }
        if (first) first(session);
    }
    void didWriteData(const std::shared_ptr<URLSession>&, const std::shared_ptr<net::URLSessionDownloadTask>& task,
                      std::int64_t written, std::int64_t total, std::int64_t expected) override {
        note("progress", task);
        std::lock_guard lock(mutex_);
        progress.push_back({written, total, expected});
    }
    void didFinishDownloadingTo(const std::shared_ptr<URLSession>&, const std::shared_ptr<net::URLSessionDownloadTask>& task,
                                const std::filesystem::path& location) override {
        note("finished", task);
        auto bytes = core::FileManager::readFile(location);
        std::lock_guard lock(mutex_);
        finishedPath = location;
        if (bytes) body = *bytes;
    }
    void didCompleteWithError(const std::shared_ptr<URLSession>& session, const std::shared_ptr<net::URLSessionTask>& task,
                              const std::optional<URLError>& error) override {
        note("complete", task);
        std::lock_guard lock(mutex_);
        completions.push_back(error);
        onDelegateQueue = session->delegateQueue().isCurrent();
    }
    void didBecomeInvalidWithError(const std::shared_ptr<URLSession>&, const std::optional<URLError>&) override {
        std::lock_guard lock(mutex_);
        events.push_back("invalid");
    }

    std::vector<std::string> eventList() const {
        std::lock_guard lock(mutex_);
        return events;
    }
    // Events with consecutive repeats folded ("data", "data" -> "data").
    std::vector<std::string> foldedEvents() const {
        auto all = eventList();
        all.erase(std::unique(all.begin(), all.end()), all.end());
        return all;
    }
    bool completed() const {
        std::lock_guard lock(mutex_);
        return !completions.empty();
    }
    bool invalidated() const {
        auto all = eventList();
        return std::find(all.begin(), all.end(), "invalid") != all.end();
    }

    mutable std::mutex mutex_;
    std::vector<std::string> events;
    std::vector<net::URLResponse> responses;
    core::Data body;
    bool sawData = false;
    struct Progress {
        std::int64_t written, total, expected;
    };
    std::vector<Progress> progress;
    std::vector<std::optional<URLError>> completions;
    std::filesystem::path finishedPath;
    bool onDelegateQueue = false;

private:
    void note(const char* what, const std::shared_ptr<net::URLSessionTask>&) {
        std::lock_guard lock(mutex_);
        events.push_back(what);
    }
};

struct Result {
    std::atomic<bool> done{false};
    std::optional<core::Data> data;
    std::optional<net::URLResponse> response;
    std::optional<URLError> error;
    bool onDelegateQueue = false;
};

std::shared_ptr<Result> fetch(const std::shared_ptr<URLSession>& session, const std::string& address) {
    auto result = std::make_shared<Result>();
    auto task = session->dataTask(url(address), [result, session](auto data, auto response, auto error) {
        result->data = std::move(data);
        result->response = std::move(response);
        result->error = std::move(error);
        result->onDelegateQueue = session->delegateQueue().isCurrent();
        result->done = true;
    });
    task->resume();
    return result;
}

}  // namespace

TEST(URLSessionCompletionTask, DeliversBodyAndResponseOnTheDelegateQueue) {
    TestHttpServer server;
    const auto body = TestHttpServer::patternBytes(300000);
    server.serveBytes("/file.mp3", body, "audio/mpeg");
    server.serveText("/missing", R"({"error":"nope"})", "application/json; charset=utf-8", 404);
    server.start();

    auto ok = fetch(URLSession::shared(), server.url("/file.mp3"));
    auto missing = fetch(URLSession::shared(), server.url("/missing"));
    ASSERT_TRUE(waitFor([&] { return ok->done && missing->done; }));

    EXPECT_TRUE(ok->onDelegateQueue);
    ASSERT_TRUE(ok->data);
    EXPECT_EQ(*ok->data, body);
    ASSERT_TRUE(ok->response);
    EXPECT_EQ(ok->response->statusCode(), 200);
    EXPECT_EQ(ok->response->mimeType(), "audio/mpeg");
    EXPECT_EQ(ok->response->expectedContentLength(), 300000);
    EXPECT_FALSE(ok->error);

    // Any status with a body is a transport success.
    ASSERT_TRUE(missing->data);
    EXPECT_EQ(std::string(missing->data->begin(), missing->data->end()), R"({"error":"nope"})");
    EXPECT_EQ(missing->response->statusCode(), 404);
    EXPECT_EQ(missing->response->mimeType(), "application/json");
    EXPECT_EQ(missing->response->textEncodingName(), "utf-8");
    EXPECT_EQ(missing->response->valueForHeaderField("content-type"), "application/json; charset=utf-8");
    EXPECT_FALSE(missing->error);
}

TEST(URLSessionCompletionTask, TransportFailuresGiveNoDataAndACode) {
    // A port with nothing listening: bind one, note it, close it.
    int freePort = 0;
    {
        RawServer probe([](RawServer::Connection&) {});
        freePort = probe.port();
    }
    RawServer reset(RawServer::resetMidBody(TestHttpServer::patternBytes(200000), 1000));
    RawServer unbounded(RawServer::noContentLength(TestHttpServer::patternBytes(50000)));

    auto refused = fetch(URLSession::shared(), "http://127.0.0.1:" + std::to_string(freePort) + "/x");
    auto cut = fetch(URLSession::shared(), reset.url("/cut.mp3"));
    auto whole = fetch(URLSession::shared(), unbounded.url("/open.mp3"));
    auto ftp = fetch(URLSession::shared(), "ftp://127.0.0.1/file");
    ASSERT_TRUE(waitFor([&] { return refused->done && cut->done && whole->done && ftp->done; }));

    EXPECT_FALSE(refused->data);
    ASSERT_TRUE(refused->error);
    EXPECT_EQ(refused->error->code, URLError::Code::cannotConnectToHost);
    EXPECT_FALSE(refused->response);

    EXPECT_FALSE(cut->data);
    ASSERT_TRUE(cut->error);
    EXPECT_EQ(cut->error->code, URLError::Code::networkConnectionLost);
    ASSERT_TRUE(cut->response);  // the headers had arrived
    EXPECT_EQ(cut->response->expectedContentLength(), 200000);

    // Without a length the body ends with the connection: a success.
    ASSERT_TRUE(whole->data);
    EXPECT_EQ(*whole->data, TestHttpServer::patternBytes(50000));
    EXPECT_EQ(whole->response->expectedContentLength(), -1);
    EXPECT_FALSE(whole->error);

    ASSERT_TRUE(ftp->error);
    EXPECT_EQ(ftp->error->code, URLError::Code::unsupportedURL);
}

TEST(URLSessionDataDelegate, ResponseFirstThenBlocksThenCompletion) {
    TestHttpServer server;
    const auto body = TestHttpServer::patternBytes(1 << 20);
    server.serveBytes("/episode.mp3", body, "audio/mpeg");
    server.start();

    auto recorder = std::make_shared<Recorder>();
    auto session = URLSession::create(net::URLSessionConfiguration::defaultConfiguration(), recorder);
    auto task = session->dataTask(url(server.url("/episode.mp3")));
    EXPECT_EQ(task->state(), net::URLSessionTask::State::suspended);
    EXPECT_EQ(server.requestCount("/episode.mp3"), 0);
    task->resume();
    ASSERT_TRUE(waitFor([&] { return recorder->completed(); }));

    EXPECT_EQ(recorder->foldedEvents(), (std::vector<std::string>{"response", "data", "complete"}));
    EXPECT_EQ(recorder->body, body);
    EXPECT_FALSE(recorder->completions.at(0));
    EXPECT_TRUE(recorder->onDelegateQueue);
    ASSERT_EQ(recorder->responses.size(), 1u);
    EXPECT_EQ(recorder->responses[0].expectedContentLength(), 1 << 20);
    EXPECT_EQ(task->countOfBytesExpectedToReceive(), 1 << 20);
    EXPECT_EQ(task->countOfBytesReceived(), 1 << 20);
    EXPECT_EQ(task->state(), net::URLSessionTask::State::completed);

    // The session keeps its delegate until invalidated, then lets it go.
    std::weak_ptr<Recorder> weak = recorder;
    recorder.reset();
    EXPECT_FALSE(weak.expired());
    session->finishTasksAndInvalidate();
    ASSERT_TRUE(waitFor([&] { return weak.expired(); }));
}

TEST(URLSessionDataDelegate, EmptyBodyStillReportsTheResponseFirst) {
    TestHttpServer server;
    server.serveText("/empty", "", "text/plain", 200);
    server.start();

    auto recorder = std::make_shared<Recorder>();
    auto session = URLSession::create({}, recorder);
    session->dataTask(url(server.url("/empty")))->resume();
    ASSERT_TRUE(waitFor([&] { return recorder->completed(); }));
    EXPECT_EQ(recorder->eventList(), (std::vector<std::string>{"response", "complete"}));
    EXPECT_FALSE(recorder->completions.at(0));
    session->invalidateAndCancel();
}

TEST(URLSessionDataDelegate, CancelDispositionEndsTheTaskAsCancelled) {
    TestHttpServer server;
    server.serveBytes("/episode.mp3", TestHttpServer::patternBytes(500000));
    server.start();

    auto recorder = std::make_shared<Recorder>();
    recorder->disposition = ResponseDisposition::cancel;
    auto session = URLSession::create({}, recorder);
    session->dataTask(url(server.url("/episode.mp3")))->resume();
    ASSERT_TRUE(waitFor([&] { return recorder->completed(); }));
    EXPECT_EQ(recorder->eventList(), (std::vector<std::string>{"response", "complete"}));
    ASSERT_TRUE(recorder->completions.at(0));
    EXPECT_TRUE(recorder->completions.at(0)->isCancelled());
    session->invalidateAndCancel();
}

TEST(URLSessionDataDelegate, InvalidateAndCancelFromInsideADataCallback) {
    // Slow enough that the transfer is still running at the first block.
    RawServer server(RawServer::trickle(TestHttpServer::patternBytes(64 * 1024), 1024, 0.02));

    auto recorder = std::make_shared<Recorder>();
    recorder->onFirstData = [](const std::shared_ptr<URLSession>& session) { session->invalidateAndCancel(); };
    auto session = URLSession::create({}, recorder);
    auto task = session->dataTask(url(server.url("/slow.mp3")));
    task->resume();
    std::weak_ptr<Recorder> weak = recorder;
    recorder.reset();
    ASSERT_TRUE(waitFor([&] {
        auto strong = weak.lock();
        return !strong || strong->invalidated();
    }));
    // Nothing after the cancellation but the completion and the invalidation.
    ASSERT_TRUE(waitFor([&] { return weak.expired(); }));
    EXPECT_EQ(task->state(), net::URLSessionTask::State::completed);
    ASSERT_TRUE(task->error());
    EXPECT_TRUE(task->error()->isCancelled());
    EXPECT_LT(task->countOfBytesReceived(), 64 * 1024);
    EXPECT_TRUE(session->isInvalidated());

    // A task made afterwards never runs.
    auto late = fetch(session, server.url("/late"));
    ASSERT_TRUE(waitFor([&] { return late->done.load(); }));
    ASSERT_TRUE(late->error);
    EXPECT_TRUE(late->error->isCancelled());
}

TEST(URLSessionDataDelegate, CancelFromAnotherThreadDropsQueuedBlocks) {
    RawServer server(RawServer::trickle(TestHttpServer::patternBytes(256 * 1024), 4096, 0.01));
    auto recorder = std::make_shared<Recorder>();
    auto session = URLSession::create({}, recorder);
    auto task = session->dataTask(url(server.url("/slow.mp3")));
    task->resume();
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(recorder->mutex_);
        return recorder->sawData;
    }));
    std::thread([task] { task->cancel(); }).join();
    ASSERT_TRUE(waitFor([&] { return recorder->completed(); }));
    const auto events = recorder->eventList();
    EXPECT_EQ(events.back(), "complete");
    EXPECT_EQ(std::count(events.begin(), events.end(), "complete"), 1);
    ASSERT_TRUE(recorder->completions.at(0));
    EXPECT_TRUE(recorder->completions.at(0)->isCancelled());
    // Nothing arrives after the completion.
    const auto count = events.size();
    task->cancel();  // a second cancel does nothing
    auto probe = fetch(URLSession::shared(), server.url("/other"));
    ASSERT_TRUE(waitFor([&] { return probe->done.load(); }));
    EXPECT_EQ(recorder->eventList().size(), count);
    session->invalidateAndCancel();
}

TEST(URLSessionTask, CancelBeforeResumeCompletesAsCancelledWithoutARequest) {
    TestHttpServer server;
    server.serveText("/x", "{}");
    server.start();
    auto result = std::make_shared<Result>();
    auto task = URLSession::shared()->dataTask(url(server.url("/x")), [result](auto data, auto, auto error) {
        result->data = std::move(data);
        result->error = std::move(error);
        result->done = true;
    });
    task->cancel();
    task->resume();  // too late: nothing happens
    ASSERT_TRUE(waitFor([&] { return result->done.load(); }));
    EXPECT_FALSE(result->data);
    ASSERT_TRUE(result->error);
    EXPECT_TRUE(result->error->isCancelled());
    EXPECT_EQ(server.totalRequestCount(), 0);
}

TEST(URLSessionDownloadDelegate, ProgressThenTemporaryFileThenCompletion) {
    TestHttpServer server;
    const auto body = TestHttpServer::patternBytes(700000);
    server.serveBytes("/episode.mp3", body, "audio/mpeg");
    server.start();
    RawServer unbounded(RawServer::noContentLength(TestHttpServer::patternBytes(30000)));

    auto recorder = std::make_shared<Recorder>();
    auto session = URLSession::create({}, recorder);
    session->downloadTask(url(server.url("/episode.mp3")))->resume();
    ASSERT_TRUE(waitFor([&] { return recorder->completed(); }));

    EXPECT_EQ(recorder->foldedEvents(), (std::vector<std::string>{"progress", "finished", "complete"}));
    EXPECT_EQ(recorder->body, body);
    std::int64_t sum = 0;
    for (const auto& p : recorder->progress) {
        sum += p.written;
        EXPECT_EQ(p.total, sum);
        EXPECT_EQ(p.expected, 700000);
    }
    EXPECT_EQ(sum, 700000);
    // The temporary file is gone once the call has returned.
    EXPECT_FALSE(std::filesystem::exists(recorder->finishedPath));

    auto second = std::make_shared<Recorder>();
    auto other = URLSession::create({}, second);
    other->downloadTask(url(unbounded.url("/open.mp3")))->resume();
    ASSERT_TRUE(waitFor([&] { return second->completed(); }));
    ASSERT_FALSE(second->progress.empty());
    EXPECT_EQ(second->progress.back().expected, -1);
    EXPECT_EQ(second->progress.back().total, 30000);
    EXPECT_EQ(second->body, TestHttpServer::patternBytes(30000));
    session->invalidateAndCancel();
    other->invalidateAndCancel();
}

TEST(URLSessionDownloadDelegate, ResetMidBodyFailsWithoutAFinishedFile) {
    RawServer server(RawServer::resetMidBody(TestHttpServer::patternBytes(400000), 100000));
    auto recorder = std::make_shared<Recorder>();
    auto session = URLSession::create({}, recorder);
    session->downloadTask(url(server.url("/cut.mp3")))->resume();
    ASSERT_TRUE(waitFor([&] { return recorder->completed(); }));
    const auto events = recorder->eventList();
    EXPECT_EQ(std::count(events.begin(), events.end(), "finished"), 0);
    ASSERT_TRUE(recorder->completions.at(0));
    EXPECT_EQ(recorder->completions.at(0)->code, URLError::Code::networkConnectionLost);
    session->invalidateAndCancel();
}

TEST(URLSession, DelegateQueueCanBeTheMainQueue) {
    TestHttpServer server;
    server.serveText("/x", "hello");
    server.start();
    auto recorder = std::make_shared<Recorder>();
    auto session = URLSession::create({}, recorder, URLSession::mainQueue());
    session->dataTask(url(server.url("/x")))->resume();
    ASSERT_TRUE(waitFor([&] { return recorder->completed(); }));
    EXPECT_TRUE(recorder->onDelegateQueue);
    EXPECT_TRUE(core::RunLoop::main().isCurrent());
    session->invalidateAndCancel();
    ASSERT_TRUE(waitFor([&] { return recorder->invalidated(); }));
}

TEST(URLSessionCompletionTask, AStalledServerEndsWithTimedOut) {
    // Headers, a few bytes, then silence.
    RawServer server([](RawServer::Connection& connection) {
        if (!connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nabc")) return;
        connection.pause(30.0);
    });
    net::URLSessionConfiguration configuration;
    configuration.timeoutIntervalForRequest = 1.0;
    auto session = URLSession::create(configuration);
    auto result = fetch(session, server.url("/stalled.mp3"));
    ASSERT_TRUE(waitFor([&] { return result->done.load(); }, 20.0));
    EXPECT_FALSE(result->data);
    ASSERT_TRUE(result->error);
    EXPECT_EQ(result->error->code, URLError::Code::timedOut);
    session->invalidateAndCancel();
}
