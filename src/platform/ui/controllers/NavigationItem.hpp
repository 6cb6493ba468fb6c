// What a controller shows in a navigation bar while it is on top of a
// navigation stack: its title (or title view) and the bar button items on
// each side. Owned by its controller; main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Image.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

// A button of a navigation bar: a title or an image with an action, or a
// custom view.
struct BarButtonItem {
    std::string title;
    std::optional<Image> image;
    std::shared_ptr<View> customView;
    std::function<void()> action;
};

class NavigationItem {
public:
    NavigationItem() = default;
    explicit NavigationItem(std::string title) : title_(std::move(title)) {}

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::shared_ptr<View>& titleView() const { return titleView_; }
    void setTitleView(std::shared_ptr<View> view) { titleView_ = std::move(view); }
    const std::vector<BarButtonItem>& leftBarButtonItems() const { return left_; }
    void setLeftBarButtonItems(std::vector<BarButtonItem> items) { left_ = std::move(items); }
    void setLeftBarButtonItem(BarButtonItem item) { left_ = {std::move(item)}; }
    const std::vector<BarButtonItem>& rightBarButtonItems() const { return right_; }
    void setRightBarButtonItems(std::vector<BarButtonItem> items) { right_ = std::move(items); }
    void setRightBarButtonItem(BarButtonItem item) { right_ = {std::move(item)}; }
    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool hides) { hidesBackButton_ = hides; }

private:
    std::string title_;
    std::shared_ptr<View> titleView_;
    std::vector<BarButtonItem> left_;
    std::vector<BarButtonItem> right_;
    bool hidesBackButton_ = false;
};

}  // namespace platform::ui
