// One observable value: the platform's key-value observation of a property
// with new and old values and no initial call. Every `set` notifies, even when
// the value does not change, as the platform does. Main-thread only.
//
// An observer added or removed during a notification takes effect from the
// next `set`.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/core/ObservationToken.hpp"

namespace platform::core {

template <class T>
class Observable {
public:
    using Handler = std::function<void(const T& newValue, const T& oldValue)>;

    Observable() : value_(), observers_(std::make_shared<List>()) {}
    explicit Observable(T initial) : value_(std::move(initial)), observers_(std::make_shared<List>()) {}

    const T& get() const { return value_; }

    void set(T value) {
        T old = std::exchange(value_, std::move(value));
        // Copy the list so that handlers may add or remove observers.
        const auto snapshot = observers_->entries;
        for (const auto& entry : snapshot) {
            if (observers_->isLive(entry.id)) entry.handler(value_, old);
        }
    }

    [[nodiscard]] ObservationToken observe(Handler handler) {
        const auto id = observers_->nextId++;
        observers_->entries.push_back(Entry{id, std::move(handler)});
        std::weak_ptr<List> weak = observers_;
        return ObservationToken([weak, id] {
            if (auto list = weak.lock()) list->remove(id);
        });
    }

    std::size_t observerCount() const { return observers_->entries.size(); }

private:
    struct Entry {
        std::uint64_t id;
        Handler handler;
    };
    struct List {
        std::vector<Entry> entries;
        std::uint64_t nextId = 1;
        bool isLive(std::uint64_t id) const {
            for (const auto& e : entries)
                if (e.id == id) return true;
            return false;
        }
        void remove(std::uint64_t id) {
            std::erase_if(entries, [id](const Entry& e) { return e.id == id; });
        }
    };

    T value_;
    std::shared_ptr<List> observers_;
};

}  // namespace platform::core
