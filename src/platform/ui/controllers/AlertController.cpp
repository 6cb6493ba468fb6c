#include "platform/ui/controllers/AlertController.hpp"

#include <algorithm>

#include "platform/core/DebugPrint.hpp"

namespace platform::ui {

std::shared_ptr<AlertController> AlertController::create(std::optional<std::string> title,
                                                         std::optional<std::string> message,
                                                         AlertControllerStyle style) {
    return std::make_shared<AlertController>(ConstructorKey{}, std::move(title), std::move(message), style);
}

AlertController::AlertController(ConstructorKey key, std::optional<std::string> title,
                                 std::optional<std::string> message, AlertControllerStyle style)
    : ViewController(key), alertTitle_(std::move(title)), message_(std::move(message)), style_(style) {
    setModalPresentationStyle(ModalPresentationStyle::custom);
}

bool AlertController::addAction(AlertAction action) {
    if (action.style == AlertActionStyle::cancel &&
        std::any_of(actions_.begin(), actions_.end(),
                    [](const AlertAction& a) { return a.style == AlertActionStyle::cancel; })) {
        core::debugPrint("AlertController: only one cancel action is allowed; refused");
        return false;
    }
    actions_.push_back(std::move(action));
    return true;
}

std::optional<std::string> AlertController::presentationRefusal(const ViewController& presenter) const {
    if (style_ == AlertControllerStyle::actionSheet &&
        presenter.horizontalSizeClass() == UserInterfaceSizeClass::regular && !anchor_.isSet()) {
        return "an action sheet at regular width needs a popover anchor (a source view or a bar button item)";
    }
    return std::nullopt;
}

bool AlertController::tapAction(std::size_t index) {
    if (index >= actions_.size() || !actions_[index].isEnabled) return false;
    const AlertAction action = actions_[index];
    auto run = [action] {
        if (action.handler) action.handler(action);
    };
    if (!presentingViewController() || !dismiss(true, run)) run();
    return true;
}

void AlertController::loadView() {
    auto v = View::create();
    v->setBackgroundColor(Color{0, 0, 0, 0.4});
    setView(v);
}

}  // namespace platform::ui
