#include "platform/ui/controllers/AlertController.hpp"

#include <algorithm>
#include <string>

#include "platform/core/DebugPrint.hpp"
#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/Label.hpp"

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
    buildContent();
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

// The backdrop, which lays out the groups of the title and the buttons.
class AlertView : public View {
public:
    static std::shared_ptr<AlertView> create(const std::shared_ptr<AlertController>& owner) {
        auto v = std::make_shared<AlertView>(ConstructorKey{});
        v->owner_ = owner;
        return v;
    }
    explicit AlertView(ConstructorKey key) : View(key, Rect{}) {}

    void layoutSubviews() override;

    std::weak_ptr<AlertController> owner_;
    // The title and message with the actions but the cancel one, and (in an
    // action sheet at compact width) the cancel action's group.
    std::shared_ptr<View> mainGroup_;
    std::shared_ptr<View> cancelGroup_;
    std::shared_ptr<Label> header_;
    // The rows of each group, top down: the header (when any), then buttons.
    std::vector<std::shared_ptr<View>> mainRows_;
    std::vector<std::shared_ptr<View>> separators_;
};

namespace {

constexpr double sheetMargin = 8;
constexpr double rowHeight = 57;
constexpr double headerHeight = 44;
constexpr double groupRadius = 13;
constexpr double alertWidth = 270;
constexpr double popoverWidth = 304;
const Color groupColor{0.97, 0.97, 0.97, 1};
const Color separatorColor{0.8, 0.8, 0.82, 1};
const Color actionColor{0.0, 0.478, 1.0, 1};
const Color destructiveColor{1.0, 0.231, 0.188, 1};
const Color headerColor{0.45, 0.45, 0.47, 1};

std::shared_ptr<View> makeGroup() {
    auto group = View::create();
    group->setBackgroundColor(groupColor);
    group->layer()->setCornerRadius(groupRadius);
    group->setClipsToBounds(true);
    return group;
}

// The rows stacked from the group's top, a hairline between two rows.
double stack(const std::vector<std::shared_ptr<View>>& rows, double width,
             std::vector<std::shared_ptr<View>>::iterator& separator) {
    double y = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double height = std::dynamic_pointer_cast<Label>(rows[i]) ? headerHeight : rowHeight;
        rows[i]->setFrame(Rect{0, y, width, height});
        y += height;
        if (i + 1 < rows.size()) {
            (*separator)->setFrame(Rect{0, y - 0.5, width, 0.5});
            ++separator;
        }
    }
    return y;
}

}  // namespace

void AlertView::layoutSubviews() {
    const auto owner = owner_.lock();
    if (!owner || !mainGroup_) return;
    const Rect b = bounds();
    const EdgeInsets safe = safeAreaInsets();
    const bool sheet = owner->preferredStyle() == AlertControllerStyle::actionSheet;
    const bool popover = sheet && owner->horizontalSizeClass() == UserInterfaceSizeClass::regular;
    double width = popover ? popoverWidth : alertWidth;
    if (sheet && !popover) width = std::max(0.0, b.width() - safe.left - safe.right - 2 * sheetMargin);
    auto separator = separators_.begin();
    const double mainHeight = stack(mainRows_, width, separator);
    double cancelHeight = 0;
    if (cancelGroup_) {
        cancelHeight = rowHeight;
        for (const auto& row : cancelGroup_->subviews()) row->setFrame(Rect{0, 0, width, rowHeight});
    }
    if (sheet && !popover) {
        // From the bottom edge up: the cancel group, then the others.
        const double x = safe.left + sheetMargin;
        double bottom = b.maxY() - std::max(safe.bottom, sheetMargin);
        if (cancelGroup_) {
            cancelGroup_->setFrame(Rect{x, bottom - cancelHeight, width, cancelHeight});
            bottom -= cancelHeight + sheetMargin;
        }
        mainGroup_->setFrame(Rect{x, bottom - mainHeight, width, mainHeight});
        return;
    }
    // In the middle, or centred on the popover's anchor, kept on screen;
    // a sheet's cancel group under the others.
    Point centre{b.midX(), b.midY()};
    if (popover) {
        if (const auto source = owner->popoverAnchor().sourceView.lock()) {
            const Rect anchor = source->convertRect(owner->popoverAnchor().sourceRect, this);
            centre = {anchor.midX(), anchor.midY()};
        }
    }
    const double height = mainHeight + (cancelGroup_ ? sheetMargin + cancelHeight : 0);
    const double x = std::clamp(centre.x - width / 2, sheetMargin, std::max(sheetMargin, b.maxX() - sheetMargin - width));
    const double y =
        std::clamp(centre.y - height / 2, sheetMargin, std::max(sheetMargin, b.maxY() - sheetMargin - height));
    mainGroup_->setFrame(Rect{x, y, width, mainHeight});
    if (cancelGroup_) cancelGroup_->setFrame(Rect{x, y + mainHeight + sheetMargin, width, cancelHeight});
}

void AlertController::loadView() {
    auto v = AlertView::create(std::static_pointer_cast<AlertController>(shared_from_this()));
    v->setBackgroundColor(Color{0, 0, 0, 0.4});
    setView(v);
    buildContent();
}

void AlertController::buildContent() {
    const auto v = std::dynamic_pointer_cast<AlertView>(viewIfLoaded());
    if (!v) return;
    for (const auto& group : {v->mainGroup_, v->cancelGroup_})
        if (group) group->removeFromSuperview();
    v->mainGroup_ = makeGroup();
    v->cancelGroup_.reset();
    v->header_.reset();
    v->mainRows_.clear();
    v->separators_.clear();
    buttons_.clear();
    v->addSubview(v->mainGroup_);

    const bool sheet = style_ == AlertControllerStyle::actionSheet;
    if (alertTitle_ || message_) {
        std::string text = alertTitle_.value_or("");
        if (message_) text += (text.empty() ? "" : "\n") + *message_;
        auto header = Label::create();
        header->setText(text);
        header->setFont(Font::systemFont(13, Font::Weight::semibold));
        header->setTextColor(headerColor);
        header->setTextAlignment(TextAlignment::center);
        header->setNumberOfLines(2);
        v->header_ = header;
        v->mainRows_.push_back(header);
        v->mainGroup_->addSubview(header);
    }
    const auto self = std::static_pointer_cast<AlertController>(shared_from_this());
    for (const auto& action : actions_) {
        const bool cancel = action.style == AlertActionStyle::cancel;
        auto button = Button::create();
        button->setTitle(action.title, ControlState::normal);
        button->setTitleColor(action.style == AlertActionStyle::destructive ? destructiveColor : actionColor,
                              ControlState::normal);
        button->setTitleColor(Color{0.6, 0.6, 0.6, 1}, ControlState::disabled);
        button->setEnabled(action.isEnabled);
        button->titleLabel()->setFont(Font::systemFont(sheet ? 20 : 17, cancel ? Font::Weight::semibold
                                                                               : Font::Weight::regular));
        button->addTarget(self, &AlertController::actionButtonTapped, ControlEvents::touchUpInside);
        buttons_.push_back(button);
        if (cancel && sheet) {
            v->cancelGroup_ = makeGroup();
            v->cancelGroup_->addSubview(button);
            v->addSubview(v->cancelGroup_);
            continue;
        }
        v->mainRows_.push_back(button);
        v->mainGroup_->addSubview(button);
    }
    // An alert lists its cancel action last.
    std::stable_partition(v->mainRows_.begin(), v->mainRows_.end(), [&](const std::shared_ptr<View>& row) {
        const auto at = std::find(buttons_.begin(), buttons_.end(), row);
        return at == buttons_.end() ||
               actions_[static_cast<std::size_t>(at - buttons_.begin())].style != AlertActionStyle::cancel;
    });
    for (std::size_t i = 1; i < v->mainRows_.size(); ++i) {
        auto line = View::create();
        line->setBackgroundColor(separatorColor);
        v->separators_.push_back(line);
        v->mainGroup_->addSubview(line);
    }
    v->setNeedsLayout();
}

std::shared_ptr<Button> AlertController::actionButton(std::size_t index) {
    view();
    return index < buttons_.size() ? buttons_[index] : nullptr;
}

void AlertController::actionButtonTapped(Button& button) {
    const auto at = std::find_if(buttons_.begin(), buttons_.end(),
                                 [&](const std::shared_ptr<Button>& b) { return b.get() == &button; });
    if (at != buttons_.end()) tapAction(static_cast<std::size_t>(at - buttons_.begin()));
}

}  // namespace platform::ui
