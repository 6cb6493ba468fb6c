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
