// Haptic feedback for a change of selection, as a control gives when the
// listener picks something: each `selectionChanged` is one selection haptic
// of the application (counted there). `prepare` readies the engine ahead of
// time on the phone; here it has nothing to ready. Main thread only.
#pragma once

#include <memory>

namespace platform::ui {

class SelectionFeedbackGenerator {
public:
    static std::shared_ptr<SelectionFeedbackGenerator> create();

    void prepare() {}
    void selectionChanged();
};

}  // namespace platform::ui
