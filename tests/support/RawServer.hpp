// A raw TCP server on 127.0.0.1 for tests of misbehaving peers: it reads each
// request's head and hands the connection to a script that writes whatever
// bytes it likes, pauses, closes or resets. Each connection runs on its own
// thread; `stop()` (or the destructor) ends the scripts and joins them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvane::testing {

class RawServer {
public:
    class Connection {
    public:
        // The request line and headers as received ("GET /x HTTP/1.1\r\n...").
        const std::string& requestHead() const { return head_; }
        // The path of the request line.
        std::string path() const;
        // Writes all of `bytes`; false once the peer has gone or the server stops.
        bool send(std::string_view bytes);
        bool send(const std::vector<std::uint8_t>& bytes);
        // Waits `seconds` on the server side (ends early when the server stops).
        // Returns false when the server is stopping.
        bool pause(double seconds);
        // Closes the connection with a TCP reset instead of an orderly close.
        void reset();
        bool stopping() const;

    private:
        friend class RawServer;
        Connection(int fd, RawServer& server) : fd_(fd), server_(server) {}
        int fd_;
        RawServer& server_;
        std::string head_;
    };
    using Script = std::function<void(Connection&)>;

    explicit RawServer(Script script);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    void stop();
    int port() const { return port_; }
    std::string url(std::string_view path = "/") const;
    int connectionCount() const { return connections_.load(); }

    // Ready-made scripts.
    // Status 200 announcing the whole `body`, sends its first `sent` bytes,
    // then resets the connection.
    static Script resetMidBody(std::vector<std::uint8_t> body, std::size_t sent);
    // Status 200 with no Content-Length; the body ends when the server closes.
    static Script noContentLength(std::vector<std::uint8_t> body, std::string contentType = "audio/mpeg");
    // The given status with a short body.
    static Script status(int code, std::string body = "not found", std::string contentType = "text/plain");
    // Status 200 with a Content-Length, the body sent `chunk` bytes at a time
    // with `interval` seconds between blocks.
    static Script trickle(std::vector<std::uint8_t> body, std::size_t chunk, double interval);

private:
    void acceptLoop();
    void serve(int fd);

    Script script_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::vector<int> openFds_;
};

}  // namespace orvane::testing
