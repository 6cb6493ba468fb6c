// Why a transfer of a URL session failed. A task that ends with an error
// delivered no complete body. A task stopped by `cancel()`, by a response
// disposition of `cancel` or by `invalidateAndCancel()` ends with the code
// `cancelled` and nothing else.
//
// Value type; safe to copy between threads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::net {

struct URLError {
    // Stable numeric values, so that codes can be logged and compared.
    enum class Code : int {
        unknown = -1,
        cancelled = -999,
        badURL = -1000,
        timedOut = -1001,
        unsupportedURL = -1002,
        cannotFindHost = -1003,
        cannotConnectToHost = -1004,
        networkConnectionLost = -1005,
        httpTooManyRedirects = -1007,
        badServerResponse = -1011,
        secureConnectionFailed = -1200,
        serverCertificateUntrusted = -1202,
        cannotCreateFile = -3000,
        cannotWriteToFile = -3003,
    };

    Code code = Code::unknown;
    // Human-readable detail (for debug output only; not a stable text).
    std::string message;
    // The address of the failed request, when known.
    std::string failingURL;

    bool isCancelled() const { return code == Code::cancelled; }

    // "URLError(-1004: cannotConnectToHost: Failed to connect ...)"
    std::string description() const;

    friend bool operator==(const URLError& a, const URLError& b) { return a.code == b.code; }
};

// The name of a code ("cannotConnectToHost").
std::string_view toString(URLError::Code code);

}  // namespace platform::net
