// The description row as its pages drive it: heights from the measured text,
// collapsed under the fade and read-more button or developed, each change in
// one batch of the page's table; read-more taps; themes; link filtering.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/text/TextLayout.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/web/WebView.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingPage.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using platform::graphics::Color;
using platform::graphics::Point;
using platform::ui::GradientLayer;
using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;
using platform::ui::TableViewDataSource;
using testsupport::RecordingPage;

// The page's rows, counting the batches the table applies (each outermost
// `endUpdates` asks for the sections once) and what the cell showed then.
struct CountingRows : TableViewDataSource {
    std::shared_ptr<TableViewDataSource> inner;
    std::function<void()> atBatchEnd;
    int batches = 0;
    int numberOfSections(TableView& table) override {
        ++batches;
        if (atBatchEnd) atBatchEnd();
        return inner->numberOfSections(table);
    }
    int numberOfRows(TableView& table, int section) override { return inner->numberOfRows(table, section); }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override {
        return inner->cellForRow(table, indexPath);
    }
};

struct Row {
    std::shared_ptr<RecordingPage> page;
    std::shared_ptr<OVPageElement::Description> element;
    std::shared_ptr<OVDescriptionTextTableViewCell> cell;
    std::shared_ptr<CountingRows> rows;
};

// A description element on a recording page (its delegate), or on none.
Row makeRow(bool onPage = true) {
    platform::core::RunLoop::main().useManualClock();
    OVElementNibs::registerAll();
    Row row;
    if (onPage) {
        row.page = OVPage::create<RecordingPage>(nullptr, [&](const std::shared_ptr<RecordingPage>& page) {
            row.element = OVPageElement::create<OVPageElement::Description>(nullptr, page);
            return OVPageElements{row.element};
        });
        row.element->tableViewCell()->setDelegate(row.page);
        row.rows = std::make_shared<CountingRows>();
        row.rows->inner = row.page->presenter;
        const auto& table = row.page->tableView();
        table->setDataSource(row.rows);
        table->beginUpdates();  // the first batch loads the rows
        (void)table->endUpdates();
        row.rows->batches = 0;
    } else {
        row.element = OVPageElement::create<OVPageElement::Description>(nullptr, nullptr);
    }
    row.cell = row.element->tableViewCell();
    return row;
}

// `count` words, each 20 characters: one word per line at the page width
// below, two at 500 points.
std::string words(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? " " : "") + std::string(20, 'x');
    return text;
}

// Every character 10 points wide, every line 5 points high: 351 points
// (375 less the margins) hold 35 characters.
std::shared_ptr<platform::ui::FixedAdvanceTextMeasurer> measurer() {
    return std::make_shared<platform::ui::FixedAdvanceTextMeasurer>(10, 5);
}

struct PageWidth {
    std::optional<double> saved = OVPage::width();
    explicit PageWidth(std::optional<double> width) { OVPage::width() = width; }
    ~PageWidth() { OVPage::width() = saved; }
};

TEST(OVDescriptionTextTableViewCell, TheRowCollapsesOrDevelopsToTheMeasuredTextInOneBatch) {
    platform::ui::ScopedTextMeasurer fixed(measurer());
    PageWidth width(375);
    struct Case {
        int lines;  // 5 points each
        bool developed;
        double height;
        bool faded;  // fade and read-more shown
    };
    for (const Case c : {Case{40, false, 65, true}, Case{13, false, 65, false}, Case{6, false, 30 + 65.0 / 3, false},
                         Case{40, true, 200, false}, Case{6, true, 30, false}}) {
        SCOPED_TRACE(std::to_string(c.lines) + (c.developed ? " developed" : " collapsed"));
        auto row = makeRow();
        row.cell->update(OVTheme::light, Color::black());
        row.cell->update(OVObjDescription{"Title", words(c.lines), std::nullopt});
        ASSERT_EQ(row.cell->textView()->sizeThatFits({351, 1e9}).height, c.lines * 5);

        std::optional<double> heightAtBatchEnd;
        row.rows->atBatchEnd = [&] { heightAtBatchEnd = row.cell->textViewHeightConstraint()->constant(); };
        row.cell->update(c.developed);
        EXPECT_EQ(row.rows->batches, 1);
        ASSERT_TRUE(heightAtBatchEnd);
        EXPECT_NEAR(*heightAtBatchEnd, c.height, 1e-9);  // changed before the batch ended
        EXPECT_NEAR(row.cell->textViewHeightConstraint()->constant(), c.height, 1e-9);
        EXPECT_EQ(row.cell->alphaGradientView()->isHidden(), !c.faded);
        EXPECT_EQ(row.cell->expandTextButton()->isHidden(), !c.faded);
    }
}

TEST(OVDescriptionTextTableViewCell, MeasuresAtThePageWidthOrItsOwnAndChangesNothingWithoutAPage) {
    platform::ui::ScopedTextMeasurer fixed(measurer());
    {
        SCOPED_TRACE("no page width: the cell's own 500 points hold two words a line");
        PageWidth width(std::nullopt);
        auto row = makeRow();
        row.cell->setFrame({0, 0, 500, 160});
        row.cell->update(OVTheme::light, Color::black());
        row.cell->update(OVObjDescription{"Title", words(40), std::nullopt});
        row.cell->update(true);
        EXPECT_EQ(row.cell->textViewHeightConstraint()->constant(), 100);
    }
    {
        SCOPED_TRACE("an element made without a page");
        PageWidth width(375);
        auto row = makeRow(/*onPage=*/false);
        row.cell->update(OVTheme::light, Color::black());
        row.cell->update(OVObjDescription{"Title", words(40), std::nullopt});
        const double before = row.cell->textViewHeightConstraint()->constant();
        const bool fadeHidden = row.cell->alphaGradientView()->isHidden();
        const bool buttonHidden = row.cell->expandTextButton()->isHidden();
        for (const bool developed : {true, false}) {
            row.cell->update(developed);
            EXPECT_EQ(row.cell->textViewHeightConstraint()->constant(), before);
            EXPECT_EQ(row.cell->alphaGradientView()->isHidden(), fadeHidden);
            EXPECT_EQ(row.cell->expandTextButton()->isHidden(), buttonHidden);
        }
    }
}

// The legacy bridge's web view: what it is asked to run joins the page's
// record of calls.
class ScriptRecorder : public platform::web::WebView {
public:
    ScriptRecorder(Token token, testsupport::Calls& calls) : WebView(token, {}), calls_(calls) {}
    static std::shared_ptr<ScriptRecorder> make(testsupport::Calls& calls) {
        return std::make_shared<ScriptRecorder>(Token{}, calls);
    }
    void evaluateJavaScript(const std::string& script, EvaluationCompletion /*completion*/) override {
        calls_.push_back("script: " + script);
    }

private:
    testsupport::Calls& calls_;
};

TEST(OVDescriptionTextTableViewCell, ReadMoreSendsTheLegacyEventThenAsksThePageWhichDevelopsTheText) {
    platform::ui::ScopedTextMeasurer fixed(measurer());
    PageWidth width(375);
    for (const bool withDelegate : {true, false}) {
        SCOPED_TRACE(withDelegate ? "with a delegate" : "without a delegate");
        auto row = makeRow();
        if (!withDelegate) row.cell->setDelegate({});
        row.cell->update(OVTheme::light, Color{0.2, 0.4, 0.8, 1});
        row.cell->update(OVObjDescription{"Title", words(40), std::nullopt});
        row.cell->update(false);
        auto shown = testsupport::showCell(row.cell, 375, "description-read-more");
        const auto& button = row.cell->expandTextButton();
        ASSERT_FALSE(button->isHidden());

        auto& bridge = OVWidgetManagerOLD::shared();
        bridge.setWebView(ScriptRecorder::make(row.page->calls));
        const auto bounds = button->bounds();
        testsupport::tap(*shown.window, button->convertPoint({bounds.midX(), bounds.midY()}, nullptr));
        bridge.setWebView(nullptr);

        const std::string event = "script: " + bridge.player() + ".collectEvent(seeMore, )";
        if (!withDelegate) {
            EXPECT_EQ(row.page->calls, (testsupport::Calls{event}));
            continue;
        }
        EXPECT_EQ(row.page->calls, (testsupport::Calls{event, "didTapSeeMore()"}));
        ASSERT_EQ(row.page->seeMoreElements.size(), 1u);
        EXPECT_EQ(row.page->seeMoreElements[0], row.element);
        // The tap alone develops nothing; the page does.
        EXPECT_EQ(row.cell->textViewHeightConstraint()->constant(), 65);
        row.page->developDescription(row.page->seeMoreElements[0]);
        EXPECT_EQ(row.cell->textViewHeightConstraint()->constant(), 200);
        EXPECT_TRUE(button->isHidden());
    }
}

TEST(OVDescriptionTextTableViewCell, ThemesRestyleOneSeparatorAndOneFadeAndColourTheReadMoreTitle) {
    auto row = makeRow();
    const Color main{0.9, 0.3, 0.1, 1};
    struct Step {
        OVTheme theme;
        std::optional<Color> mainColor;
        Color title;
    };
    for (const Step& s : {Step{OVTheme::light, std::nullopt, Color::black()}, Step{OVTheme::dark, main, main},
                          Step{OVTheme::light, main, main}, Step{OVTheme::dark, std::nullopt, Color::black()}}) {
        row.cell->update(s.theme, s.mainColor);
        EXPECT_EQ(row.cell->expandTextButton()->titleColor(platform::ui::ControlState::normal), s.title);
        EXPECT_EQ(row.cell->contentView()->backgroundColor(), s.theme.backgroundColor());
        EXPECT_EQ(row.cell->textView()->textColor(), s.theme.color(OVTheme::FontColor::typeB));
    }
    row.cell->layoutIfNeeded();
    // One line in either theme's separator colour: the last theme's, at the bottom.
    std::vector<std::shared_ptr<platform::ui::View>> lines;
    for (const auto& view : row.cell->subviews()) {
        const auto colour = view->backgroundColor();
        if (colour == OVTheme(OVTheme::light).separatorColor() || colour == OVTheme(OVTheme::dark).separatorColor())
            lines.push_back(view);
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->backgroundColor(), OVTheme(OVTheme::dark).separatorColor());
    EXPECT_EQ(lines[0]->frame().maxY(), row.cell->bounds().height());
    const auto& sublayers = row.cell->alphaGradientView()->layer()->sublayers();
    EXPECT_EQ(std::count_if(sublayers.begin(), sublayers.end(),
                            [](const auto& l) { return std::dynamic_pointer_cast<GradientLayer>(l) != nullptr; }),
              1);
    const Color background = OVTheme(OVTheme::dark).backgroundColor();
    const auto& gradient = row.cell->gradientLayer();
    ASSERT_TRUE(gradient);
    EXPECT_EQ(gradient->colors(), (std::vector<Color>{background.withAlphaComponent(0), background}));
    EXPECT_EQ(gradient->startPoint(), (Point{0, 0}));
    EXPECT_EQ(gradient->endPoint(), (Point{1, 0}));
}

TEST(OVDescriptionTextTableViewCell, DescriptionsNeedAThemeFirstAndATextAndPodcastsPassTheirsOn) {
    auto row = makeRow();
    const OVObjDescription about{"Title", "<p>About <b>this</b> show.</p>", std::nullopt};
    row.cell->update(about);
    row.cell->update(OVTheme::light, Color::black());
    EXPECT_EQ(row.cell->textView()->text(), "");  // dropped, not kept for later
    EXPECT_FALSE(row.cell->headerLabel()->attributedText());

    row.cell->update(about);
    ASSERT_TRUE(row.cell->headerLabel()->attributedText());
    EXPECT_EQ(row.cell->headerLabel()->attributedText()->string(), "About");
    EXPECT_NE(row.cell->textView()->text().find("About this show."), std::string::npos);

    // Without text, nothing changes; a podcast without description neither.
    row.cell->update(OVObjDescription{"Other", std::nullopt, std::nullopt});
    auto bare = testsupport::content::podcast({.described = false});
    row.cell->update(bare);
    EXPECT_NE(row.cell->textView()->text().find("About this show."), std::string::npos);
    // A podcast's own description replaces it.
    row.cell->update(testsupport::content::podcast({.title = "Night Shift"}));
    EXPECT_NE(row.cell->textView()->text().find("a conversation about Night Shift"), std::string::npos);
}

TEST(OVDescriptionTextTableViewCell, OnlyWebLinksOfTheDescriptionOpen) {
    PageWidth width(375);
    auto row = makeRow();
    row.cell->update(OVTheme::light, Color::black());
    row.cell->update(OVObjDescription{
        "Title",
        "<p><a href=\"javascript:alert(1)\">script</a> <a href=\"file:///etc/passwd\">file</a> "
        "<a href=\"HTTPS://example.com/show\">site</a></p>",
        std::nullopt});
    row.cell->update(true);
    auto shown = testsupport::showCell(row.cell, 375, "description-links");
    const auto& textView = row.cell->textView();
    const std::string text = textView->text();
    // A point of the window over the word's middle character.
    const auto over = [&](const std::string& word) -> std::optional<Point> {
        const std::size_t index = text.find(word) + word.size() / 2;
        const auto b = textView->bounds();
        for (double y = 1; y < b.height(); y += 2)
            for (double x = 1; x < b.width(); x += 2)
                if (textView->characterIndexAt({x, y}) == index) return textView->convertPoint({x, y}, nullptr);
        return std::nullopt;
    };
    auto& application = platform::ui::Application::shared();
    const auto before = application.openedURLs().size();
    for (const std::string word : {"script", "file", "site"}) {
        const auto point = over(word);
        ASSERT_TRUE(point) << word;
        testsupport::tap(*shown.window, *point);
    }
    ASSERT_EQ(application.openedURLs().size(), before + 1);
    EXPECT_EQ(application.openedURLs().back(), "HTTPS://example.com/show");
}

}  // namespace
