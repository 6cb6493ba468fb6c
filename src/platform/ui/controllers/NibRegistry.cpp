#include "platform/ui/controllers/NibRegistry.hpp"

#include <exception>

#include "platform/core/DebugPrint.hpp"

namespace platform::ui {

void NibBuild::add(NibObject object, bool topLevel) {
    const bool empty = std::visit([](const auto& o) { return o == nullptr; }, object);
    if (empty) return;
    if (topLevel) topLevel_.push_back(object);
    objects_.push_back(std::move(object));
}

NibRegistry& NibRegistry::shared() {
    static NibRegistry registry;
    return registry;
}

void NibRegistry::debugLine(const std::string& text) { core::debugPrint("NibRegistry: " + text); }

void NibRegistry::registerNib(const std::string& name, Builder builder) { nibs_[name] = std::move(builder); }

void NibRegistry::unregisterNib(const std::string& name) { nibs_.erase(name); }

bool NibRegistry::hasNib(const std::string& name) const { return nibs_.contains(name); }

std::optional<std::vector<NibObject>> NibRegistry::run(const std::string& name, const Builder& builder,
                                                       std::shared_ptr<void> owner) {
    NibBuild build(std::move(owner));
    try {
        if (!builder || !builder(build)) {
            debugLine("nib \"" + name + "\" could not be built");
            return std::nullopt;
        }
        for (auto& connection : build.connections()) {
            if (connection) connection();
        }
    } catch (const std::exception& e) {
        debugLine("nib \"" + name + "\" failed: " + e.what());
        return std::nullopt;
    }
    for (const auto& object : build.objects()) {
        std::visit([](const auto& o) { o->awakeFromNib(); }, object);
    }
    return build.topLevelObjects();
}

std::optional<std::vector<NibObject>> NibRegistry::instantiate(const std::string& name, std::shared_ptr<void> owner) {
    auto it = nibs_.find(name);
    if (it == nibs_.end()) {
        debugLine("no nib named \"" + name + "\"");
        return std::nullopt;
    }
    // A copy: a builder may register or unregister nibs while it runs.
    const Builder builder = it->second;
    return run(name, builder, std::move(owner));
}

void NibRegistry::registerStoryboard(const std::string& name, std::map<std::string, Builder> scenes,
                                     std::string initialIdentifier) {
    storyboards_[name] = Storyboard{std::move(scenes), std::move(initialIdentifier)};
}

std::shared_ptr<ViewController> NibRegistry::instantiateViewController(const std::string& storyboard,
                                                                       const std::string& identifier) {
    auto board = storyboards_.find(storyboard);
    if (board == storyboards_.end()) {
        debugLine("no storyboard named \"" + storyboard + "\"");
        return nullptr;
    }
    auto scene = board->second.scenes.find(identifier);
    if (scene == board->second.scenes.end()) {
        debugLine("storyboard \"" + storyboard + "\" has no scene \"" + identifier + "\"");
        return nullptr;
    }
    const Builder builder = scene->second;
    auto objects = run(storyboard + "/" + identifier, builder, nullptr);
    if (!objects) return nullptr;
    for (const auto& object : *objects) {
        if (auto controller = std::get_if<std::shared_ptr<ViewController>>(&object)) return *controller;
    }
    debugLine("storyboard scene \"" + identifier + "\" made no controller");
    return nullptr;
}

std::shared_ptr<ViewController> NibRegistry::instantiateInitialViewController(const std::string& storyboard) {
    auto board = storyboards_.find(storyboard);
    if (board == storyboards_.end()) {
        debugLine("no storyboard named \"" + storyboard + "\"");
        return nullptr;
    }
    const std::string initial = board->second.initial;
    return instantiateViewController(storyboard, initial);
}

}  // namespace platform::ui
