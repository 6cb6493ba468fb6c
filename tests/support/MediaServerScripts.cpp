#include "support/MediaServerScripts.hpp"

#include <algorithm>

namespace orvane::testing {

std::string mediaResponseHead(int code, std::size_t length, const std::string& contentType) {
    return "HTTP/1.1 " + std::to_string(code) + (code == 200 ? " OK" : " Error") +
           "\r\nContent-Type: " + contentType + "\r\nContent-Length: " + std::to_string(length) +
           "\r\nConnection: close\r\n\r\n";
}

RawServer::Script gatedResponse(std::vector<std::uint8_t> body, std::shared_ptr<std::atomic<bool>> gate,
                                std::size_t chunk) {
    return [body = std::move(body), gate, chunk](RawServer::Connection& connection) {
        while (!gate->load()) {
            if (!connection.pause(0.005)) return;
        }
        if (!connection.send(mediaResponseHead(200, body.size()))) return;
        for (std::size_t offset = 0; offset < body.size(); offset += chunk) {
            const auto end = std::min(body.size(), offset + chunk);
            if (!connection.send(std::vector<std::uint8_t>(body.begin() + static_cast<long>(offset),
                                                           body.begin() + static_cast<long>(end))))
                return;
        }
    };
}

RawServer::Script stallAfter(std::vector<std::uint8_t> body, std::size_t sent) {
    return [body = std::move(body), sent](RawServer::Connection& connection) {
        if (!connection.send(mediaResponseHead(200, body.size()))) return;
        const auto count = std::min(sent, body.size());
        if (!connection.send(std::vector<std::uint8_t>(body.begin(), body.begin() + static_cast<long>(count)))) return;
        while (connection.pause(0.02)) {
        }
    };
}

}  // namespace orvane::testing
