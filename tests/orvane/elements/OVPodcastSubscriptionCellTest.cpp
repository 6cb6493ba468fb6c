// The podcast page's subscription row as the listener meets it: the buttons
// that the two flags show, taps that switch them only once the page
// confirms (with a spring), the notification pop before the question, and
// the theme's colours with their blue fallback.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVPodcastSubscriptionCell.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/animation/KeyframeAnimation.hpp"
#include "platform/ui/animation/SpringAnimation.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingPage.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using namespace platform::ui;
using platform::core::RunLoop;
using testsupport::Calls;
namespace content = testsupport::content;

// What shows of the row's buttons.
struct Shown {
    bool subscribe, unsubscribe, notifications, start, stop;
    friend bool operator==(const Shown&, const Shown&) = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "{subscribe " << s.subscribe << ", unsubscribe " << s.unsubscribe << ", notifications "
               << s.notifications << ", start " << s.start << ", stop " << s.stop << "}";
}

// A podcast page holding the element, its row shown in a window.
struct Row {
    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingPage> page;
    std::shared_ptr<OVPageElement::PodcastSubscription> element;
    std::shared_ptr<OVPodcastSubscriptionCell> cell;
    testsupport::ShownCell shown;

    explicit Row(bool withDelegate = true, const std::string& name = "subscription") {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        page = OVPage::create<testsupport::RecordingPage>(
            nullptr, [&](const std::shared_ptr<testsupport::RecordingPage>& self) -> OVPageElements {
                element = OVPageElement::create<OVPageElement::PodcastSubscription>(nullptr, self);
                return {element};
            });
        cell = element->tableViewCell();
        if (withDelegate) cell->setDelegate(page);
        cell->update(OVTheme::light, Color{0.10, 0.35, 0.85, 1});
        cell->updatePodcastSubscription(false, false);
        cell->updateNotificationSubscription(false, false);
        shown = testsupport::showCell(cell, 375, name);
    }

    Shown buttons() const {
        return {!cell->subscribeButton()->isHidden(), !cell->unsuscribeButton()->isHidden(),
                !cell->notificationButtonsContainer()->isHidden(), !cell->notificationStartButton()->isHidden(),
                !cell->notificationStopButton()->isHidden()};
    }
    void tap(const std::shared_ptr<View>& view) {
        const Rect b = view->bounds();
        testsupport::tap(*shown.window, view->convertPoint(Point{b.midX(), b.midY()}, nullptr));
        RunLoop::main().runUntilIdle();
    }
};

TEST(PodcastSubscriptionCell, TheTwoFlagsShowTheirButtonsAtOnceWithoutAnimation) {
    Row row;
    struct Case {
        bool podcast, notification;
        Shown expected;
    };
    const Case cases[] = {
        {false, false, {true, false, false, true, false}},
        {true, false, {false, true, true, true, false}},
        {true, true, {false, true, true, false, true}},
        // The notification buttons keep their own flags inside the hidden container.
        {false, true, {true, false, false, false, true}},
        {true, true, {false, true, true, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "podcast " << c.podcast << ", notification " << c.notification);
        row.cell->updatePodcastSubscription(c.podcast, false);
        row.cell->updateNotificationSubscription(c.notification, false);
        EXPECT_EQ(row.buttons(), c.expected);
        const auto container = row.cell->notificationButtonsContainer();
        EXPECT_EQ(container->transform(), c.podcast ? AffineTransform::scale(1, 1) : AffineTransform::scale(0, 0));
        EXPECT_TRUE(container->layer()->animationKeys().empty());
        EXPECT_TRUE(row.cell->notificationStartButton()->layer()->animationKeys().empty());
    }
}

TEST(PodcastSubscriptionCell, ATapSwitchesTheButtonsOnlyOnceThePageConfirms) {
    struct Case {
        std::string name;
        bool podcast, notification;  // the flags before the tap
        std::shared_ptr<Button> (*button)(const OVPodcastSubscriptionCell&);
        std::string call;
        Shown after;
        bool popFirst;
    };
    const Case cases[] = {
        {"subscribe", false, false, [](const OVPodcastSubscriptionCell& c) { return c.subscribeButton(); },
         "subscription(podcast, true)", {false, true, true, true, false}, false},
        {"unsubscribe", true, true, [](const OVPodcastSubscriptionCell& c) { return c.unsuscribeButton(); },
         "subscription(podcast, false)", {true, false, false, false, true}, false},
        {"start", true, false, [](const OVPodcastSubscriptionCell& c) { return c.notificationStartButton(); },
         "subscription(notification, true)", {false, true, true, false, true}, true},
        {"stop", true, true, [](const OVPodcastSubscriptionCell& c) { return c.notificationStopButton(); },
         "subscription(notification, false)", {false, true, true, true, false}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Row row;
        row.cell->updatePodcastSubscription(c.podcast, false);
        row.cell->updateNotificationSubscription(c.notification, false);
        row.shown.window->layoutIfNeeded();
        const Shown before = row.buttons();

        // A refusal changes nothing.
        row.tap(c.button(*row.cell));
        if (c.popFirst) {
            EXPECT_TRUE(row.page->calls.empty()) << "asked before the pop ended";
            RunLoop::main().advance(0.45);
        }
        ASSERT_EQ(row.page->calls, (Calls{c.call}));
        EXPECT_EQ(row.buttons(), before);
        row.page->completions.back()(false);
        EXPECT_EQ(row.buttons(), before);

        // A confirmation switches the buttons with one spring.
        row.tap(c.button(*row.cell));
        if (c.popFirst) RunLoop::main().advance(0.45);
        ASSERT_EQ(row.page->calls.size(), 2u);
        EXPECT_EQ(row.buttons(), before) << "switched before the page answered";
        row.page->completions.back()(true);
        EXPECT_EQ(row.buttons(), c.after);
    }
}

TEST(PodcastSubscriptionCell, ConfirmedSubscriptionSpringsTheNotificationButtonsBackToFullSize) {
    Row row;
    const auto container = row.cell->notificationButtonsContainer();
    ASSERT_EQ(container->transform(), AffineTransform::scale(0, 0));
    row.tap(row.cell->subscribeButton());
    ASSERT_EQ(row.page->completions.size(), 1u);
    row.page->completions.back()(true);

    const auto spring =
        std::dynamic_pointer_cast<const SpringAnimation>(container->layer()->animation("transform"));
    ASSERT_TRUE(spring);
    EXPECT_DOUBLE_EQ(spring->duration(), 0.6);
    EXPECT_FALSE(container->isHidden());
    EXPECT_EQ(container->transform(), AffineTransform::scale(1, 1));
    RunLoop::main().advance(0.05);
    const auto early = container->layer()->presented<AffineTransform>("transform", container->transform());
    EXPECT_GT(early.a, 0.0);
    EXPECT_LT(early.a, 1.0) << "the spring starts from nothing";
    RunLoop::main().advance(0.6);
    EXPECT_TRUE(container->layer()->animationKeys().empty());
    EXPECT_EQ(container->layer()->presented<AffineTransform>("transform", container->transform()),
              AffineTransform::scale(1, 1));

    // Unsubscribing hides the container at once and shrinks it.
    row.tap(row.cell->unsuscribeButton());
    row.page->completions.back()(true);
    EXPECT_TRUE(container->isHidden());
    EXPECT_EQ(container->transform(), AffineTransform::scale(0, 0));
    EXPECT_EQ(row.buttons(), (Shown{true, false, false, true, false}));
}

TEST(PodcastSubscriptionCell, TheStartButtonPopsThenAsksAndWithoutDelegateOnlyPops) {
    for (const bool withDelegate : {true, false}) {
        SCOPED_TRACE(withDelegate ? "with delegate" : "without delegate");
        Row row(withDelegate);
        row.cell->updatePodcastSubscription(true, false);
        row.shown.window->layoutIfNeeded();
        const auto start = row.cell->notificationStartButton();
        row.tap(start);
        const auto pop = std::dynamic_pointer_cast<const KeyframeAnimation>(start->layer()->animation("transform"));
        ASSERT_TRUE(pop);
        EXPECT_DOUBLE_EQ(pop->duration(), 0.4);
        RunLoop::main().advance(0.3);
        EXPECT_TRUE(row.page->calls.empty());
        RunLoop::main().advance(0.15);
        EXPECT_EQ(start->transform(), AffineTransform::identity());
        EXPECT_EQ(row.page->calls, withDelegate ? Calls{"subscription(notification, true)"} : Calls{});
        EXPECT_EQ(row.buttons(), (Shown{false, true, true, true, false}));
    }
}

TEST(PodcastSubscriptionCell, TheThemeColoursTheButtonsAndBlueStandsInForAMissingMainColour) {
    Row row;
    auto looks = content::looks();
    looks.push_back({"no main colour", OVTheme::dark, Color{0, 0, 1, 1}});
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const auto& look = looks[i];
        SCOPED_TRACE(look.name);
        const bool missing = i + 1 == looks.size();
        if (missing) {
            row.cell->update(look.theme, std::optional<Color>());
        } else {
            row.cell->update(look.theme, look.mainColor);
        }
        EXPECT_EQ(row.cell->subscribeButton()->backgroundColor(), look.mainColor);
        EXPECT_EQ(row.cell->notificationStartButton()->tintColor(), look.mainColor);
        EXPECT_EQ(row.cell->unsuscribeButton()->layer()->borderColor(), look.theme.separatorColor());
        const auto startImage = row.cell->notificationStartButton()->image(ControlState::normal);
        const auto stopImage = row.cell->notificationStopButton()->image(ControlState::normal);
        ASSERT_TRUE(startImage && stopImage);
        EXPECT_EQ(startImage->renderingMode(), Image::RenderingMode::alwaysTemplate);
        EXPECT_EQ(stopImage->renderingMode(), Image::RenderingMode::alwaysOriginal);
    }
}

TEST(PodcastSubscriptionCell, SnapshotsOfBothStates) {
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        for (const bool subscribed : {false, true}) {
            Row row(true, "subscription-" + look.name + (subscribed ? "-subscribed" : "-not-subscribed"));
            row.shown.window->setBackgroundColor(look.theme.backgroundColor());
            row.shown.table->setBackgroundColor(look.theme.backgroundColor());
            row.cell->contentView()->setBackgroundColor(look.theme.backgroundColor());
            row.cell->update(look.theme, look.mainColor);
            row.cell->updatePodcastSubscription(subscribed, false);
            const auto image = row.shown.snapshot("subscription-" + look.name +
                                                  (subscribed ? "-subscribed" : "-not-subscribed"));
            ASSERT_TRUE(image);
            // The subscribe button's colour shows only while not subscribed.
            const Rect frame = row.cell->subscribeButton()->convertRect(row.cell->subscribeButton()->bounds(), nullptr);
            const auto pixel = renderprobe::pixelAt(*image, frame.origin.x + 6, frame.midY() + 12);
            const renderprobe::Rgba main{static_cast<int>(look.mainColor.red * 255 + 0.5),
                                         static_cast<int>(look.mainColor.green * 255 + 0.5),
                                         static_cast<int>(look.mainColor.blue * 255 + 0.5), 255};
            EXPECT_EQ(renderprobe::near(pixel, main, 3), !subscribed);
        }
    }
}

}  // namespace
