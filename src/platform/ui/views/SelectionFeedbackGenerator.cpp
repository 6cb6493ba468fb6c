#include "platform/ui/views/SelectionFeedbackGenerator.hpp"

#include "platform/ui/views/Application.hpp"

namespace platform::ui {

std::shared_ptr<SelectionFeedbackGenerator> SelectionFeedbackGenerator::create() {
    return std::make_shared<SelectionFeedbackGenerator>();
}

void SelectionFeedbackGenerator::selectionChanged() {
    Application::shared().hapticFeedback(HapticFeedbackStyle::selection);
}

}  // namespace platform::ui
