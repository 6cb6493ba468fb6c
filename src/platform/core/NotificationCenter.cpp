#include "platform/core/NotificationCenter.hpp"

#include <algorithm>

#include "platform/core/NoDestructor.hpp"

namespace platform::core {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NoDestructor<std::shared_ptr<NotificationCenter>> center{create()};
    return **center;
}

std::shared_ptr<NotificationCenter> NotificationCenter::create() {
    return std::shared_ptr<NotificationCenter>(new NotificationCenter());
}

std::uint64_t NotificationCenter::add(const void* observer, std::string name, const void* object,
                                      Handler handler) {
    std::lock_guard lock(mutex_);
    const auto id = nextId_++;
    entries_.push_back(Entry{id, observer, std::move(name), object,
                             std::make_shared<Handler>(std::move(handler))});
    return id;
}

void NotificationCenter::addObserver(const void* observer, std::string name, const void* object,
                                     Handler handler) {
    add(observer, std::move(name), object, std::move(handler));
}

ObservationToken NotificationCenter::addObserver(std::string name, const void* object, Handler handler) {
    const auto id = add(nullptr, std::move(name), object, std::move(handler));
    std::weak_ptr<NotificationCenter> weak = weak_from_this();
    return ObservationToken([weak, id] {
        if (auto center = weak.lock()) center->removeId(id);
    });
}

void NotificationCenter::removeId(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [entryId = id](const Entry& e) { return e.id == entryId; });
}

void NotificationCenter::removeObserver(const void* observer, std::optional<std::string> name,
                                        const void* object) {
    if (!observer) return;
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const Entry& e) {
        return e.observer == observer && (!name || e.name == *name) && (!object || e.object == object);
    });
}

void NotificationCenter::post(std::string name, std::shared_ptr<const void> object, Json userInfo) {
    const Notification notification{std::move(name), std::move(object), std::move(userInfo)};
    std::vector<std::pair<std::uint64_t, std::shared_ptr<Handler>>> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& e : entries_) {
            if (e.name == notification.name && (!e.object || e.object == notification.object.get()))
                matching.emplace_back(e.id, e.handler);
        }
    }
    for (const auto& [id, handler] : matching) {
        {
            std::lock_guard lock(mutex_);
            const bool live = std::any_of(entries_.begin(), entries_.end(),
                                          [entryId = id](const Entry& e) { return e.id == entryId; });
            if (!live) continue;
        }
        (*handler)(notification);
    }
}

std::size_t NotificationCenter::observerCount() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace platform::core
