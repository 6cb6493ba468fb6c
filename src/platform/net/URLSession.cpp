#include "platform/net/URLSession.hpp"

#include <system_error>
#include <vector>

#include "platform/net/CurlEngine.hpp"

namespace platform::net {

namespace {
// Opens the protected constructor to std::make_shared.
struct ConstructibleSession final : URLSession {
    ConstructibleSession(URLSessionConfiguration configuration, std::shared_ptr<URLSessionDelegate> delegate,
                         std::shared_ptr<core::DispatchQueue> delegateQueue, bool isShared)
        : URLSession(configuration, std::move(delegate), std::move(delegateQueue), isShared) {}
};
}  // namespace

std::shared_ptr<URLSession> URLSession::shared() {
    static const std::shared_ptr<URLSession> session = std::make_shared<ConstructibleSession>(
        URLSessionConfiguration::defaultConfiguration(), nullptr, nullptr, true);
    return session;
}

std::shared_ptr<URLSession> URLSession::create(URLSessionConfiguration configuration,
                                               std::shared_ptr<URLSessionDelegate> delegate,
                                               std::shared_ptr<core::DispatchQueue> delegateQueue) {
    return std::make_shared<ConstructibleSession>(configuration, std::move(delegate), std::move(delegateQueue),
                                                  false);
}

std::shared_ptr<core::DispatchQueue> URLSession::mainQueue() {
    // Aliasing constructor: points at the main queue without owning it.
    return std::shared_ptr<core::DispatchQueue>(std::shared_ptr<void>(), &core::DispatchQueue::main());
}

URLSession::URLSession(URLSessionConfiguration configuration, std::shared_ptr<URLSessionDelegate> delegate,
                       std::shared_ptr<core::DispatchQueue> delegateQueue, bool isShared)
    : configuration_(configuration),
      delegateQueue_(delegateQueue ? std::move(delegateQueue)
                                   : core::DispatchQueue::makeSerial(isShared ? "URLSession.shared.delegateQueue"
                                                                               : "URLSession.delegateQueue",
                                                                     core::QualityOfService::defaultQoS)),
      isShared_(isShared),
      delegate_(std::move(delegate)) {}

URLSession::~URLSession() = default;

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const URLRequest& request,
                                                         DataTaskCompletion completionHandler) {
    auto task = std::make_shared<URLSessionDataTask>(URLSessionTask::Passkey{}, URLSessionTask::Kind::completionData,
                                                     shared_from_this(), request);
    task->completionHandler_ = std::move(completionHandler);
    return task;
}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const core::URL& url, DataTaskCompletion completionHandler) {
    return dataTask(URLRequest(url, configuration_.requestCachePolicy), std::move(completionHandler));
}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const URLRequest& request) {
    return std::make_shared<URLSessionDataTask>(URLSessionTask::Passkey{}, URLSessionTask::Kind::delegateData,
                                                shared_from_this(), request);
}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const core::URL& url) {
    return dataTask(URLRequest(url, configuration_.requestCachePolicy));
}

std::shared_ptr<URLSessionDownloadTask> URLSession::downloadTask(const URLRequest& request) {
    return std::make_shared<URLSessionDownloadTask>(URLSessionTask::Passkey{}, shared_from_this(), request);
}

std::shared_ptr<URLSessionDownloadTask> URLSession::downloadTask(const core::URL& url) {
    return downloadTask(URLRequest(url, configuration_.requestCachePolicy));
}

void URLSession::invalidateAndCancel() { invalidate(true); }
void URLSession::finishTasksAndInvalidate() { invalidate(false); }

bool URLSession::isInvalidated() const {
    std::lock_guard lock(mutex_);
    return invalidated_;
}

std::shared_ptr<URLSessionDelegate> URLSession::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_;
}

std::size_t URLSession::outstandingTaskCount() const {
    std::lock_guard lock(mutex_);
    return outstanding_.size();
}

void URLSession::start(const std::shared_ptr<URLSessionTask>& task) {
    const auto& scheme = task->request_.url.scheme();
    if (scheme != "http" && scheme != "https") {
        completeWithoutTransfer(task, URLError{URLError::Code::unsupportedURL, "unsupported address scheme",
                                               task->request_.url.absoluteString()});
        return;
    }
    bool accepted = false;
    {
        std::lock_guard lock(mutex_);
        accepted = !invalidated_;
        if (accepted) outstanding_.insert(task);
    }
    if (!accepted) {
        task->cancelRequested_.store(true);
        completeWithoutTransfer(task, URLError{URLError::Code::cancelled, "session invalidated",
                                               task->request_.url.absoluteString()});
        return;
    }
    detail::CurlEngine::instance().start(task);
}

void URLSession::completeWithoutTransfer(const std::shared_ptr<URLSessionTask>& task, URLError error) {
    {
        std::lock_guard lock(task->mutex_);
        task->state_ = URLSessionTask::State::completed;
        task->error_ = std::move(error);
    }
    deliverCompletion(task, std::nullopt, std::nullopt);
}

void URLSession::invalidate(bool cancelTasks) {
    if (isShared_) return;
    std::vector<std::shared_ptr<URLSessionTask>> running;
    {
        std::lock_guard lock(mutex_);
        if (invalidated_) return;
        invalidated_ = true;
        if (cancelTasks) running.assign(outstanding_.begin(), outstanding_.end());
    }
    for (const auto& task : running) task->cancel();
    auto self = shared_from_this();
    delegateQueue_->async([self] { self->finishInvalidationIfDone(); });
}

void URLSession::postEvent(const std::shared_ptr<URLSessionTask>& task, std::function<void()> event) {
    delegateQueue_->async([task, event = std::move(event)] {
        if (task->cancelRequested_.load()) return;
        event();
    });
}

void URLSession::deliverCompletion(const std::shared_ptr<URLSessionTask>& task, std::optional<core::Data> body,
                                   std::optional<std::filesystem::path> downloadedFile) {
    auto self = shared_from_this();
    delegateQueue_->async([self, task, body = std::move(body), file = std::move(downloadedFile)]() mutable {
        const auto error = task->error();
        switch (task->kind_) {
            case URLSessionTask::Kind::completionData: {
                DataTaskCompletion handler;
                {
                    std::lock_guard lock(task->mutex_);
                    handler = std::move(task->completionHandler_);
                    task->completionHandler_ = nullptr;
                }
                if (handler) {
                    if (error) {
                        handler(std::nullopt, task->response(), error);
                    } else {
                        handler(body ? std::move(*body) : core::Data{}, task->response(), std::nullopt);
                    }
                }
                break;
            }
            case URLSessionTask::Kind::delegateData:
                if (auto delegate = std::dynamic_pointer_cast<URLSessionTaskDelegate>(self->delegate()))
                    delegate->didCompleteWithError(self, task, error);
                break;
            case URLSessionTask::Kind::download:
                if (!error && file) {
                    if (auto delegate = std::dynamic_pointer_cast<URLSessionDownloadDelegate>(self->delegate()))
                        delegate->didFinishDownloadingTo(self, std::static_pointer_cast<URLSessionDownloadTask>(task),
                                                         *file);
                    std::error_code ignored;
                    std::filesystem::remove(*file, ignored);
                }
                if (auto delegate = std::dynamic_pointer_cast<URLSessionTaskDelegate>(self->delegate()))
                    delegate->didCompleteWithError(self, task, error);
                break;
        }
        self->taskDidFinish(task);
    });
}

void URLSession::taskDidFinish(const std::shared_ptr<URLSessionTask>& task) {
    {
        std::lock_guard lock(mutex_);
        outstanding_.erase(task);
    }
    finishInvalidationIfDone();
}

void URLSession::finishInvalidationIfDone() {
    std::shared_ptr<URLSessionDelegate> delegate;
    {
        std::lock_guard lock(mutex_);
        if (!invalidated_ || invalidationDelivered_ || !outstanding_.empty()) return;
        invalidationDelivered_ = true;
        delegate = delegate_;
    }
    if (delegate) delegate->didBecomeInvalidWithError(shared_from_this(), std::nullopt);
    {
        std::lock_guard lock(mutex_);
        delegate_.reset();
    }
    // `delegate` is released here, outside the lock; it may take the session
    // with it, which the caller's reference keeps alive until it returns.
}

}  // namespace platform::net
