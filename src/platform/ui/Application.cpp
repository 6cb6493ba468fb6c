#include "platform/ui/Application.hpp"

namespace platform::ui {

Application& Application::shared() {
    static Application application;
    return application;
}

}  // namespace platform::ui
