// A presented controller seen two ways at once: as the view controller it is
// and through one of the presentation protocols it adopts (the same object).
// `OVPresentable` holds it strongly, `OVWeakPresentable` weakly (as the
// animators keep it). Main thread only.
#pragma once

#include <concepts>
#include <memory>

#include "platform/ui/controllers/ViewController.hpp"

namespace orvane {

template <class Protocol>
struct OVPresentable {
    std::shared_ptr<platform::ui::ViewController> controller;
    std::shared_ptr<Protocol> protocol;

    OVPresentable() = default;
    // A controller class that adopts the protocol.
    template <class C>
        requires std::derived_from<C, platform::ui::ViewController> && std::derived_from<C, Protocol>
    OVPresentable(const std::shared_ptr<C>& c) : controller(c), protocol(c) {}
    // The same controller through a protocol that refines this one.
    template <class Refined>
        requires(std::derived_from<Refined, Protocol> && !std::same_as<Refined, Protocol>)
    OVPresentable(const OVPresentable<Refined>& other) : controller(other.controller), protocol(other.protocol) {}

    // `c` when it adopts the protocol, else empty.
    static OVPresentable of(const std::shared_ptr<platform::ui::ViewController>& c) {
        OVPresentable p;
        if (auto adopted = std::dynamic_pointer_cast<Protocol>(c)) {
            p.controller = c;
            p.protocol = std::move(adopted);
        }
        return p;
    }
    explicit operator bool() const { return controller && protocol; }
    Protocol* operator->() const { return protocol.get(); }
};

template <class Protocol>
class OVWeakPresentable {
public:
    OVWeakPresentable() = default;
    OVWeakPresentable(const OVPresentable<Protocol>& p) : controller_(p.controller), protocol_(p.protocol) {}

    // Empty once the controller is gone.
    OVPresentable<Protocol> lock() const {
        OVPresentable<Protocol> p;
        p.controller = controller_.lock();
        p.protocol = protocol_.lock();
        if (!p.controller || !p.protocol) return {};
        return p;
    }

private:
    std::weak_ptr<platform::ui::ViewController> controller_;
    std::weak_ptr<Protocol> protocol_;
};

}  // namespace orvane
