// Button effects: the image placed after the title, and the short pop played
// when a button is tapped. Main thread only; the animation holds the button
// until it ends.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/controls/Button.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

// Mirrors the button, its title label and, when it shows an image, its image
// view horizontally, so the image comes after the title while both still
// read the right way. Sets rather than toggles: a second call changes nothing.
void permuteImageAndLabel(platform::ui::Button& button);

// A 0.4 s keyframe animation of the button's transform: scale 1.3 over the
// first half, scale 0 over the second. When it ends, finished or cut short,
// the transform is set back to identity without animation, then `completion`
// (when given) runs once.
void tapAnimation(const std::shared_ptr<platform::ui::View>& button, std::function<void()> completion = {});

}  // namespace orvane
