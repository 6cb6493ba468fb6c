// Scripts for the raw test server that audio tests need beyond the ready-made
// ones: a response held back until the test opens a gate, and a body that
// stops part-way and stays open (a server that has become slow).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/RawServer.hpp"

namespace orvane::testing {

// "HTTP/1.1 <code> ..." head announcing `length` bytes.
std::string mediaResponseHead(int code, std::size_t length, const std::string& contentType = "audio/mpeg");

// Waits until `gate` is true, then sends status 200 and the whole body in
// blocks of `chunk` bytes.
RawServer::Script gatedResponse(std::vector<std::uint8_t> body, std::shared_ptr<std::atomic<bool>> gate,
                                std::size_t chunk = 4096);

// Status 200 announcing the whole body; sends its first `sent` bytes, then
// keeps the connection open without sending more until the server stops.
RawServer::Script stallAfter(std::vector<std::uint8_t> body, std::size_t sent);

}  // namespace orvane::testing
