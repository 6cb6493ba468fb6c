#include "platform/net/URLError.hpp"

namespace platform::net {

std::string_view toString(URLError::Code code) {
    switch (code) {
        case URLError::Code::unknown: return "unknown";
        case URLError::Code::cancelled: return "cancelled";
        case URLError::Code::badURL: return "badURL";
        case URLError::Code::timedOut: return "timedOut";
        case URLError::Code::unsupportedURL: return "unsupportedURL";
        case URLError::Code::cannotFindHost: return "cannotFindHost";
        case URLError::Code::cannotConnectToHost: return "cannotConnectToHost";
        case URLError::Code::networkConnectionLost: return "networkConnectionLost";
        case URLError::Code::httpTooManyRedirects: return "httpTooManyRedirects";
        case URLError::Code::badServerResponse: return "badServerResponse";
        case URLError::Code::secureConnectionFailed: return "secureConnectionFailed";
        case URLError::Code::serverCertificateUntrusted: return "serverCertificateUntrusted";
        case URLError::Code::cannotCreateFile: return "cannotCreateFile";
        case URLError::Code::cannotWriteToFile: return "cannotWriteToFile";
    }
    return "unknown";
}

std::string URLError::description() const {
    std::string text = "URLError(";
    text += std::to_string(static_cast<int>(code));
    text += ": ";
    text += toString(code);
    if (!message.empty()) {
        text += ": ";
        text += message;
    }
    text += ')';
    return text;
}

}  // namespace platform::net
