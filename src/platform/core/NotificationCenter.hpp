// The notification centre: observers register for a name and, optionally, one
// sending object (none matches any sender); `post` calls the matching
// observers synchronously on the posting thread, in registration order.
//
// Objects are compared by identity (their address). Registration, removal and
// posting are thread-safe; an observer removed during a post is not called
// afterwards in that post.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Json.hpp"
#include "platform/core/ObservationToken.hpp"

namespace platform::core {

struct Notification {
    std::string name;
    // The sender, when there is one (kept alive for the duration of the post).
    std::shared_ptr<const void> object;
    Json userInfo;
};

class NotificationCenter : public std::enable_shared_from_this<NotificationCenter> {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();
    static std::shared_ptr<NotificationCenter> create();

    // Registers `handler` for `name` from `object` (nullptr: from any sender),
    // on behalf of `observer` (an identity used by removeObserver; may be null).
    void addObserver(const void* observer, std::string name, const void* object, Handler handler);

    // Same registration, undone when the returned token goes.
    [[nodiscard]] ObservationToken addObserver(std::string name, const void* object, Handler handler);

    // Removes `observer`'s registrations, all of them or only those for `name`
    // (and, with `object`, only those filtered on that sender).
    void removeObserver(const void* observer, std::optional<std::string> name = std::nullopt,
                        const void* object = nullptr);

    void post(std::string name, std::shared_ptr<const void> object = nullptr, Json userInfo = nullptr);

    std::size_t observerCount() const;

private:
    NotificationCenter() = default;

    struct Entry {
        std::uint64_t id;
        const void* observer;
        std::string name;
        const void* object;
        std::shared_ptr<Handler> handler;
    };

    std::uint64_t add(const void* observer, std::string name, const void* object, Handler handler);
    void removeId(std::uint64_t id);

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    std::uint64_t nextId_ = 1;
};

}  // namespace platform::core
