// A push button: a control with a title, a title colour, an image and a
// background image per state, each falling back to the normal state's when
// its state has none. The background image fills the button; the image view
// shows the current image at its size and the title label the current title
// in the current title colour (system font, 15 points), the two side by side
// (image first) and centred together. Main thread only.
#pragma once

#include <map>
#include <string>

#include "platform/ui/controls/Control.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/ImageView.hpp"

namespace platform::ui {

class Button : public Control {
public:
    static std::shared_ptr<Button> create(const Rect& frame = {});
    Button(ConstructorKey key, const Rect& frame);

    void setTitle(std::optional<std::string> title, ControlState state);
    std::optional<std::string> title(ControlState state) const;
    std::optional<std::string> currentTitle() const { return title(state()); }
    void setTitleColor(std::optional<Color> color, ControlState state);
    // White for the normal state unless set.
    std::optional<Color> titleColor(ControlState state) const;
    std::optional<Color> currentTitleColor() const { return titleColor(state()); }
    void setImage(std::optional<Image> image, ControlState state);
    std::optional<Image> image(ControlState state) const;
    std::optional<Image> currentImage() const { return image(state()); }
    void setBackgroundImage(std::optional<Image> image, ControlState state);
    std::optional<Image> backgroundImage(ControlState state) const;
    std::optional<Image> currentBackgroundImage() const { return backgroundImage(state()); }

    const std::shared_ptr<ImageView>& imageView() const { return imageView_; }
    const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }

    void layoutSubviews() override;

protected:
    void stateDidChange() override;
    // Adds the background image view and the image view; `create` of the
    // button and of each subclass calls it once.
    void installSubviews();

private:
    template <class T>
    static std::optional<T> lookup(const std::map<ControlState, T>& values, ControlState state) {
        if (auto it = values.find(state); it != values.end()) return it->second;
        if (auto it = values.find(ControlState::normal); it != values.end()) return it->second;
        return std::nullopt;
    }
    template <class T>
    static void store(std::map<ControlState, T>& values, std::optional<T> value, ControlState state) {
        if (value) {
            values.insert_or_assign(state, std::move(*value));
        } else {
            values.erase(state);
        }
    }
    void update();

    std::map<ControlState, std::string> titles_;
    std::map<ControlState, Color> titleColors_;
    std::map<ControlState, Image> images_;
    std::map<ControlState, Image> backgroundImages_;
    std::shared_ptr<ImageView> backgroundImageView_;
    std::shared_ptr<ImageView> imageView_;
    std::shared_ptr<Label> titleLabel_;
};

}  // namespace platform::ui
