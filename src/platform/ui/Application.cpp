#include "platform/ui/Application.hpp"

#include "platform/core/NoDestructor.hpp"

namespace platform::ui {

Application& Application::shared() {
    static core::NoDestructor<Application> application{std::in_place, [] { return Application(); }};
    return *application;
}

}  // namespace platform::ui
