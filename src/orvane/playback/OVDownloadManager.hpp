// Fetches one remote file (an episode's audio) into memory for the listener's
// offline copy. Reports the fraction received and, at the end, the whole
// file's bytes or the error, through the two closures given at creation. The
// manager writes nothing to disk: its one user, the audio download, saves the
// bytes into the disk cache.
//
// Threads: made on the main thread; every report, and so every call of the two
// closures, comes on the main queue.
//
// Ownership: the manager's session holds the manager (its delegate) until the
// session is invalidated, so a manager that nobody keeps lives until its
// completion has run; it then invalidates its session and goes away. A
// manager destroyed earlier cancels its download.
//
// What the caller sees, in order: zero or more fractions in [0, 1] (none
// while the size is unknown), 1.0 once the whole file has been received, then
// exactly one completion: the bytes and no error on success; no bytes and the
// error on failure. A response whose status is not 2xx is a failure
// (URLError::Code::badServerResponse): its body is neither counted as
// progress nor handed on.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/core/Json.hpp"
#include "platform/core/URL.hpp"
#include "platform/net/URLSession.hpp"

namespace orvane {

// Declared for callers that want a protocol for download reports; nothing
// adopts or calls it.
class OVDownloadManagerDelegate {
public:
    virtual ~OVDownloadManagerDelegate() = default;
    virtual void downloadDidStart() = 0;
    virtual void downloadDidProgress(float fraction) = 0;
    virtual void downloadDidFinish(const std::optional<platform::core::Data>& data) = 0;
};

class OVDownloadManager final : public platform::net::URLSessionDownloadDelegate,
                                public std::enable_shared_from_this<OVDownloadManager> {
public:
    using ProgressionHandler = std::function<void(float)>;
    using ResponseHandler =
        std::function<void(std::optional<platform::core::Data>, std::optional<platform::net::URLError>)>;

    // Starts downloading `with` at once. Either closure may be empty.
    static std::shared_ptr<OVDownloadManager> create(const platform::core::URL& with,
                                                     ProgressionHandler progressionHandler,
                                                     ResponseHandler completionHandler);
    // A manager with nothing started.
    static std::shared_ptr<OVDownloadManager> create();

    ~OVDownloadManager() override;

    const std::shared_ptr<platform::net::URLSession>& session() const { return session_; }

    // Session reports (main queue).
    void didWriteData(const std::shared_ptr<platform::net::URLSession>& session,
                      const std::shared_ptr<platform::net::URLSessionDownloadTask>& downloadTask,
                      std::int64_t bytesWritten, std::int64_t totalBytesWritten,
                      std::int64_t totalBytesExpectedToWrite) override;
    void didFinishDownloadingTo(const std::shared_ptr<platform::net::URLSession>& session,
                                const std::shared_ptr<platform::net::URLSessionDownloadTask>& downloadTask,
                                const std::filesystem::path& location) override;
    void didCompleteWithError(const std::shared_ptr<platform::net::URLSession>& session,
                              const std::shared_ptr<platform::net::URLSessionTask>& task,
                              const std::optional<platform::net::URLError>& error) override;

    // The fraction reported for `written` of `expected` bytes: none when the
    // size is unknown or zero, else written / expected within [0, 1].
    static std::optional<float> fraction(std::int64_t written, std::int64_t expected);

private:
    struct Key {};

public:
    explicit OVDownloadManager(Key) {}

private:
    std::shared_ptr<platform::net::URLSession> session_;
    std::optional<platform::core::Data> data_;
    ResponseHandler responseHandler_;
    ProgressionHandler progressionHandler_;
    // Set when the server answered with a status that is not a success.
    std::optional<platform::net::URLError> statusError_;
    bool completed_ = false;
};

}  // namespace orvane
