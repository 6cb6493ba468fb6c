// An alert controller: an alert or an action sheet with a title, a message
// and ordered actions (default, cancel, destructive) whose handlers run
// after the controller is dismissed. Presented over its presenter without
// removing it, over a dimmed backdrop: its title and message above one
// button per action, which a user taps. An action sheet keeps its cancel
// action in a group of its own below the others; at compact width it stands
// at the bottom edge, at a regular horizontal width it shows as a popover,
// centred on its anchor, and needs that anchor (a source view or a bar
// button item): presenting one without is refused. An alert stands in the
// middle, its cancel action last. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controllers/NavigationItem.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/controls/Button.hpp"

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
    // The button of the action at `index` (loads the view); none for a
    // missing action.
    std::shared_ptr<Button> actionButton(std::size_t index);

    void loadView() override;

protected:
    std::optional<std::string> presentationRefusal(const ViewController& presenter) const override;

private:
    friend class AlertView;
    // The groups, labels and buttons for the actions as they stand.
    void buildContent();
    void actionButtonTapped(Button& button);

    std::optional<std::string> alertTitle_;
    std::optional<std::string> message_;
    AlertControllerStyle style_;
    std::vector<AlertAction> actions_;
    PopoverAnchor anchor_;
    std::vector<std::shared_ptr<Button>> buttons_;
};

}  // namespace platform::ui
