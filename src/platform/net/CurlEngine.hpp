// The worker behind every URL session: one thread driving a curl multi handle.
// Sessions and tasks hand it commands (start, cancel, go on after a response)
// from any thread; it wakes with curl_multi_wakeup, runs the transfers and
// posts every event to the owning session's delegate queue. It never calls a
// delegate itself and holds no lock while curl calls back into it.
//
// Internal to platform::net.
#pragma once

#include "platform/core/NoDestructor.hpp"
#include <curl/curl.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "platform/net/URLSessionDelegate.hpp"
#include "platform/net/URLSessionTask.hpp"

namespace platform::net::detail {

// One running transfer; lives on the worker thread only.
struct Transfer {
    std::shared_ptr<URLSessionTask> task;
    CURL* easy = nullptr;
    bool inMulti = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    URLResponse::HeaderFields headers;
    bool responseKnown = false;
    // Delegate data tasks: the response went to the delegate and the body waits
    // for its answer.
    bool awaitingDisposition = false;
    // The transfer ended while the answer was awaited.
    std::optional<CURLcode> endedWith;
    // Completion data tasks: the body so far.
    core::Data body;
    // Download tasks: the temporary file.
    std::FILE* file = nullptr;
    std::filesystem::path filePath;
    bool fileError = false;
    std::int64_t written = 0;
};

class CurlEngine {
public:
    static CurlEngine& instance();

    void start(std::shared_ptr<URLSessionTask> task);
    void cancel(std::shared_ptr<URLSessionTask> task);
    void respond(std::shared_ptr<URLSessionTask> task, ResponseDisposition disposition);

    ~CurlEngine();

private:
    template <class> friend class core::NoDestructor;
    CurlEngine();
    enum class Op { start, cancel, allow };
    struct Command {
        Op op;
        std::shared_ptr<URLSessionTask> task;
    };

    void post(Command command);
    void run();
    void handle(Command& command);
    void begin(const std::shared_ptr<URLSessionTask>& task);
    // Ends the transfer: records the outcome on the task, posts its completion
    // and forgets it.
    void finish(Transfer& transfer, CURLcode result);

    static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* user);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user);
    static void recordResponse(Transfer& transfer);
    // `firstBlock`: the bytes that came with the response, handed to the
    // delegate with its "allow" (none when the body was empty).
    static void askForDisposition(Transfer& transfer, std::shared_ptr<const core::Data> firstBlock = nullptr);

    std::mutex mutex_;
    std::deque<Command> commands_;
    bool stopping_ = false;
    CURLM* multi_ = nullptr;
    std::unordered_map<URLSessionTask*, std::unique_ptr<Transfer>> transfers_;
    std::thread thread_;
};

}  // namespace platform::net::detail
