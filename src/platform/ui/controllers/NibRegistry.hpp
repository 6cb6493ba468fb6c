// The registry of nib and storyboard builders by name. A nib builder makes
// an object tree (views and controllers) and declares its outlet
// connections; loading a nib runs the builder, then every connection, then
// `awakeFromNib` on every object it made, in the order made. A storyboard
// is a set of controller scenes by identifier with an initial one.
//
// A missing name, or a builder that reports failure (or throws), gives
// none with a debug line; a result of the wrong class gives none to a typed
// load, and the caller decides its fallback. Main thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

using NibObject = std::variant<std::shared_ptr<View>, std::shared_ptr<ViewController>>;

// What a builder fills while it runs.
class NibBuild {
public:
    explicit NibBuild(std::shared_ptr<void> owner) : owner_(std::move(owner)) {}

    // The object the nib is loaded for (the "file's owner"), if any.
    const std::shared_ptr<void>& owner() const { return owner_; }
    // An object of the tree; top-level ones are what the load returns.
    void add(NibObject object, bool topLevel = true);
    // An outlet connection, made after the whole tree is built.
    void connect(std::function<void()> connection) { connections_.push_back(std::move(connection)); }

    const std::vector<NibObject>& objects() const { return objects_; }
    const std::vector<NibObject>& topLevelObjects() const { return topLevel_; }
    std::vector<std::function<void()>>& connections() { return connections_; }

private:
    std::shared_ptr<void> owner_;
    std::vector<NibObject> objects_;
    std::vector<NibObject> topLevel_;
    std::vector<std::function<void()>> connections_;
};

class NibRegistry {
public:
    // Builds into the given build; false means the nib is broken.
    using Builder = std::function<bool(NibBuild&)>;

    static NibRegistry& shared();

    // Replaces a builder of the same name.
    void registerNib(const std::string& name, Builder builder);
    void unregisterNib(const std::string& name);
    bool hasNib(const std::string& name) const;

    // The top-level objects, or none for a missing or broken nib.
    std::optional<std::vector<NibObject>> instantiate(const std::string& name, std::shared_ptr<void> owner = nullptr);
    // The first top-level object as a `T`; none when missing, broken or of
    // another class.
    template <class T>
    std::shared_ptr<T> instantiateFirst(const std::string& name, std::shared_ptr<void> owner = nullptr) {
        auto objects = instantiate(name, std::move(owner));
        if (!objects || objects->empty()) return nullptr;
        auto typed = std::visit([](const auto& o) { return std::dynamic_pointer_cast<T>(o); }, objects->front());
        if (!typed) debugLine("nib \"" + name + "\" holds an object of another class");
        return typed;
    }

    // ---- Storyboards ----
    void registerStoryboard(const std::string& name, std::map<std::string, Builder> scenes,
                            std::string initialIdentifier);
    std::shared_ptr<ViewController> instantiateViewController(const std::string& storyboard,
                                                              const std::string& identifier);
    std::shared_ptr<ViewController> instantiateInitialViewController(const std::string& storyboard);
    template <class T>
    std::shared_ptr<T> instantiateViewController(const std::string& storyboard, const std::string& identifier) {
        auto typed = std::dynamic_pointer_cast<T>(instantiateViewController(storyboard, identifier));
        return typed;
    }

private:
    NibRegistry() = default;
    static void debugLine(const std::string& text);
    std::optional<std::vector<NibObject>> run(const std::string& name, const Builder& builder,
                                              std::shared_ptr<void> owner);

    struct Storyboard {
        std::map<std::string, Builder> scenes;
        std::string initial;
    };
    std::map<std::string, Builder> nibs_;
    std::map<std::string, Storyboard> storyboards_;
};

}  // namespace platform::ui
