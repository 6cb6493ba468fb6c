// The share row as a listener meets it: each button shows exactly while the
// content's calls to action allow it, and each tap opens the right web
// address (never another kind) or nothing, then sends its legacy event once.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVShareTableViewCell.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/views/Application.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using namespace platform::ui;
using platform::core::RunLoop;
using platform::core::SystemVersion;
namespace content = testsupport::content;

using Ctas = std::vector<OVCallToAction>;

OVCallToAction cta(OVCtaType type, std::optional<std::string> text, std::optional<std::string> destination,
                   std::optional<std::string> applePodcast = std::nullopt) {
    return content::callToAction(type, std::move(destination), std::move(applePodcast), std::move(text));
}

// The legacy bridge's page: keeps each script the bridge sends.
class ScriptLog : public platform::web::WebView {
public:
    static std::shared_ptr<ScriptLog> make() { return std::make_shared<ScriptLog>(Token{}); }
    explicit ScriptLog(Token token) : WebView(token, {}) {}
    void evaluateJavaScript(const std::string& script, EvaluationCompletion) override { scripts.push_back(script); }
    std::vector<std::string> scripts;
};

std::string legacyEvent(std::string_view name) {
    return "document.querySelector('orvane-dummy-player').collectEvent(" + std::string(name) + ", )";
}

// The element made as a page would make it, its row shown in a window.
struct Row {
    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator = testsupport::RecordingCoordinator::create();
    std::shared_ptr<OVPageElement::Buttons> element;
    std::shared_ptr<OVShareTableViewCell> cell;
    testsupport::ShownCell shown;
    std::shared_ptr<ScriptLog> scripts = ScriptLog::make();

    explicit Row(const Ctas& ctas, const content::Look& look = content::looks().front(),
                 const std::string& name = "share") {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        OVWidgetManagerOLD::shared().setWebView(scripts);
        element = OVPageElement::create<OVPageElement::Buttons>(coordinator, nullptr);
        cell = element->tableViewCell();
        cell->initialize(look.theme, look.mainColor, ctas);
        shown = testsupport::showCell(cell, 375, name);
    }
    ~Row() { OVWidgetManagerOLD::shared().setWebView(nullptr); }

    std::pair<bool, bool> buttonsShown() const {
        return {!cell->sendUpButton()->isHidden(), !cell->applePodcastsButton()->isHidden()};
    }
    void tap(const std::shared_ptr<View>& view) {
        shown.window->layoutIfNeeded();
        const Rect b = view->bounds();
        testsupport::tap(*shown.window, view->convertPoint(Point{b.midX(), b.midY()}, nullptr));
        RunLoop::main().runUntilIdle();
    }
};

const std::string site = "https://www.example.com/show";
const std::string apple = "https://podcasts.apple.com/podcast/id123";

TEST(ShareTableViewCell, EachButtonShowsExactlyWhileTheCallsToActionAllowIt) {
    Row row({});
    struct Step {
        std::string name;
        Ctas ctas;
        bool link, platform;
        std::optional<std::string> title;
    };
    const std::vector<Step> steps{
        {"no call to action", {}, false, false, std::nullopt},
        {"a titled seemore and an Apple address",
         {cta(OVCtaType::link, "Site", site), cta(OVCtaType::seemore, "Visit the site", site),
          cta(OVCtaType::podcastplatform, std::nullopt, std::nullopt, apple)},
         true, true, "Visit the site"},
        {"seemore without text, though another has a destination",
         {cta(OVCtaType::seemore, std::nullopt, site), cta(OVCtaType::link, "Site", site)}, false, false,
         std::nullopt},
        {"the platform's call to action without an Apple address",
         {cta(OVCtaType::seemore, "More", site), cta(OVCtaType::podcastplatform, "Listen", site)}, true, false,
         "More"},
        {"a later platform call to action with one",
         {cta(OVCtaType::podcastplatform, "Listen", site), cta(OVCtaType::podcastplatform, "Apple", site, apple)},
         false, true, std::nullopt},
        {"a fuller list again shows both", {cta(OVCtaType::seemore, "Read on", site),
                                            cta(OVCtaType::podcastplatform, std::nullopt, std::nullopt, apple)},
         true, true, "Read on"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        row.cell->initialize(OVTheme::light, Color{0.1, 0.35, 0.85, 1}, step.ctas);
        EXPECT_EQ(row.buttonsShown(), std::make_pair(step.link, step.platform));
        if (step.title) {
            EXPECT_EQ(row.cell->sendUpButton()->title(ControlState::normal), step.title);
        }
    }
}

TEST(ShareTableViewCell, EachTapOpensItsWebAddressOrNothingThenSendsItsEventOnce) {
    struct Case {
        std::string name;
        Ctas ctas;
        bool platformButton;
        std::optional<std::string> opened;
        bool refusedAddress = false;
    };
    const std::vector<Case> cases{
        {"link: the first readable destination, of any type",
         {cta(OVCtaType::seemore, "More", std::nullopt), cta(OVCtaType::other, "x", "not an address"),
          cta(OVCtaType::link, "Site", site), cta(OVCtaType::seemore, "Other", "https://other.example.com/")},
         false, site},
        {"link: no destination reads as an address",
         {cta(OVCtaType::seemore, "More", "not an address"), cta(OVCtaType::link, "Site", "also not one")}, false,
         std::nullopt},
        {"link: a script address is never opened",
         {cta(OVCtaType::seemore, "More", "javascript:alert(1)"), cta(OVCtaType::link, "Site", site)}, false,
         std::nullopt, true},
        {"link: nor a relative one", {cta(OVCtaType::seemore, "More", "episode.mp3")}, false, std::nullopt, true},
        {"platform: the first platform call to action's Apple address",
         {cta(OVCtaType::podcastplatform, "Apple", site, apple),
          cta(OVCtaType::podcastplatform, "Other", site, "https://podcasts.example.com/x")},
         true, apple},
        {"platform: the first one has none, a later one does not count",
         {cta(OVCtaType::podcastplatform, "Listen", site), cta(OVCtaType::podcastplatform, "Apple", site, apple)},
         true, std::nullopt},
        {"platform: an app address is never opened",
         {cta(OVCtaType::podcastplatform, "Apple", site, "itms-podcasts://podcasts.apple.com/id1")}, true,
         std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Row row(c.ctas);
        auto& application = Application::shared();
        const auto openedBefore = application.openedURLs().size();
        platform::core::DebugCapture capture;
        const auto button = c.platformButton ? row.cell->applePodcastsButton() : row.cell->sendUpButton();
        ASSERT_FALSE(button->isHidden());
        row.tap(button);
        const std::vector<std::string> opened(application.openedURLs().begin() + openedBefore,
                                              application.openedURLs().end());
        EXPECT_EQ(opened, c.opened ? std::vector<std::string>{*c.opened} : std::vector<std::string>{});
        EXPECT_EQ(row.scripts->scripts,
                  std::vector<std::string>{legacyEvent(c.platformButton ? "ctaPlatform" : "ctaWebsite")});
        EXPECT_EQ(capture.lines().size(), c.refusedAddress ? 1u : 0u);
        // The delegate is declared for the owner only: the element calls nobody.
        EXPECT_TRUE(row.coordinator->calls.empty());
    }
}

TEST(ShareTableViewCell, SystemsBefore10OpenThroughTheOlderCall) {
    const Ctas ctas{cta(OVCtaType::seemore, "More", site), cta(OVCtaType::podcastplatform, "Apple", site, apple)};
    auto& application = Application::shared();
    for (const auto& version : {SystemVersion{9, 3}, SystemVersion{10, 0}}) {
        SCOPED_TRACE(version.major);
        SystemVersion::setCurrent(version);
        Row row(ctas);
        const auto openedBefore = application.openedURLs().size();
        const int olderBefore = application.openURLCount();
        row.tap(row.cell->sendUpButton());
        row.tap(row.cell->applePodcastsButton());
        EXPECT_EQ(std::vector<std::string>(application.openedURLs().begin() + openedBefore,
                                           application.openedURLs().end()),
                  (std::vector<std::string>{site, apple}));
        EXPECT_EQ(application.openURLCount() - olderBefore, version.major < 10 ? 2 : 0);
    }
    SystemVersion::setCurrent(SystemVersion{});
}

TEST(ShareTableViewCell, SnapshotsOfTheRow) {
    const Ctas ctas{cta(OVCtaType::seemore, "Visit the site", site),
                    cta(OVCtaType::podcastplatform, std::nullopt, std::nullopt, apple)};
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        Row row(ctas, look, "share-" + look.name);
        const auto image = row.shown.image;
        ASSERT_TRUE(image);
        const Rect link = row.cell->sendUpButton()->convertRect(row.cell->sendUpButton()->bounds(), nullptr);
        const renderprobe::Rgba main{static_cast<int>(look.mainColor.red * 255 + 0.5),
                                     static_cast<int>(look.mainColor.green * 255 + 0.5),
                                     static_cast<int>(look.mainColor.blue * 255 + 0.5), 255};
        EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, link.origin.x + 4, link.origin.y + 4), main, 3));
        const Color background = look.theme.backgroundColor();
        const renderprobe::Rgba backgroundPixel{static_cast<int>(background.red * 255 + 0.5),
                                                static_cast<int>(background.green * 255 + 0.5),
                                                static_cast<int>(background.blue * 255 + 0.5), 255};
        EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 370, 10), backgroundPixel, 3));
    }
}

}  // namespace
