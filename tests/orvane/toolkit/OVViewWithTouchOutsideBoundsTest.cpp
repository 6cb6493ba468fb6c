#include <gtest/gtest.h>

#include <filesystem>

#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/toolkit/OVViewWithTouchOutsideBounds.hpp"

using namespace platform::ui;
using orvane::OVViewWithTouchOutsideBounds;

namespace {

// A container (0, 0, 100, 100) in a 300 x 300 root, with its own subview
// covering it, and a button outside it at (150, 150, 40, 40) holding an icon.
struct Scene {
    std::shared_ptr<View> root = View::create({0, 0, 300, 300});
    std::shared_ptr<OVViewWithTouchOutsideBounds> container = OVViewWithTouchOutsideBounds::create({0, 0, 100, 100});
    std::shared_ptr<View> cover = View::create({0, 0, 100, 100});
    std::shared_ptr<View> button = View::create({150, 150, 40, 40});
    std::shared_ptr<View> icon = View::create({0, 0, 20, 20});
    // Overlaps the container's own subview.
    std::shared_ptr<View> overlapping = View::create({40, 40, 20, 20});

    Scene() {
        root->addSubview(container);
        container->addSubview(cover);
        root->addSubview(button);
        button->addSubview(icon);
        root->addSubview(overlapping);
    }
};

TEST(OVViewWithTouchOutsideBounds, AsksItsTouchViewsFirstInRegistrationOrder) {
    Scene s;
    // With no touch views it is a plain view.
    EXPECT_EQ(s.container->hitTest({50, 50}), s.cover);
    EXPECT_EQ(s.container->hitTest({160, 160}), nullptr);

    s.container->addTouchView(s.button);
    // Outside its bounds: the registered view's own hit test answers.
    EXPECT_EQ(s.container->hitTest({160, 160}), s.icon);
    EXPECT_EQ(s.container->hitTest({185, 185}), s.button);
    EXPECT_EQ(s.container->hitTest({250, 250}), nullptr);

    // Inside its own subview too, the registered view wins.
    s.container->addTouchView(s.overlapping);
    EXPECT_EQ(s.container->hitTest({50, 50}), s.overlapping);
    EXPECT_EQ(s.container->hitTest({30, 30}), s.cover);

    // A hidden touch view finds nothing and the next one is asked; twice
    // registered is asked twice, to the same result.
    s.overlapping->setHidden(true);
    EXPECT_EQ(s.container->hitTest({50, 50}), s.cover);
    s.container->addTouchView(s.button);
    EXPECT_EQ(s.container->touchViews().size(), 3u);
    EXPECT_EQ(s.container->hitTest({160, 160}), s.icon);
    s.button->setUserInteractionEnabled(false);
    EXPECT_EQ(s.container->hitTest({160, 160}), nullptr);
}

TEST(OVConstants, ValuesAndFontsFromTheSubstitutes) {
    using namespace orvane;
    EXPECT_EQ(OVConstants::OVChip::side(OVThemeSize::big), 61);
    EXPECT_EQ(OVConstants::OVChip::side(OVThemeSize::small), 42);
    EXPECT_EQ(OVConstants::OVScreen::Transitioning::duration, 0.2);
    EXPECT_EQ(OVConstants::OVVCPresentationTransitioning::Compact::openingAnimationDuration, 0.7);
    EXPECT_EQ(OVConstants::OVFooterPlayer::overlayColor, (Color{0, 0, 0, 0.5}));
    static_assert(std::is_same_v<decltype(OVConstants::OVVerticalTableViewCell::defaultVisiblePodcasts), const int>);
    // Each font is the named face, here its substitute, the same on every read.
    const auto title = OVConstants::OVScreen::titleFont();
    ASSERT_TRUE(title);
    EXPECT_EQ(title->postScriptName(), "Lato-Semibold");
    EXPECT_EQ(title->pointSize(), 15);
    EXPECT_EQ(OVConstants::OVScreen::titleFont(), title);
}

TEST(OVConstants, FontsFollowTheFacesTheKitCanFind) {
    using namespace orvane;
    struct RestoreTable {
        ~RestoreTable() { Font::setSubstitutionTableFile(std::nullopt); }
    } restore;
    // Read once with the faces there, then without their substitutes: the
    // kept answer gives way, and comes back with the table.
    ASSERT_TRUE(OVConstants::OVEpisodeTableViewCell::episodeFont());
    Font::setSubstitutionTableFile(std::filesystem::path(ORVANE_SOURCE_DIR) / "no-such-table.json");
    EXPECT_FALSE(OVConstants::OVEpisodeTableViewCell::episodeFont());
    EXPECT_FALSE(OVConstants::OVPlayerTableViewCell::TrackLabel::font());
    Font::setSubstitutionTableFile(std::nullopt);
    const auto font = OVConstants::OVPlayerTableViewCell::TrackLabel::font();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->postScriptName(), "Lato-Bold");
    EXPECT_EQ(font->pointSize(), 22);
}

}  // namespace
