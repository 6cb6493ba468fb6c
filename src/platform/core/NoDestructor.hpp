// Storage for a process-wide object that is never destroyed.
//
// The rule for process-wide objects: every object that lives as long as the
// process (a singleton's instance, any function-local or namespace-scope
// static whose type has a destructor that does something) is held in a
// NoDestructor, as a function-local static, and is never destroyed. Threads
// other than the main one (global and serial queues, transfers, decoders, the
// script engine's) may still be running while the process exits, and nothing
// can stop them all in order first: a host may call exit() from anywhere.
// Exit-time destructors would pull objects out from under those threads;
// never-destroyed objects stay valid until the process is gone, which also
// reclaims their memory (leak checkers see it as still reachable).
//
//   Widget& Widget::shared() {
//       static platform::core::NoDestructor<Widget> instance;
//       return *instance;
//   }
//
// A type whose constructor is private to its own `shared()` is made through
// a function that returns it (no copy or move is needed):
//
//       static platform::core::NoDestructor<Widget> instance{std::in_place, [] { return Widget(); }};
#pragma once

#include <concepts>
#include <new>
#include <type_traits>
#include <utility>

namespace platform::core {

template <class T>
class NoDestructor {
public:
    template <class... Args>
    explicit NoDestructor(Args&&... args) {
        ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
    }
    // Holds the object that `make()` returns.
    template <class Make>
        requires std::same_as<std::invoke_result_t<Make>, T>
    NoDestructor(std::in_place_t, Make make) {
        ::new (static_cast<void*>(storage_)) T(make());
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }
    T* operator->() { return &get(); }
    T& operator*() { return get(); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace platform::core
