#include "support/TestHttpServer.hpp"

#include <chrono>
#include <stdexcept>

namespace orvane::testing {

TestHttpServer::TestHttpServer() {
    // One request per connection: a client's idle kept-alive connection would
    // otherwise hold `stop()` for the whole keep-alive time-out.
    server_.set_keep_alive_max_count(1);
    // Counted on arrival, before any answer goes out: a client that has its
    // response already sees the request counted.
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        std::lock_guard lock(mutex_);
        ++counts_[request.path];
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

TestHttpServer::~TestHttpServer() { stop(); }

void TestHttpServer::serveBytes(const std::string& path, std::vector<std::uint8_t> body, std::string contentType) {
    auto shared = std::make_shared<std::string>(body.begin(), body.end());
    server_.Get(path, [shared, contentType](const httplib::Request&, httplib::Response& response) {
        response.set_content(*shared, contentType);
    });
}

void TestHttpServer::serveText(const std::string& path, std::string body, std::string contentType, int status) {
    server_.Get(path, [body, contentType, status](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, contentType);
    });
}

void TestHttpServer::start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("test server: cannot bind to 127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() only reaches a server whose loop runs: wait (bounded) for it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server_.is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void TestHttpServer::stop() {
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string TestHttpServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

int TestHttpServer::requestCount(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = counts_.find(path);
    return it == counts_.end() ? 0 : it->second;
}

int TestHttpServer::totalRequestCount() const {
    std::lock_guard lock(mutex_);
    int total = 0;
    for (const auto& [path, count] : counts_) total += count;
    return total;
}

std::vector<std::uint8_t> TestHttpServer::patternBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 31 + 7) % 251);
    return bytes;
}

}  // namespace orvane::testing
