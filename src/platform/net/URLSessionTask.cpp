#include "platform/net/URLSessionTask.hpp"

#include "platform/net/CurlEngine.hpp"
#include "platform/net/URLSession.hpp"

namespace platform::net {
namespace {
std::atomic<std::uint64_t> nextIdentifier{1};
}

URLSessionTask::URLSessionTask(Kind kind, std::shared_ptr<URLSession> session, URLRequest request)
    : kind_(kind), identifier_(nextIdentifier.fetch_add(1)), session_(std::move(session)), request_(std::move(request)) {}

URLSessionTask::~URLSessionTask() = default;

URLSessionTask::State URLSessionTask::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::optional<URLResponse> URLSessionTask::response() const {
    std::lock_guard lock(mutex_);
    return response_;
}

std::optional<URLError> URLSessionTask::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void URLSessionTask::resume() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::suspended) return;
        state_ = State::running;
    }
    session_->start(shared_from_this());
}

void URLSessionTask::cancel() {
    bool wasSuspended = false;
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::completed || state_ == State::canceling) return;
        wasSuspended = state_ == State::suspended;
        cancelRequested_.store(true);
        if (wasSuspended) {
            state_ = State::completed;
            error_ = URLError{URLError::Code::cancelled, "cancelled", request_.url.absoluteString()};
        } else {
            state_ = State::canceling;
        }
    }
    if (wasSuspended) {
        session_->deliverCompletion(shared_from_this(), std::nullopt, std::nullopt);
    } else {
        detail::CurlEngine::instance().cancel(shared_from_this());
    }
}

}  // namespace platform::net
