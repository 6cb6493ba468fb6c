// The protocols through which a URL session reports to its delegate.
//
// Every call is made on the session's delegate queue (a serial queue of the
// session's own unless a queue was given at creation), one at a time, in the
// order the events happened. No lock of the session is held during a call, so
// a delegate may call anything of the session or of its tasks from inside a
// call, `invalidateAndCancel()` included.
//
// The session holds its delegate strongly until the session is invalidated
// (`invalidateAndCancel()` or `finishTasksAndInvalidate()`), and lets it go
// right after `didBecomeInvalidWithError`. A delegate that keeps its session is
// therefore kept alive by it until one of those calls: invalidate the session
// once it is no longer needed, or both leak.
//
// Order of the calls for one task:
//   data task:     didReceiveResponse (the task waits until the completion is
//                  called with `allow`; `cancel` ends it as cancelled),
//                  didReceiveData * n, didCompleteWithError.
//   download task: didWriteData * n, didFinishDownloadingTo (success only),
//                  didCompleteWithError.
// After a task has been cancelled, only its didCompleteWithError (with the
// code `cancelled`) is delivered: a response, data or progress still waiting
// on the queue is dropped.
//
// Each protocol gives a default for every call (the response default allows
// the transfer to go on); implement the ones you need. One class may adopt
// several protocols: the session finds them with dynamic_cast.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "platform/core/Json.hpp"
#include "platform/net/URLError.hpp"
#include "platform/net/URLResponse.hpp"

namespace platform::net {

class URLSession;
class URLSessionTask;
class URLSessionDataTask;
class URLSessionDownloadTask;

// What to do with a data task once its response is known.
enum class ResponseDisposition { cancel, allow };
// May be called from any thread, once; later calls are ignored.
using ResponseCompletion = std::function<void(ResponseDisposition)>;

class URLSessionDelegate {
public:
    virtual ~URLSessionDelegate() = default;
    // The session has been invalidated and every task of it has completed;
    // the last call the delegate receives. `error` is none for an explicit
    // invalidation.
    virtual void didBecomeInvalidWithError(const std::shared_ptr<URLSession>& session,
                                           const std::optional<URLError>& error) {
        (void)session;
        (void)error;
    }
};

class URLSessionTaskDelegate : public virtual URLSessionDelegate {
public:
    // The task has ended: `error` is none on success (whatever the HTTP status).
    virtual void didCompleteWithError(const std::shared_ptr<URLSession>& session,
                                      const std::shared_ptr<URLSessionTask>& task,
                                      const std::optional<URLError>& error) {
        (void)session;
        (void)task;
        (void)error;
    }
};

class URLSessionDataDelegate : public virtual URLSessionTaskDelegate {
public:
    // The response's headers have arrived. No data is delivered until
    // `completion(allow)`; `completion(cancel)` cancels the task. The default
    // allows.
    virtual void didReceiveResponse(const std::shared_ptr<URLSession>& session,
                                    const std::shared_ptr<URLSessionDataTask>& dataTask,
                                    const URLResponse& response, ResponseCompletion completion) {
        (void)session;
        (void)dataTask;
        (void)response;
        completion(ResponseDisposition::allow);
    }
    // The next block of the body, in order.
    virtual void didReceiveData(const std::shared_ptr<URLSession>& session,
                                const std::shared_ptr<URLSessionDataTask>& dataTask, const core::Data& data) {
        (void)session;
        (void)dataTask;
        (void)data;
    }
};

class URLSessionDownloadDelegate : public virtual URLSessionTaskDelegate {
public:
    // Bytes have been written to the download's temporary file.
    // `totalBytesExpectedToWrite` is -1 when the server announced no length.
    virtual void didWriteData(const std::shared_ptr<URLSession>& session,
                              const std::shared_ptr<URLSessionDownloadTask>& downloadTask,
                              std::int64_t bytesWritten, std::int64_t totalBytesWritten,
                              std::int64_t totalBytesExpectedToWrite) {
        (void)session;
        (void)downloadTask;
        (void)bytesWritten;
        (void)totalBytesWritten;
        (void)totalBytesExpectedToWrite;
    }
    // The whole body is in the file at `location`. The file exists only during
    // this call: read or move it before returning; the session removes what is
    // left afterwards.
    virtual void didFinishDownloadingTo(const std::shared_ptr<URLSession>& session,
                                        const std::shared_ptr<URLSessionDownloadTask>& downloadTask,
                                        const std::filesystem::path& location) = 0;
};

}  // namespace platform::net
