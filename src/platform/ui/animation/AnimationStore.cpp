#include "platform/ui/animation/AnimationStore.hpp"

#include <algorithm>
#include <cmath>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/AnimationCompletionGroup.hpp"
#include "platform/ui/animation/FrameClock.hpp"
#include "platform/ui/animation/Interpolation.hpp"
#include "platform/ui/animation/Transaction.hpp"

namespace platform::ui {

using platform::core::RunLoop;

namespace {
// Ends are delivered this much early, so that a clock moved in many small
// steps (each rounding at the clock's magnitude) still reaches them.
constexpr double endTolerance = 1e-4;
}  // namespace

struct AnimationStore::Entry {
    AnimationStore* owner = nullptr;  // valid while the entry is in its store
    std::string key;
    std::shared_ptr<Animation> animation;
    double begin = 0;
    bool stopped = false;
    bool allowsUserInteraction = true;
    std::vector<std::shared_ptr<AnimationCompletionGroup>> groups;
};

AnimationStore::~AnimationStore() {
    auto entries = std::move(entries_);
    entries_.clear();
    for (auto& entry : entries) {
        entry->owner = nullptr;
        if (entry->stopped) continue;
        entry->stopped = true;
        RunLoop::main().async([entry] { deliverStop(entry, false); });
    }
}

void AnimationStore::add(const Animation& animation, std::string key, bool allowsUserInteraction) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (willChange_) willChange_();
    const double now = RunLoop::main().now();
    auto copy = animation.copy();
    if (!(copy->duration() > 0))
        if (auto duration = Transaction::explicitAnimationDuration()) copy->setDuration(*duration);
    if (!copy->timingFunction())
        if (auto function = Transaction::explicitAnimationTimingFunction()) copy->setTimingFunction(function);
    if (copy->beginTime() == 0 || !std::isfinite(copy->beginTime())) copy->setBeginTime(now);

    auto entry = std::make_shared<Entry>();
    entry->owner = this;
    entry->key = std::move(key);
    entry->animation = std::move(copy);
    entry->begin = entry->animation->beginTime();
    entry->allowsUserInteraction = allowsUserInteraction;
    entry->groups = Transaction::openGroups();
    for (const auto& group : entry->groups) group->join();

    if (!entry->key.empty()) {
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const auto& e) { return e->key == entry->key; });
        if (it != entries_.end()) {
            auto replaced = *it;
            entries_.erase(it);
            stopUnfinished(replaced);
        }
    }
    entries_.push_back(entry);
    scheduleCallbacks(entry, now);
}

void AnimationStore::scheduleCallbacks(const std::shared_ptr<Entry>& entry, double now) {
    std::weak_ptr<Entry> weak = entry;
    if (entry->animation->didStart()) {
        RunLoop::main().asyncAt(std::max(entry->begin, now), [weak] {
            auto e = weak.lock();
            if (e && !e->stopped && e->animation->didStart()) e->animation->didStart()();
        });
    }
    const double end = entry->animation->endTime(entry->begin);
    if (std::isfinite(end)) {
        RunLoop::main().asyncAt(end - endTolerance, [weak] {
            auto e = weak.lock();
            if (e && !e->stopped && e->owner) e->owner->end(e);
        });
    }
}

void AnimationStore::end(const std::shared_ptr<Entry>& entry) {
    entry->stopped = true;
    if (entry->animation->isRemovedOnCompletion()) {
        std::erase(entries_, entry);
        entry->owner = nullptr;
    }
    // Nothing of the store is touched from here on: the callbacks may remove
    // animations or destroy the layer.
    deliverStop(entry, true);
}

void AnimationStore::stopUnfinished(const std::shared_ptr<Entry>& entry) {
    entry->owner = nullptr;
    if (entry->stopped) return;
    entry->stopped = true;
    RunLoop::main().async([entry] { deliverStop(entry, false); });
}

void AnimationStore::deliverStop(const std::shared_ptr<Entry>& entry, bool finished) {
    if (const auto& didStop = entry->animation->didStop()) didStop(finished);
    auto groups = std::move(entry->groups);
    entry->groups.clear();
    for (const auto& group : groups) group->leave(finished);
}

std::shared_ptr<const Animation> AnimationStore::animation(std::string_view key) const {
    if (key.empty()) return nullptr;
    for (const auto& entry : entries_)
        if (entry->key == key) return entry->animation;
    return nullptr;
}

std::vector<std::string> AnimationStore::animationKeys() const {
    std::vector<std::string> keys;
    for (const auto& entry : entries_)
        if (!entry->key.empty()) keys.push_back(entry->key);
    return keys;
}

void AnimationStore::remove(std::string_view key) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (key.empty()) return;
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e->key == key; });
    if (it == entries_.end()) return;
    if (willChange_) willChange_();
    auto entry = *it;
    entries_.erase(it);
    stopUnfinished(entry);
}

void AnimationStore::removeAll() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!entries_.empty() && willChange_) willChange_();
    auto entries = std::move(entries_);
    entries_.clear();
    for (auto& entry : entries) stopUnfinished(entry);
}

AnimatableValue AnimationStore::presentationValue(std::string_view keyPath, const AnimatableValue& modelValue,
                                                  double now) const {
    AnimatableValue value = modelValue;
    if (entries_.empty()) return value;
    const auto canonical = canonicalKeyPath(keyPath);
    for (const auto& entry : entries_) {
        if (entry->animation->affects(canonical)) entry->animation->apply(canonical, now, entry->begin, value);
    }
    return value;
}

AnimatableValue AnimationStore::presentationValue(std::string_view keyPath, const AnimatableValue& modelValue) const {
    return presentationValue(keyPath, modelValue, FrameClock::now());
}

bool AnimationStore::animates(std::string_view keyPath) const {
    const auto canonical = canonicalKeyPath(keyPath);
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const auto& e) { return e->animation->affects(canonical); });
}

bool AnimationStore::isRunning() const {
    return std::any_of(entries_.begin(), entries_.end(), [](const auto& e) { return !e->stopped; });
}

bool AnimationStore::allowsUserInteraction() const {
    return std::all_of(entries_.begin(), entries_.end(),
                       [](const auto& e) { return e->allowsUserInteraction || e->stopped; });
}

}  // namespace platform::ui
