#include "orvane/playback/OVDownloadManager.hpp"

#include <algorithm>
#include <string>

#include "platform/core/FileManager.hpp"

namespace orvane {

using platform::net::URLError;
using platform::net::URLSession;

std::shared_ptr<OVDownloadManager> OVDownloadManager::create() { return std::make_shared<OVDownloadManager>(Key{}); }

std::shared_ptr<OVDownloadManager> OVDownloadManager::create(const platform::core::URL& with,
                                                             ProgressionHandler progressionHandler,
                                                             ResponseHandler completionHandler) {
    auto manager = create();
    auto configuration = platform::net::URLSessionConfiguration::defaultConfiguration();
    // No local or intermediate cache may answer.
    configuration.requestCachePolicy = platform::net::URLRequestCachePolicy::reloadIgnoringLocalAndRemoteCacheData;
    manager->session_ = URLSession::create(configuration, manager, URLSession::mainQueue());
    manager->progressionHandler_ = std::move(progressionHandler);
    manager->responseHandler_ = std::move(completionHandler);
    manager->session_->downloadTask(with)->resume();
    return manager;
}

OVDownloadManager::~OVDownloadManager() {
    if (session_) session_->invalidateAndCancel();
}

std::optional<float> OVDownloadManager::fraction(std::int64_t written, std::int64_t expected) {
    if (expected <= 0 || written < 0) return std::nullopt;
    const float value = static_cast<float>(written) / static_cast<float>(expected);
    return std::clamp(value, 0.0f, 1.0f);
}

void OVDownloadManager::didWriteData(const std::shared_ptr<URLSession>&,
                                     const std::shared_ptr<platform::net::URLSessionDownloadTask>& downloadTask,
                                     std::int64_t, std::int64_t totalBytesWritten,
                                     std::int64_t totalBytesExpectedToWrite) {
    if (!progressionHandler_) return;
    // The body of an error answer is no progress of the file.
    if (auto response = downloadTask->response(); response && !response->isSuccessStatus()) return;
    if (auto value = fraction(totalBytesWritten, totalBytesExpectedToWrite)) progressionHandler_(*value);
}

void OVDownloadManager::didFinishDownloadingTo(const std::shared_ptr<URLSession>&,
                                               const std::shared_ptr<platform::net::URLSessionDownloadTask>& downloadTask,
                                               const std::filesystem::path& location) {
    // An error page is not the file: nothing is kept and the end is a failure.
    if (auto response = downloadTask->response(); response && !response->isSuccessStatus()) {
        statusError_ = URLError{URLError::Code::badServerResponse,
                                "HTTP status " + std::to_string(response->statusCode()),
                                downloadTask->originalRequest().url.absoluteString()};
        return;
    }
    // The file exists only during this call: take its bytes now.
    if (auto bytes = platform::core::FileManager::readFile(location)) data_ = std::move(*bytes);
    if (progressionHandler_) progressionHandler_(1.0f);
}

void OVDownloadManager::didCompleteWithError(const std::shared_ptr<URLSession>& session,
                                             const std::shared_ptr<platform::net::URLSessionTask>&,
                                             const std::optional<URLError>& error) {
    if (completed_) return;
    completed_ = true;
    auto handler = std::move(responseHandler_);
    responseHandler_ = nullptr;
    progressionHandler_ = nullptr;
    const auto failure = error ? error : statusError_;
    auto data = failure ? std::nullopt : std::move(data_);
    data_.reset();
    if (handler) handler(std::move(data), failure);
    // Done: let the session go, and with it its hold on this manager.
    session->finishTasksAndInvalidate();
}

}  // namespace orvane
