// One transfer of a URL session: a data task (body delivered to a completion
// handler or in blocks to the session's delegate) or a download task (body
// written to a temporary file). Made by URLSession, suspended: `resume()`
// starts it.
//
// Owned through std::shared_ptr. A running task is kept alive by its session
// until its completion has been delivered, and keeps its session alive in
// turn. Every member is safe to call from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/core/Json.hpp"
#include "platform/net/URLError.hpp"
#include "platform/net/URLRequest.hpp"
#include "platform/net/URLResponse.hpp"

namespace platform::net {

class URLSession;
namespace detail {
class CurlEngine;
struct Transfer;
}  // namespace detail

// Handler of a completion data task, called once on the session's delegate
// queue. On success `data` holds the whole body (possibly empty), `response`
// the response and `error` is none, whatever the HTTP status. On failure
// `data` is none, `response` is the response if one arrived, `error` says why.
using DataTaskCompletion = std::function<void(std::optional<core::Data> data,
                                              std::optional<URLResponse> response,
                                              std::optional<URLError> error)>;

class URLSessionTask : public std::enable_shared_from_this<URLSessionTask> {
public:
    enum class State { running, suspended, canceling, completed };

    virtual ~URLSessionTask();
    URLSessionTask(const URLSessionTask&) = delete;
    URLSessionTask& operator=(const URLSessionTask&) = delete;

    // Unique within the process.
    std::uint64_t taskIdentifier() const { return identifier_; }
    const URLRequest& originalRequest() const { return request_; }
    State state() const;
    // The response, once its headers have arrived.
    std::optional<URLResponse> response() const;
    // The error the task ended with (none while running and on success).
    std::optional<URLError> error() const;
    // Body bytes received so far.
    std::int64_t countOfBytesReceived() const { return bytesReceived_.load(); }
    // The announced body length: -1 until the response and when unknown.
    std::int64_t countOfBytesExpectedToReceive() const { return bytesExpected_.load(); }

    // Starts a suspended task; does nothing otherwise.
    void resume();
    // Stops the task: it ends with a `cancelled` error (delivered on the
    // delegate queue) unless it has already ended. Calls after the first, and
    // calls on an ended task, do nothing.
    void cancel();

    // The session that made the task.
    const std::shared_ptr<URLSession>& session() const { return session_; }

    // Tasks are made by URLSession only: the key cannot be made elsewhere.
    class Passkey {
        friend class URLSession;
        Passkey() = default;
    };
    enum class Kind { completionData, delegateData, download };

protected:
    URLSessionTask(Kind kind, std::shared_ptr<URLSession> session, URLRequest request);

private:
    friend class URLSession;
    friend class detail::CurlEngine;
    friend struct detail::Transfer;

    const Kind kind_;
    const std::uint64_t identifier_;
    const std::shared_ptr<URLSession> session_;
    const URLRequest request_;

    mutable std::mutex mutex_;
    State state_ = State::suspended;
    std::optional<URLResponse> response_;
    std::optional<URLError> error_;
    // Set once, by the first cancel(); read on the delegate queue to drop
    // events that were queued before the cancellation.
    std::atomic<bool> cancelRequested_{false};
    std::atomic<std::int64_t> bytesReceived_{0};
    std::atomic<std::int64_t> bytesExpected_{-1};
    // Completion data tasks only; released once called.
    DataTaskCompletion completionHandler_;
};

class URLSessionDataTask final : public URLSessionTask {
public:
    URLSessionDataTask(Passkey, Kind kind, std::shared_ptr<URLSession> session, URLRequest request)
        : URLSessionTask(kind, std::move(session), std::move(request)) {}
};

class URLSessionDownloadTask final : public URLSessionTask {
public:
    URLSessionDownloadTask(Passkey, std::shared_ptr<URLSession> session, URLRequest request)
        : URLSessionTask(Kind::download, std::move(session), std::move(request)) {}
};

}  // namespace platform::net
