// Target-action pairs as gesture recognisers and controls keep them: the
// target held weakly (a gone target is skipped and later dropped), the action
// a member function of the target's class taking the sender (or nothing).
// Adding the same target and action twice keeps one entry. Internal helper of
// the kit; main thread only.
#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

namespace platform::ui {

template <class Sender, class Tag = int>
class TargetActionList {
public:
    // `action` is called with the sender cast to `Arg` (skipped when the
    // sender is not one).
    template <class T, class Arg>
    bool add(const std::shared_ptr<T>& target, void (T::*action)(Arg&), Tag tag = {}) {
        return addEntry(target, action, tag, [action](T& t, Sender& sender) {
            if (auto* arg = dynamic_cast<Arg*>(&sender)) (t.*action)(*arg);
        });
    }
    template <class T>
    bool add(const std::shared_ptr<T>& target, void (T::*action)(), Tag tag = {}) {
        return addEntry(target, action, tag, [action](T& t, Sender&) { (t.*action)(); });
    }
    // Removes the pair (any action of `target` when `action` is null).
    template <class T, class Action>
    void remove(const T* target, Action action) {
        const Key key = makeKey(target, action);
        std::erase_if(entries_, [&](const Entry& e) {
            return e.key.target == key.target && (action == nullptr || e.key.action == key.action);
        });
    }
    void removeAll() { entries_.clear(); }

    // Calls every live pair whose tag `matches`, in the order added.
    void send(Sender& sender, const std::function<bool(const Tag&)>& matches = nullptr) {
        const auto entries = entries_;  // actions may add or remove pairs
        for (const auto& entry : entries) {
            if (matches && !matches(entry.tag)) continue;
            if (auto target = entry.target.lock()) entry.invoke(target.get(), sender);
        }
        std::erase_if(entries_, [](const Entry& e) { return e.target.expired(); });
    }
    // The tag of the pair, or none.
    template <class T, class Action>
    Tag* tagOf(const T* target, Action action) {
        const Key key = makeKey(target, action);
        for (auto& e : entries_)
            if (e.key == key) return &e.tag;
        return nullptr;
    }
    std::size_t liveCount() const {
        return static_cast<std::size_t>(
            std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.target.expired(); }));
    }
    bool empty() const { return liveCount() == 0; }

private:
    struct Key {
        const void* target = nullptr;
        std::array<unsigned char, 2 * sizeof(void*)> action{};
        const std::type_info* type = nullptr;
        bool operator==(const Key& other) const {
            return target == other.target && action == other.action && *type == *other.type;
        }
    };
    struct Entry {
        std::weak_ptr<void> target;
        Key key;
        Tag tag;
        std::function<void(void*, Sender&)> invoke;
    };

    template <class T, class Action>
    static Key makeKey(const T* target, Action action) {
        static_assert(sizeof(Action) <= 2 * sizeof(void*));
        Key key;
        key.target = static_cast<const void*>(target);
        std::memcpy(key.action.data(), &action, sizeof(Action));
        key.type = &typeid(Action);
        return key;
    }

    template <class T, class Action, class Call>
    bool addEntry(const std::shared_ptr<T>& target, Action action, const Tag& tag, Call call) {
        if (!target || action == nullptr) return false;
        std::erase_if(entries_, [](const Entry& e) { return e.target.expired(); });
        const Key key = makeKey(target.get(), action);
        for (const auto& e : entries_)
            if (e.key == key) return false;
        entries_.push_back(Entry{target, key, tag,
                                 [call](void* t, Sender& sender) { call(*static_cast<T*>(t), sender); }});
        return true;
    }

    std::vector<Entry> entries_;
};

}  // namespace platform::ui
