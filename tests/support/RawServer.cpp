#include "support/RawServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace orvane::testing {

RawServer::RawServer(Script script) : script_(std::move(script)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("raw server: socket");
    int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 16) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("raw server: bind/listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

RawServer::~RawServer() { stop(); }

void RawServer::stop() {
    if (stopping_.exchange(true)) return;
    if (acceptThread_.joinable()) acceptThread_.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        // Wakes scripts blocked in a send to a peer that no longer reads.
        for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
        workers.swap(workers_);
    }
    for (auto& worker : workers) worker.join();
    ::close(listenFd_);
}

std::string RawServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void RawServer::acceptLoop() {
    while (!stopping_.load()) {
        pollfd entry{listenFd_, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++connections_;
        std::lock_guard lock(mutex_);
        openFds_.push_back(fd);
        workers_.emplace_back([this, fd] { serve(fd); });
    }
}

void RawServer::serve(int fd) {
    Connection connection(fd, *this);
    // Read the request head.
    char buffer[4096];
    while (connection.head_.find("\r\n\r\n") == std::string::npos && !stopping_.load()) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0) continue;
        const auto n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        connection.head_.append(buffer, static_cast<std::size_t>(n));
    }
    if (connection.head_.find("\r\n\r\n") != std::string::npos) script_(connection);
    {
        std::lock_guard lock(mutex_);
        openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), fd), openFds_.end());
    }
    if (connection.fd_ >= 0) ::close(connection.fd_);
}

std::string RawServer::Connection::path() const {
    const auto first = head_.find(' ');
    if (first == std::string::npos) return {};
    const auto second = head_.find(' ', first + 1);
    return head_.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
}

bool RawServer::Connection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        if (fd_ < 0 || server_.stopping_.load()) return false;
        const auto n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool RawServer::Connection::send(const std::vector<std::uint8_t>& bytes) {
    return send(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool RawServer::Connection::pause(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (server_.stopping_.load()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !server_.stopping_.load();
}

void RawServer::Connection::reset() {
    if (fd_ < 0) return;
    linger option{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &option, sizeof option);
    ::close(fd_);
    fd_ = -1;
}

bool RawServer::Connection::stopping() const { return server_.stopping_.load(); }

namespace {
std::string head(int code, std::string_view reason, std::string_view contentType, long long length) {
    std::string text = "HTTP/1.1 " + std::to_string(code) + " " + std::string(reason) + "\r\n";
    text += "Content-Type: " + std::string(contentType) + "\r\n";
    if (length >= 0) text += "Content-Length: " + std::to_string(length) + "\r\n";
    text += "Connection: close\r\n\r\n";
    return text;
}
}  // namespace

RawServer::Script RawServer::resetMidBody(std::vector<std::uint8_t> body, std::size_t sent) {
    return [body = std::move(body), sent](Connection& connection) {
        if (!connection.send(head(200, "OK", "audio/mpeg", static_cast<long long>(body.size())))) return;
        const auto count = std::min(sent, body.size());
        if (!connection.send(std::vector<std::uint8_t>(body.begin(), body.begin() + static_cast<long>(count)))) return;
        // Give the peer time to read what was sent before the reset discards it.
        connection.pause(0.05);
        connection.reset();
    };
}

RawServer::Script RawServer::noContentLength(std::vector<std::uint8_t> body, std::string contentType) {
    return [body = std::move(body), contentType](Connection& connection) {
        if (!connection.send(head(200, "OK", contentType, -1))) return;
        connection.send(body);
    };
}

RawServer::Script RawServer::status(int code, std::string body, std::string contentType) {
    return [code, body = std::move(body), contentType](Connection& connection) {
        const std::string_view reason = code == 404 ? "Not Found" : code >= 500 ? "Server Error" : "Status";
        if (!connection.send(head(code, reason, contentType, static_cast<long long>(body.size())))) return;
        connection.send(body);
    };
}

RawServer::Script RawServer::trickle(std::vector<std::uint8_t> body, std::size_t chunk, double interval) {
    return [body = std::move(body), chunk, interval](Connection& connection) {
        if (!connection.send(head(200, "OK", "audio/mpeg", static_cast<long long>(body.size())))) return;
        for (std::size_t offset = 0; offset < body.size(); offset += chunk) {
            const auto end = std::min(body.size(), offset + chunk);
            if (!connection.send(std::vector<std::uint8_t>(body.begin() + static_cast<long>(offset),
                                                           body.begin() + static_cast<long>(end))))
                return;
            if (end < body.size() && !connection.pause(interval)) return;
        }
    };
}

}  // namespace orvane::testing
