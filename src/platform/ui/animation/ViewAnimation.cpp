#include "platform/ui/animation/ViewAnimation.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/AnimationTarget.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"
#include "platform/ui/animation/KeyframeAnimation.hpp"
#include "platform/ui/animation/SpringAnimation.hpp"
#include "platform/ui/animation/Transaction.hpp"

namespace platform::ui {

namespace {

enum class Kind { plain, spring, keyframes };

struct Step {
    double start;
    double end;
    AnimatableValue value;
};

struct Record {
    AnimationTarget* target;
    std::weak_ptr<const void> alive;
    std::string keyPath;
    AnimatableValue from;
    AnimatableValue to;
    std::vector<Step> steps;
};

struct Context {
    Kind kind = Kind::plain;
    double duration = 0;
    double delay = 0;
    ViewAnimationOptions options;
    double dampingRatio = 1;
    double initialVelocity = 0;
    std::pair<double, double> keyframe{0, 1};  // start and end of the keyframe being recorded
    std::vector<Record> records;
};

struct RecorderState {
    std::vector<Context> contexts;
    int suppressed = 0;
};

RecorderState& state() {
    static RecorderState s;
    return s;
}

std::optional<TimingFunction> timingFunction(ViewAnimationCurve curve) {
    switch (curve) {
        case ViewAnimationCurve::easeInOut: return TimingFunction::named(TimingFunction::Name::easeInEaseOut);
        case ViewAnimationCurve::easeIn: return TimingFunction::named(TimingFunction::Name::easeIn);
        case ViewAnimationCurve::easeOut: return TimingFunction::named(TimingFunction::Name::easeOut);
        case ViewAnimationCurve::linear: return TimingFunction::named(TimingFunction::Name::linear);
    }
    return std::nullopt;
}

std::shared_ptr<Animation> makeKeyframes(const Record& record) {
    auto steps = record.steps;
    std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return a.start < b.start; });
    std::vector<double> times{0};
    std::vector<AnimatableValue> values{record.from};
    double lastTime = 0;
    for (const auto& step : steps) {
        const double start = std::clamp(step.start, lastTime, 1.0);
        const double end = std::clamp(step.end, start, 1.0);
        if (start > lastTime) {
            times.push_back(start);
            values.push_back(values.back());
        }
        times.push_back(end);
        values.push_back(step.value);
        lastTime = end;
    }
    if (lastTime < 1) {
        times.push_back(1);
        values.push_back(values.back());
    }
    auto animation = KeyframeAnimation::create(record.keyPath);
    animation->setValues(std::move(values));
    animation->setKeyTimes(std::move(times));
    return animation;
}

std::shared_ptr<Animation> makeAnimation(const Context& context, const Record& record,
                                         std::shared_ptr<SpringAnimation>& springPrototype) {
    std::shared_ptr<Animation> animation;
    switch (context.kind) {
        case Kind::plain: {
            auto basic = BasicAnimation::create(record.keyPath);
            basic->setFromValue(record.from);
            basic->setToValue(record.to);
            basic->setTimingFunction(timingFunction(context.options.curve));
            animation = basic;
            break;
        }
        case Kind::spring: {
            // Every spring of a block moves alike: find its stiffness once.
            if (!springPrototype) {
                springPrototype = SpringAnimation::viewSpring("", context.dampingRatio, context.initialVelocity,
                                                              context.duration);
            }
            auto spring = std::static_pointer_cast<SpringAnimation>(springPrototype->copy());
            spring->setKeyPath(record.keyPath);
            spring->setFromValue(record.from);
            spring->setToValue(record.to);
            animation = spring;
            break;
        }
        case Kind::keyframes: animation = makeKeyframes(record); break;
    }
    animation->setDuration(context.duration);
    if (context.delay > 0) {
        animation->setBeginTime(platform::core::RunLoop::main().now() + context.delay);
        animation->setFillMode(FillMode::backwards);
    }
    if (context.options.repeat) animation->setRepeatCount(Animation::repeatForever);
    animation->setAutoreverses(context.options.autoreverse);
    return animation;
}

Context makeContext(Kind kind, double duration, double delay, ViewAnimationOptions options) {
    Context context;
    context.kind = kind;
    context.duration = duration;
    context.delay = delay;
    context.options = options;
    return context;
}

void run(Context context, const ViewAnimation::Block& animations, ViewAnimation::Completion completion) {
    PLATFORM_ASSERT_MAIN_THREAD();
    auto& s = state();
    s.contexts.push_back(std::move(context));
    if (animations) animations();
    Context recorded = std::move(s.contexts.back());
    s.contexts.pop_back();

    Transaction::begin();
    if (completion) Transaction::setCompletion(std::move(completion));
    if (recorded.duration > 0) {
        std::shared_ptr<SpringAnimation> springPrototype;
        for (const auto& record : recorded.records) {
            if (record.alive.expired()) continue;
            auto animation = makeAnimation(recorded, record, springPrototype);
            record.target->animations().add(*animation, record.keyPath, recorded.options.allowUserInteraction);
        }
    }
    Transaction::commit();
}

}  // namespace

void ViewAnimation::animate(double duration, double delay, ViewAnimationOptions options, const Block& animations,
                            Completion completion) {
    run(makeContext(Kind::plain, duration, delay, options), animations, std::move(completion));
}

void ViewAnimation::animate(double duration, const Block& animations, Completion completion) {
    animate(duration, 0, ViewAnimationOptions{}, animations, std::move(completion));
}

void ViewAnimation::animateSpring(double duration, double delay, double dampingRatio, double initialVelocity,
                                  ViewAnimationOptions options, const Block& animations, Completion completion) {
    Context context = makeContext(Kind::spring, duration, delay, options);
    context.dampingRatio = dampingRatio;
    context.initialVelocity = initialVelocity;
    run(std::move(context), animations, std::move(completion));
}

void ViewAnimation::animateKeyframes(double duration, double delay, ViewAnimationOptions options,
                                     const Block& animations, Completion completion) {
    run(makeContext(Kind::keyframes, duration, delay, options), animations, std::move(completion));
}

void ViewAnimation::addKeyframe(double relativeStartTime, double relativeDuration, const Block& animations) {
    auto& s = state();
    if (s.contexts.empty() || s.contexts.back().kind != Kind::keyframes) {
        if (animations) animations();
        return;
    }
    const std::size_t index = s.contexts.size() - 1;
    const auto saved = s.contexts[index].keyframe;
    const double start = std::clamp(relativeStartTime, 0.0, 1.0);
    s.contexts[index].keyframe = {start, std::clamp(start + std::max(relativeDuration, 0.0), start, 1.0)};
    if (animations) animations();
    s.contexts[index].keyframe = saved;
}

void ViewAnimation::performWithoutAnimation(const Block& actions) {
    auto& s = state();
    ++s.suppressed;
    if (actions) actions();
    --s.suppressed;
}

bool ViewAnimation::isRecording() {
    const auto& s = state();
    return !s.contexts.empty() && s.suppressed == 0 && !Transaction::disableActions();
}

void ViewAnimation::propertyDidChange(AnimationTarget& target, std::string_view keyPath,
                                      const AnimatableValue& oldValue, const AnimatableValue& newValue) {
    if (!isRecording()) return;
    auto& context = state().contexts.back();
    auto it = std::find_if(context.records.begin(), context.records.end(), [&](const Record& r) {
        return r.target == &target && !r.alive.expired() && r.keyPath == keyPath;
    });
    if (it == context.records.end()) {
        if (oldValue == newValue) return;  // nothing to animate
        AnimatableValue from = context.options.beginFromCurrentState
                                   ? target.animations().presentationValue(keyPath, oldValue)
                                   : oldValue;
        context.records.push_back(
            Record{&target, target.lifetime(), std::string(keyPath), std::move(from), newValue, {}});
        it = context.records.end() - 1;
    } else {
        it->to = newValue;
    }
    if (context.kind == Kind::keyframes) {
        const auto [start, end] = context.keyframe;
        if (!it->steps.empty() && it->steps.back().start == start && it->steps.back().end == end) {
            it->steps.back().value = newValue;
        } else {
            it->steps.push_back(Step{start, end, newValue});
        }
    }
}

}  // namespace platform::ui
