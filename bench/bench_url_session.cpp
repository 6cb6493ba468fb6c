// Fetching an 8 MB body on loopback: through the URL session (completion data
// task, and delegate data task with blocks), beside a plain libcurl easy
// transfer of the same body. The server runs in-process on 127.0.0.1.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/net/URLSession.hpp"

namespace {

constexpr std::size_t kBodySize = 8 * 1024 * 1024;

class Server {
public:
    Server() : body_(kBodySize, '\0') {
        for (std::size_t i = 0; i < body_.size(); ++i) body_[i] = static_cast<char>((i * 31 + 7) % 251);
        server_.Get("/body", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(body_, "application/octet-stream");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::yield();
    }
    ~Server() {
        server_.stop();
        thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/body"; }

private:
    std::string body_;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

Server& server() {
    static Server instance;
    return instance;
}

struct Waiter {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::size_t bytes = 0;

    void finish(std::size_t count) {
        std::lock_guard lock(mutex);
        bytes = count;
        finished = true;
        done.notify_all();
    }
    std::size_t wait() {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return finished; });
        finished = false;
        return bytes;
    }
};

void BM_SessionCompletionTask8MB(benchmark::State& state) {
    const auto url = *platform::core::URL::parse(server().url());
    auto session = platform::net::URLSession::shared();
    Waiter waiter;
    for (auto _ : state) {
        session
            ->dataTask(url, [&](std::optional<platform::core::Data> data, auto, auto) {
                waiter.finish(data ? data->size() : 0);
            })
            ->resume();
        if (waiter.wait() != kBodySize) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_SessionCompletionTask8MB)->Unit(benchmark::kMillisecond)->UseRealTime();

class CountingDelegate final : public platform::net::URLSessionDataDelegate {
public:
    Waiter waiter;
    std::size_t received = 0;
    void didReceiveData(const std::shared_ptr<platform::net::URLSession>&,
                        const std::shared_ptr<platform::net::URLSessionDataTask>&,
                        const platform::core::Data& data) override {
        received += data.size();
    }
    void didCompleteWithError(const std::shared_ptr<platform::net::URLSession>&,
                              const std::shared_ptr<platform::net::URLSessionTask>&,
                              const std::optional<platform::net::URLError>&) override {
        waiter.finish(received);
        received = 0;
    }
};

void BM_SessionDelegateTask8MB(benchmark::State& state) {
    const auto url = *platform::core::URL::parse(server().url());
    auto delegate = std::make_shared<CountingDelegate>();
    auto session = platform::net::URLSession::create({}, delegate);
    for (auto _ : state) {
        session->dataTask(url)->resume();
        if (delegate->waiter.wait() != kBodySize) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
    session->invalidateAndCancel();
}
BENCHMARK(BM_SessionDelegateTask8MB)->Unit(benchmark::kMillisecond)->UseRealTime();

std::size_t collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* body = static_cast<std::string*>(user);
    body->append(data, size * count);
    return size * count;
}

void BM_PlainCurlEasy8MB(benchmark::State& state) {
    const auto url = server().url();
    CURL* easy = curl_easy_init();
    std::string body;
    body.reserve(kBodySize);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
    for (auto _ : state) {
        body.clear();
        if (curl_easy_perform(easy) != CURLE_OK || body.size() != kBodySize) state.SkipWithError("transfer failed");
    }
    curl_easy_cleanup(easy);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_PlainCurlEasy8MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
