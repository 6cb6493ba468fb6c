#include "platform/media/AudioSession.hpp"

#include <memory>

#include "platform/core/Json.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/core/NotificationCenter.hpp"

namespace platform::media {

AudioSession& AudioSession::sharedInstance() {
    static core::NoDestructor<AudioSession> session{std::in_place, [] { return AudioSession(); }};
    return *session;
}

std::expected<void, MediaError> AudioSession::setCategory(Category category) {
    std::lock_guard lock(mutex_);
    if (failure_) return std::unexpected(*failure_);
    category_ = category;
    ++changes_;
    return {};
}

AudioSession::Category AudioSession::category() const {
    std::lock_guard lock(mutex_);
    return category_;
}

int AudioSession::categoryChangeCount() const {
    std::lock_guard lock(mutex_);
    return changes_;
}

void AudioSession::setCategoryFailure(std::optional<MediaError> error) {
    std::lock_guard lock(mutex_);
    failure_ = std::move(error);
}

void AudioSession::postInterruption(InterruptionType type, std::optional<unsigned> options) {
    core::Json info = core::Json::object();
    info[interruptionTypeKey] = static_cast<unsigned>(type);
    if (options) info[interruptionOptionKey] = *options;
    // The session is not owned through a shared pointer: the object is an
    // alias that owns nothing.
    std::shared_ptr<const void> object(std::shared_ptr<const void>(), this);
    core::NotificationCenter::defaultCenter().post(interruptionNotification, object, std::move(info));
}

}  // namespace platform::media
