// The popup made from its nib: its measures (340 wide, the text measured at
// 324 points, a longer text making it taller), black with white text in
// every look, a nib without a popup giving none; and a picture of a
// two-line message ("popup-two-lines.png" in $ORVANE_SNAPSHOT_DIR).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/coordinator/OVPopup.hpp"
#include "orvane/coordinator/OVPopupModelInteractor.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/ContentBuilders.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace orvane;
using platform::graphics::Color;
using platform::ui::AttributedString;
using platform::ui::LayoutConstraint;

// A confirmation text as the pages build it: white, the podcast in bold.
AttributedString message(const std::string& before, const std::string& bold, const std::string& after) {
    platform::ui::TextAttributes regular;
    regular.font = OVConstants::OVPopup::font();
    regular.foregroundColor = Color::white();
    auto strong = regular;
    strong.font = OVConstants::OVPopup::boldFont();
    AttributedString text(before, regular);
    text.append(bold, strong);
    text.append(after, regular);
    return text;
}

// The popup centred in a window, laid out.
struct Shown {
    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<OVPopup> popup;
};
Shown show(const AttributedString& text) {
    Shown shown;
    shown.window = platform::ui::Window::create({375, 120});
    shown.window->setBackgroundColor(Color{0.85, 0.86, 0.88, 1});
    shown.popup = OVPopup::make();
    EXPECT_TRUE(shown.popup);
    if (!shown.popup) return shown;
    shown.window->addSubview(shown.popup);
    LayoutConstraint::activate({
        shown.popup->centerXAnchor().constraintEqualTo(shown.window->centerXAnchor()),
        shown.popup->centerYAnchor().constraintEqualTo(shown.window->centerYAnchor()),
    });
    shown.popup->update(OVTheme::light, Color::plainRed());
    shown.popup->update(text);
    shown.window->layoutIfNeeded();
    return shown;
}

class OVPopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::core::RunLoop::main().useManualClock();
        installLayerHooks();
    }
    testsupport::TempDocuments documents_;
};

TEST_F(OVPopupTest, MeasuresFollowTheTextAt324Points) {
    const auto shortText = message("Saved ", "Episode 1", ".");
    const auto longText = message("You are now subscribed to ", "Night Shift, the people who keep a city running",
                                  ". New episodes will wait for you in your library, and we will let you know "
                                  "as soon as the next one is out.");
    double shortHeight = 0;
    for (const auto* text : {&shortText, &longText}) {
        auto shown = show(*text);
        ASSERT_TRUE(shown.popup);
        const auto& popup = shown.popup;
        EXPECT_FALSE(popup->translatesAutoresizingMaskIntoConstraints());
        EXPECT_EQ(popup->layer()->cornerRadius(), 2);
        EXPECT_TRUE(popup->clipsToBounds());
        const auto textView = popup->textView();
        ASSERT_TRUE(textView);
        EXPECT_FALSE(textView->isEditable());
        EXPECT_EQ(textView->attributedText(), *text);

        const double fitted =
            textView->sizeThatFits({324, static_cast<double>(std::numeric_limits<float>::max())}).height;
        EXPECT_EQ(popup->heightConstraint()->constant(), fitted);
        EXPECT_EQ(textView->frame().size, (platform::graphics::Size{324, fitted}));
        EXPECT_EQ(popup->frame().size, (platform::graphics::Size{340, fitted + 16}));
        if (text == &shortText)
            shortHeight = fitted;
        else
            EXPECT_GT(fitted, shortHeight + 20) << "a long text wraps onto more lines";
    }
}

TEST_F(OVPopupTest, BlackWithWhiteTextInEveryLook) {
    auto popup = OVPopup::make();
    ASSERT_TRUE(popup);
    for (const auto& look : testsupport::content::looks()) {
        SCOPED_TRACE(look.name);
        popup->setBackgroundColor(look.mainColor);
        popup->textView()->setTextColor(look.mainColor);
        popup->update(look.theme, look.mainColor);
        EXPECT_EQ(popup->backgroundColor(), Color::black());
        EXPECT_EQ(popup->textView()->textColor(), Color::white());
    }
    // A record for a popup that is gone is dropped.
    OVPopupModelInteractor orphan{std::weak_ptr<OVPopupInput>()};
    orphan.update(OVTheme::dark, Color::plainRed());
    orphan.update(AttributedString("dropped"));
}

TEST_F(OVPopupTest, ANibWithoutAPopupGivesNone) {
    platform::ui::NibRegistry::shared().registerNib("OVPopup", [](platform::ui::NibBuild& build) {
        build.add(platform::ui::View::create({0, 0, 340, 40}));
        return true;
    });
    EXPECT_FALSE(OVPopup::make());
    OVPopup::registerNib();
    EXPECT_TRUE(OVPopup::make());
}

TEST_F(OVPopupTest, SnapshotOfATwoLineMessage) {
    auto shown = show(message("You are now subscribed to ", "Halvick, les métiers du port",
                              ". New episodes will appear in your library."));
    ASSERT_TRUE(shown.popup);
    const auto image = shown.window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        image->writePng(std::filesystem::path(dir) / "popup-two-lines.png");
    const auto frame = shown.popup->frame();
    // Two lines of 13 points between the insets.
    EXPECT_GT(frame.height(), 50);
    EXPECT_LT(frame.height(), 80);
    // Black inside the box near its corner, the window outside it.
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, frame.minX() + 3, frame.maxY() - 3), {0, 0, 0, 255}, 2));
    EXPECT_FALSE(
        renderprobe::near(renderprobe::pixelAt(*image, frame.minX() - 3, frame.minY() + 3), {0, 0, 0, 255}, 40));
}

}  // namespace
