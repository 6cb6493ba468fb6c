// The process's audio session: its category, and the interruption
// notification (posted on NotificationCenter::defaultCenter() with the
// session as the object) that tells when another audio user takes the output
// over and gives it back.
//
// User information of an interruption: `interruptionTypeKey` holds an
// unsigned number (`InterruptionType`); for the end of an interruption,
// `interruptionOptionKey` holds the options (`interruptionOptionShouldResume`).
//
// Thread-safe. Tests can make setting the category fail.
#pragma once

#include <expected>
#include <mutex>
#include <optional>

#include "platform/media/MediaError.hpp"

namespace platform::media {

class AudioSession {
public:
    enum class Category { soloAmbient, ambient, playback, record, playAndRecord };
    enum class InterruptionType : unsigned { ended = 0, began = 1 };

    static constexpr const char* interruptionNotification = "AudioSessionInterruptionNotification";
    static constexpr const char* interruptionTypeKey = "AudioSessionInterruptionTypeKey";
    static constexpr const char* interruptionOptionKey = "AudioSessionInterruptionOptionKey";
    static constexpr unsigned interruptionOptionShouldResume = 1;

    static AudioSession& sharedInstance();

    std::expected<void, MediaError> setCategory(Category category);
    Category category() const;
    // How many times the category was set successfully.
    int categoryChangeCount() const;

    // Tests: make every later `setCategory` fail with `error` (none: succeed again).
    void setCategoryFailure(std::optional<MediaError> error);

    // Posts the interruption notification as the system does.
    void postInterruption(InterruptionType type, std::optional<unsigned> options = std::nullopt);

private:
    AudioSession() = default;

    mutable std::mutex mutex_;
    Category category_ = Category::soloAmbient;
    int changes_ = 0;
    std::optional<MediaError> failure_;
};

}  // namespace platform::media
