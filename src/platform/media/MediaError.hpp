// An error of the media framework stand-in: a domain, a code and a text fit
// for the console. Value type.
#pragma once

#include <string>

namespace platform::media {

struct MediaError {
    std::string domain;
    long code = 0;
    std::string localizedDescription;

    friend bool operator==(const MediaError&, const MediaError&) = default;
};

inline constexpr const char* kMediaErrorDomain = "platform.media";

enum MediaErrorCode : long {
    kMediaErrorFileFormatNotRecognized = -11828,
    kMediaErrorResourceUnavailable = -11850,
    kMediaErrorNoLoader = -11835,
    kMediaErrorDecodingFailed = -11821,
};

}  // namespace platform::media
