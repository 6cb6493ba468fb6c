// URL sessions on libcurl: completion data tasks, delegate data tasks and
// download tasks over http and https.
//
// Threads. Every transfer of every session runs on one worker thread that
// drives a curl multi handle; nothing runs on the main loop. Each session has
// a delegate queue (its own serial queue, or the queue given at creation) on
// which all of its delegate calls and completion handlers run, one at a time.
// Callers that need the main queue hop there themselves. Every member is safe
// to call from any thread, including from inside the session's own delegate
// calls and completion handlers.
//
// Ownership. Sessions are owned through std::shared_ptr. A session holds its
// delegate strongly until it is invalidated; after invalidation and the end of
// its tasks it tells the delegate (didBecomeInvalidWithError) and releases it.
// The shared session has no delegate and cannot be invalidated.
//
// Behaviour relied upon:
// - A task ends exactly once: with a body (any HTTP status counts as success)
//   or with a URLError. Cancellation ends it with URLError::Code::cancelled.
// - Redirects are followed. Requests are plain GETs with no headers of the
//   caller's. Only http and https are supported (others end with
//   unsupportedURL).
// - Tasks made after invalidation end with `cancelled` when resumed.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_set>

#include "platform/core/DispatchQueue.hpp"
#include "platform/net/URLRequest.hpp"
#include "platform/net/URLSessionDelegate.hpp"
#include "platform/net/URLSessionTask.hpp"

namespace platform::net {

struct URLSessionConfiguration {
    // Applied to every request that does not set its own (see URLRequest).
    URLRequestCachePolicy requestCachePolicy = URLRequestCachePolicy::useProtocolCachePolicy;
    // Longest wait for a connection, and longest time without any byte
    // received, before a task ends with timedOut (seconds).
    double timeoutIntervalForRequest = 60.0;
    // Longest time a whole transfer may take (seconds).
    double timeoutIntervalForResource = 7 * 24 * 3600.0;

    static URLSessionConfiguration defaultConfiguration() { return {}; }
};

class URLSession : public std::enable_shared_from_this<URLSession> {
public:
    // The process's shared session: default configuration, no delegate, a
    // serial delegate queue of its own. Made on first use and kept.
    static std::shared_ptr<URLSession> shared();

    // A new session. With no `delegateQueue`, the session makes a serial queue
    // of its own. `delegate` may be null (completion tasks only).
    static std::shared_ptr<URLSession> create(URLSessionConfiguration configuration,
                                              std::shared_ptr<URLSessionDelegate> delegate = nullptr,
                                              std::shared_ptr<core::DispatchQueue> delegateQueue = nullptr);
    // The main queue as a delegate queue (not owned).
    static std::shared_ptr<core::DispatchQueue> mainQueue();

    virtual ~URLSession();
    URLSession(const URLSession&) = delete;
    URLSession& operator=(const URLSession&) = delete;

    // A data task whose result goes to `completionHandler` only: the delegate,
    // if any, hears nothing of it.
    std::shared_ptr<URLSessionDataTask> dataTask(const URLRequest& request, DataTaskCompletion completionHandler);
    std::shared_ptr<URLSessionDataTask> dataTask(const core::URL& url, DataTaskCompletion completionHandler);
    // A data task that reports to the session's URLSessionDataDelegate.
    std::shared_ptr<URLSessionDataTask> dataTask(const URLRequest& request);
    std::shared_ptr<URLSessionDataTask> dataTask(const core::URL& url);
    // A download task that reports to the session's URLSessionDownloadDelegate.
    std::shared_ptr<URLSessionDownloadTask> downloadTask(const URLRequest& request);
    std::shared_ptr<URLSessionDownloadTask> downloadTask(const core::URL& url);

    // Cancels every running task; once their completions have been delivered
    // the delegate hears didBecomeInvalidWithError and is released. No new
    // task of the session will run. Idempotent; no effect on the shared
    // session.
    void invalidateAndCancel();
    // As above, but lets running tasks finish first.
    void finishTasksAndInvalidate();

    bool isInvalidated() const;
    const URLSessionConfiguration& configuration() const { return configuration_; }
    // The delegate, or null once released (or when there was none).
    std::shared_ptr<URLSessionDelegate> delegate() const;
    core::DispatchQueue& delegateQueue() const { return *delegateQueue_; }

    // Number of tasks resumed and not yet completed (delivered).
    std::size_t outstandingTaskCount() const;

protected:
    URLSession(URLSessionConfiguration configuration, std::shared_ptr<URLSessionDelegate> delegate,
               std::shared_ptr<core::DispatchQueue> delegateQueue, bool isShared);

private:
    friend class URLSessionTask;
    friend class detail::CurlEngine;
    friend struct detail::Transfer;

    void start(const std::shared_ptr<URLSessionTask>& task);
    void invalidate(bool cancelTasks);
    // Posts the task's completion (its final state is already recorded).
    void deliverCompletion(const std::shared_ptr<URLSessionTask>& task, std::optional<core::Data> body,
                           std::optional<std::filesystem::path> downloadedFile);
    // Ends a task that never reached the worker.
    void completeWithoutTransfer(const std::shared_ptr<URLSessionTask>& task, URLError error);
    // On the delegate queue, after a task's completion has been delivered.
    void taskDidFinish(const std::shared_ptr<URLSessionTask>& task);
    void finishInvalidationIfDone();
    // Runs `event` on the delegate queue unless the task has been cancelled by
    // then.
    void postEvent(const std::shared_ptr<URLSessionTask>& task, std::function<void()> event);

    const URLSessionConfiguration configuration_;
    const std::shared_ptr<core::DispatchQueue> delegateQueue_;
    const bool isShared_;

    mutable std::mutex mutex_;
    std::shared_ptr<URLSessionDelegate> delegate_;
    bool invalidated_ = false;
    bool invalidationDelivered_ = false;
    std::unordered_set<std::shared_ptr<URLSessionTask>> outstanding_;
};

}  // namespace platform::net
