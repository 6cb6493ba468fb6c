#include "platform/net/CurlEngine.hpp"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/core/NoDestructor.hpp"
#include "platform/net/URLSession.hpp"

namespace platform::net::detail {
namespace {

constexpr long kBufferSize = 64 * 1024;
constexpr std::int64_t kMaxReserve = 64 * 1024 * 1024;

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

URLError::Code codeFor(CURLcode result) {
    switch (result) {
        case CURLE_COULDNT_CONNECT: return URLError::Code::cannotConnectToHost;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return URLError::Code::cannotFindHost;
        case CURLE_OPERATION_TIMEDOUT: return URLError::Code::timedOut;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM: return URLError::Code::networkConnectionLost;
        case CURLE_URL_MALFORMAT: return URLError::Code::badURL;
        case CURLE_UNSUPPORTED_PROTOCOL: return URLError::Code::unsupportedURL;
        case CURLE_TOO_MANY_REDIRECTS: return URLError::Code::httpTooManyRedirects;
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_BAD_CONTENT_ENCODING: return URLError::Code::badServerResponse;
        case CURLE_SSL_CONNECT_ERROR: return URLError::Code::secureConnectionFailed;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR: return URLError::Code::serverCertificateUntrusted;
        case CURLE_WRITE_ERROR: return URLError::Code::cannotWriteToFile;
        default: return URLError::Code::unknown;
    }
}

// Loopback addresses never go through a proxy from the environment.
std::string noProxyList() {
    std::string list = "localhost,127.0.0.1,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        if (const char* value = std::getenv(name); value && *value) {
            list += ',';
            list += value;
            break;
        }
    }
    return list;
}

long millis(double seconds) {
    if (!(seconds > 0)) return 0;
    return static_cast<long>(std::min(seconds * 1000.0, 2147483647.0));
}

}  // namespace

CurlEngine& CurlEngine::instance() {
    // Never destroyed: transfers still running when the process exits stay
    // owned by the worker (not cut loose from their sessions half-way), and
    // the worker never meets a destroyed engine.
    static core::NoDestructor<CurlEngine> engine;
    return *engine;
}

CurlEngine::CurlEngine() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    multi_ = curl_multi_init();
    thread_ = std::thread([this] { run(); });
}

CurlEngine::~CurlEngine() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    curl_multi_wakeup(multi_);
    thread_.join();
    for (auto& [key, transfer] : transfers_) {
        if (transfer->inMulti) curl_multi_remove_handle(multi_, transfer->easy);
        if (transfer->easy) curl_easy_cleanup(transfer->easy);
        if (transfer->file) {
            std::fclose(transfer->file);
            std::error_code ignored;
            std::filesystem::remove(transfer->filePath, ignored);
        }
    }
    transfers_.clear();
    curl_multi_cleanup(multi_);
}

void CurlEngine::start(std::shared_ptr<URLSessionTask> task) { post({Op::start, std::move(task)}); }
void CurlEngine::cancel(std::shared_ptr<URLSessionTask> task) { post({Op::cancel, std::move(task)}); }
void CurlEngine::respond(std::shared_ptr<URLSessionTask> task, ResponseDisposition disposition) {
    if (disposition == ResponseDisposition::cancel) {
        task->cancel();
    } else {
        post({Op::allow, std::move(task)});
    }
}

void CurlEngine::post(Command command) {
    {
        std::lock_guard lock(mutex_);
        commands_.push_back(std::move(command));
    }
    curl_multi_wakeup(multi_);
}

void CurlEngine::run() {
    for (;;) {
        std::deque<Command> commands;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            commands.swap(commands_);
        }
        for (auto& command : commands) handle(command);

        int running = 0;
        curl_multi_perform(multi_, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            Transfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            if (transfer) finish(*transfer, message->data.result);
        }
        curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
    }
}

void CurlEngine::handle(Command& command) {
    auto it = transfers_.find(command.task.get());
    switch (command.op) {
        case Op::start:
            if (it == transfers_.end()) begin(command.task);
            break;
        case Op::cancel:
            // A task that has not reached the worker yet is stopped in begin().
            if (it != transfers_.end()) finish(*it->second, CURLE_ABORTED_BY_CALLBACK);
            break;
        case Op::allow: {
            if (it == transfers_.end()) break;
            Transfer& transfer = *it->second;
            if (!transfer.awaitingDisposition) break;
            transfer.awaitingDisposition = false;
            if (transfer.endedWith) {
                finish(transfer, *transfer.endedWith);
            } else {
                // Delivers the block held back when the response was reported.
                curl_easy_pause(transfer.easy, CURLPAUSE_CONT);
            }
            break;
        }
    }
}

void CurlEngine::begin(const std::shared_ptr<URLSessionTask>& task) {
    auto owned = std::make_unique<Transfer>();
    Transfer& transfer = *owned;
    transfer.task = task;
    transfers_.emplace(task.get(), std::move(owned));

    if (task->cancelRequested_.load()) {
        finish(transfer, CURLE_ABORTED_BY_CALLBACK);
        return;
    }
    if (task->kind_ == URLSessionTask::Kind::download) {
        std::error_code ec;
        auto pattern = (std::filesystem::temp_directory_path(ec) / "orvane-download-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ec ? -1 : ::mkstemp(name.data());
        if (fd >= 0) transfer.file = ::fdopen(fd, "wb");
        if (!transfer.file) {
            if (fd >= 0) {
                ::close(fd);
                std::filesystem::remove(name.data(), ec);
            }
            transfer.fileError = true;
            finish(transfer, CURLE_WRITE_ERROR);
            return;
        }
        transfer.filePath = name.data();
    }

    transfer.easy = curl_easy_init();
    if (!transfer.easy) {
        finish(transfer, CURLE_OUT_OF_MEMORY);
        return;
    }
    const auto& configuration = task->session_->configuration();
    static core::NoDestructor<const std::string> noProxy(noProxyList());
    CURL* easy = transfer.easy;
    curl_easy_setopt(easy, CURLOPT_URL, task->request_.url.absoluteString().c_str());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errorBuffer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlEngine::onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlEngine::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 16L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOPROXY, noProxy->c_str());
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kBufferSize);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Orvane URLSession (libcurl)");
    if (const long ms = millis(configuration.timeoutIntervalForRequest); ms > 0) {
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, ms);
        // No byte at all for the whole interval ends the transfer.
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, ms / 1000));
    }
    if (const long ms = millis(configuration.timeoutIntervalForResource); ms > 0) {
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, ms);
    }
    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) {
        finish(transfer, CURLE_FAILED_INIT);
        return;
    }
    transfer.inMulti = true;
}

void CurlEngine::recordResponse(Transfer& transfer) {
    transfer.responseKnown = true;
    long status = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
    char* contentType = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_TYPE, &contentType);
    curl_off_t length = -1;
    curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    char* effective = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &effective);

    std::optional<std::string> mimeType;
    std::optional<std::string> charset;
    if (contentType) {
        std::string_view rest(contentType);
        bool first = true;
        for (;;) {
            const auto semicolon = rest.find(';');
            const auto part = trim(rest.substr(0, semicolon));
            if (first) {
                if (!part.empty()) mimeType = lowercase(part);
                first = false;
            } else if (const auto eq = part.find('=');
                       eq != std::string::npos && lowercase(trim(part.substr(0, eq))) == "charset") {
                auto value = trim(part.substr(eq + 1));
                if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                    value = value.substr(1, value.size() - 2);
                charset = value;
            }
            if (semicolon == std::string_view::npos) break;
            rest = rest.substr(semicolon + 1);
        }
    }
    const auto& task = transfer.task;
    auto url = task->request_.url;
    if (effective) {
        if (auto parsed = core::URL::parse(effective)) url = *parsed;
    }
    const std::int64_t expected = length >= 0 ? static_cast<std::int64_t>(length) : -1;
    URLResponse response(std::move(url), static_cast<int>(status), std::move(mimeType), expected,
                         std::move(charset), transfer.headers);
    task->bytesExpected_.store(expected);
    std::lock_guard lock(task->mutex_);
    task->response_ = std::move(response);
}

void CurlEngine::askForDisposition(Transfer& transfer, std::shared_ptr<const core::Data> firstBlock) {
    transfer.awaitingDisposition = true;
    auto task = transfer.task;
    auto session = task->session_;
    auto response = *task->response();
    session->postEvent(task, [session, task, response, firstBlock = std::move(firstBlock)] {
        auto delegate = std::dynamic_pointer_cast<URLSessionDataDelegate>(session->delegate());
        auto answered = std::make_shared<std::atomic<bool>>(false);
        ResponseCompletion completion = [session, task, answered, firstBlock](ResponseDisposition disposition) {
            if (answered->exchange(true)) return;
            if (disposition == ResponseDisposition::allow && firstBlock) {
                // The first bytes go to the delegate from its own queue, and
                // only then is the worker woken for the rest: waking it first
                // lets it take this thread's processor while the first bytes
                // still wait.
                session->postEvent(task, [session, task, firstBlock] {
                    task->bytesReceived_.fetch_add(static_cast<std::int64_t>(firstBlock->size()));
                    if (auto dataDelegate = std::dynamic_pointer_cast<URLSessionDataDelegate>(session->delegate()))
                        dataDelegate->didReceiveData(session, std::static_pointer_cast<URLSessionDataTask>(task),
                                                     *firstBlock);
                    CurlEngine::instance().respond(task, ResponseDisposition::allow);
                });
                return;
            }
            CurlEngine::instance().respond(task, disposition);
        };
        if (delegate) {
            delegate->didReceiveResponse(session, std::static_pointer_cast<URLSessionDataTask>(task), response,
                                         std::move(completion));
        } else {
            completion(ResponseDisposition::allow);
        }
    });
}

std::size_t CurlEngine::onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    std::string_view line(data, length);
    if (line.starts_with("HTTP/")) {
        // A new response (after a redirect or an interim answer) starts afresh.
        transfer.headers.clear();
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        auto name = trim(line.substr(0, colon));
        if (!name.empty()) transfer.headers[name] = trim(line.substr(colon + 1));
    }
    return length;
}

std::size_t CurlEngine::onWrite(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    const auto& task = transfer.task;
    if (!transfer.responseKnown) {
        recordResponse(transfer);
        if (task->kind_ == URLSessionTask::Kind::completionData) {
            // One allocation for an announced body (bounded: the length is the
            // server's word).
            const auto expected = task->bytesExpected_.load();
            if (expected > 0) transfer.body.reserve(static_cast<std::size_t>(std::min<std::int64_t>(expected, kMaxReserve)));
        }
        if (task->kind_ == URLSessionTask::Kind::delegateData) {
            // The block is taken (it goes to the delegate with the answer) and
            // the transfer waits, paused, for that answer.
            const auto* first = reinterpret_cast<const std::uint8_t*>(data);
            askForDisposition(transfer, std::make_shared<const core::Data>(first, first + length));
            curl_easy_pause(transfer.easy, CURLPAUSE_RECV);
            return length;
        }
    }
    if (transfer.awaitingDisposition) return CURL_WRITEFUNC_PAUSE;

    const auto received = task->bytesReceived_.fetch_add(static_cast<std::int64_t>(length)) +
                          static_cast<std::int64_t>(length);
    auto session = task->session_;
    // Byte pointers, so that the copies below are plain memory copies.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    switch (task->kind_) {
        case URLSessionTask::Kind::completionData:
            transfer.body.insert(transfer.body.end(), bytes, bytes + length);
            break;
        case URLSessionTask::Kind::delegateData: {
            core::Data block(bytes, bytes + length);
            session->postEvent(task, [session, task, block = std::move(block)] {
                if (auto delegate = std::dynamic_pointer_cast<URLSessionDataDelegate>(session->delegate()))
                    delegate->didReceiveData(session, std::static_pointer_cast<URLSessionDataTask>(task), block);
            });
            break;
        }
        case URLSessionTask::Kind::download: {
            if (std::fwrite(data, 1, length, transfer.file) != length) {
                transfer.fileError = true;
                return 0;  // ends the transfer with CURLE_WRITE_ERROR
            }
            transfer.written = received;
            const auto expected = task->bytesExpected_.load();
            const auto written = static_cast<std::int64_t>(length);
            session->postEvent(task, [session, task, written, received, expected] {
                if (auto delegate = std::dynamic_pointer_cast<URLSessionDownloadDelegate>(session->delegate()))
                    delegate->didWriteData(session, std::static_pointer_cast<URLSessionDownloadTask>(task), written,
                                           received, expected);
            });
            break;
        }
    }
    return length;
}

void CurlEngine::finish(Transfer& transfer, CURLcode result) {
    auto task = transfer.task;
    if (transfer.inMulti) {
        curl_multi_remove_handle(multi_, transfer.easy);
        transfer.inMulti = false;
    }
    // A delegate data task whose body was empty: the response still goes to the
    // delegate first, and the end waits for its answer.
    if (result == CURLE_OK && !task->cancelRequested_.load() && transfer.easy &&
        task->kind_ == URLSessionTask::Kind::delegateData && !transfer.endedWith) {
        if (!transfer.responseKnown) {
            recordResponse(transfer);
            transfer.endedWith = result;
            askForDisposition(transfer);
            return;
        }
        if (transfer.awaitingDisposition) {
            transfer.endedWith = result;
            return;
        }
    }
    if (transfer.easy) {
        if (!transfer.responseKnown && result != CURLE_ABORTED_BY_CALLBACK) {
            long status = 0;
            curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
            if (status > 0) recordResponse(transfer);
        }
        curl_easy_cleanup(transfer.easy);
        transfer.easy = nullptr;
    }
    bool fileOK = true;
    if (transfer.file) {
        fileOK = std::fclose(transfer.file) == 0;
        transfer.file = nullptr;
    }

    std::optional<URLError> error;
    if (task->cancelRequested_.load()) {
        error = URLError{URLError::Code::cancelled, "cancelled", task->request_.url.absoluteString()};
    } else if (result != CURLE_OK || !fileOK) {
        URLError failure;
        failure.code = transfer.fileError || !fileOK ? URLError::Code::cannotWriteToFile : codeFor(result);
        failure.message = transfer.errorBuffer[0] ? std::string(transfer.errorBuffer) : curl_easy_strerror(result);
        failure.failingURL = task->request_.url.absoluteString();
        error = std::move(failure);
    }

    std::optional<core::Data> body;
    std::optional<std::filesystem::path> file;
    if (!error) {
        if (task->kind_ == URLSessionTask::Kind::completionData) body = std::move(transfer.body);
        if (task->kind_ == URLSessionTask::Kind::download) file = transfer.filePath;
    } else if (!transfer.filePath.empty()) {
        std::error_code ignored;
        std::filesystem::remove(transfer.filePath, ignored);
    }
    {
        std::lock_guard lock(task->mutex_);
        task->state_ = URLSessionTask::State::completed;
        task->error_ = error;
    }
    auto session = task->session_;
    transfers_.erase(task.get());  // `transfer` is gone from here on
    session->deliverCompletion(task, std::move(body), std::move(file));
}

}  // namespace platform::net::detail
