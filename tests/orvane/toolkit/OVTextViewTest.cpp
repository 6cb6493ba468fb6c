#include "orvane/toolkit/OVTextView.hpp"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(OVTextView, NeverHasASelection) {
    auto plain = platform::ui::TextView::create();
    auto view = OVTextView::create();
    for (const auto& v : {std::static_pointer_cast<platform::ui::TextView>(plain),
                          std::static_pointer_cast<platform::ui::TextView>(view)}) {
        v->setText("Description");
        v->setSelectedTextRange(platform::ui::TextRange{0, 4});
    }
    EXPECT_EQ(plain->selectedTextRange(), (platform::ui::TextRange{0, 4}));
    EXPECT_EQ(view->selectedTextRange(), std::nullopt);
}

}  // namespace
}  // namespace orvane
