// An HTTP server on 127.0.0.1 for tests (cpp-httplib), on a port the system
// picks. Add routes through `server()` (or the helpers) before `start()`;
// the server stops when the object goes away.
//
// Thread-safe counters tell how many requests each path received.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvane::testing {

class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    httplib::Server& server() { return server_; }

    // Serves `body` with status 200 (Content-Length set) at `path`.
    void serveBytes(const std::string& path, std::vector<std::uint8_t> body,
                    std::string contentType = "application/octet-stream");
    void serveText(const std::string& path, std::string body, std::string contentType = "application/json",
                   int status = 200);

    // Binds and starts listening; returns once the server accepts requests.
    void start();
    void stop();

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(std::string_view path = "") const;

    // Requests received for `path` (whatever the answer).
    int requestCount(const std::string& path) const;
    int totalRequestCount() const;

    // Deterministic test content: byte i is (i * 31 + 7) mod 251.
    static std::vector<std::uint8_t> patternBytes(std::size_t size);

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, int> counts_;
};

}  // namespace orvane::testing
