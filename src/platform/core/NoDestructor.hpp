// Storage for a process-wide object that is never destroyed, so that threads
// still running while the process exits (queues, decoders) never meet a
// destroyed global. Use as a function-local static.
#pragma once

#include <new>
#include <utility>

namespace platform::core {

template <class T>
class NoDestructor {
public:
    template <class... Args>
    explicit NoDestructor(Args&&... args) {
        ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
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
