#include "platform/ui/animation/Transaction.hpp"

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/Animation.hpp"
#include "platform/ui/animation/AnimationCompletionGroup.hpp"

namespace platform::ui {

namespace {

struct Level {
    bool implicit = false;
    std::shared_ptr<AnimationCompletionGroup> group = AnimationCompletionGroup::create();
    std::optional<bool> disableActions;
    std::optional<double> duration;
    std::optional<TimingFunction> timingFunction;
};

std::vector<Level>& stack() {
    static std::vector<Level> levels;
    return levels;
}

void commitImplicit();

// The innermost level, opening an implicit transaction when none is open.
Level& current() {
    auto& levels = stack();
    if (levels.empty()) {
        Level level;
        level.implicit = true;
        levels.push_back(std::move(level));
        platform::core::RunLoop::main().async(commitImplicit);
    }
    return levels.back();
}

void commitImplicit() {
    auto& levels = stack();
    if (levels.size() == 1 && levels.front().implicit) {
        Transaction::commit();
    } else if (!levels.empty() && levels.front().implicit) {
        // Explicit transactions are still open on top of it: try again later.
        platform::core::RunLoop::main().async(commitImplicit);
    }
}

}  // namespace

void Transaction::begin() {
    PLATFORM_ASSERT_MAIN_THREAD();
    stack().push_back(Level{});
}

void Transaction::commit() {
    PLATFORM_ASSERT_MAIN_THREAD();
    auto& levels = stack();
    if (levels.empty()) {
        platform::core::debugPrint("Transaction::commit without begin");
        return;
    }
    auto group = std::move(levels.back().group);
    levels.pop_back();
    group->close();
}

void Transaction::setCompletionBlock(std::function<void()> completion) {
    if (!completion) {
        current().group->setCompletion(nullptr);
        return;
    }
    current().group->setCompletion([completion = std::move(completion)](bool) { completion(); });
}

void Transaction::setCompletion(std::function<void(bool)> completion) {
    current().group->setCompletion(std::move(completion));
}

bool Transaction::disableActions() {
    const auto& levels = stack();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it)
        if (it->disableActions) return *it->disableActions;
    return false;
}

void Transaction::setDisableActions(bool disable) { current().disableActions = disable; }

double Transaction::animationDuration() { return explicitAnimationDuration().value_or(Animation::defaultDuration); }

void Transaction::setAnimationDuration(double seconds) { current().duration = seconds; }

std::optional<TimingFunction> Transaction::animationTimingFunction() { return explicitAnimationTimingFunction(); }

void Transaction::setAnimationTimingFunction(std::optional<TimingFunction> function) {
    current().timingFunction = function;
}

std::vector<std::shared_ptr<AnimationCompletionGroup>> Transaction::openGroups() {
    std::vector<std::shared_ptr<AnimationCompletionGroup>> groups;
    for (const auto& level : stack()) groups.push_back(level.group);
    return groups;
}

std::optional<double> Transaction::explicitAnimationDuration() {
    const auto& levels = stack();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it)
        if (it->duration) return it->duration;
    return std::nullopt;
}

std::optional<TimingFunction> Transaction::explicitAnimationTimingFunction() {
    const auto& levels = stack();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it)
        if (it->timingFunction) return it->timingFunction;
    return std::nullopt;
}

std::size_t Transaction::depth() { return stack().size(); }

}  // namespace platform::ui
