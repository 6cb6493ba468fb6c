// An alert controller: an alert or an action sheet with a title, a message
// and ordered actions (default, cancel, destructive) whose handlers run
// after the controller is dismissed. Presented over its presenter without
// removing it. At a regular horizontal width an action sheet shows as a
// popover and needs an anchor (a source view or a bar button item);
// presenting one without is refused. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controllers/NavigationItem.hpp"
#include "platform/ui/controllers/ViewController.hpp"

namespace platform::ui {

enum class AlertControllerStyle { actionSheet, alert };
enum class AlertActionStyle { defaultStyle, cancel, destructive };

struct AlertAction {
    std::string title;
    AlertActionStyle style = AlertActionStyle::defaultStyle;
    std::function<void(const AlertAction&)> handler;
    bool isEnabled = true;
};

// Where a popover points: a rectangle of a source view, or a bar button.
struct PopoverAnchor {
    std::weak_ptr<View> sourceView;
    Rect sourceRect;
    std::shared_ptr<BarButtonItem> barButtonItem;

    bool isSet() const { return !sourceView.expired() || barButtonItem != nullptr; }
};

class AlertController : public ViewController {
public:
    static std::shared_ptr<AlertController> create(std::optional<std::string> title,
                                                   std::optional<std::string> message, AlertControllerStyle style);
    AlertController(ConstructorKey key, std::optional<std::string> title, std::optional<std::string> message,
                    AlertControllerStyle style);

    const std::optional<std::string>& alertTitle() const { return alertTitle_; }
    const std::optional<std::string>& message() const { return message_; }
    AlertControllerStyle preferredStyle() const { return style_; }

    // Keeps the order of addition. A second cancel action is refused
    // (false, with a debug line).
    bool addAction(AlertAction action);
    const std::vector<AlertAction>& actions() const { return actions_; }

    PopoverAnchor& popoverAnchor() { return anchor_; }
    const PopoverAnchor& popoverAnchor() const { return anchor_; }

    // A user's tap on the action at `index`: dismisses, then runs its
    // handler. False for a disabled or missing action.
    bool tapAction(std::size_t index);

    void loadView() override;

protected:
    std::optional<std::string> presentationRefusal(const ViewController& presenter) const override;

private:
    std::optional<std::string> alertTitle_;
    std::optional<std::string> message_;
    AlertControllerStyle style_;
    std::vector<AlertAction> actions_;
    PopoverAnchor anchor_;
};

}  // namespace platform::ui
