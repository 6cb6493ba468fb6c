// The base view controller of every page the root container shows: one
// full-size table whose rows are page elements, its presenter being the
// table's data source (set by each page) and the page its delegate. The
// base sets the table up (frame, insets, background, every element cell's
// nib registered), paints the background (opaque white, or, when the bar is
// not always shown, a gradient from transparent at the top to the theme's
// background from a fifth of the height down, behind the table and framed
// with the page at each layout), decides from the scroll offset when its
// screen shows the navigation bar, gives pushed pages a back button, pages
// the root container sideways, locks scrolling while the compact
// presentation is in preview or shrinking, estimates row heights from the
// elements' own cells and offers the hooks the state managers call.
//
// Also the pages' shared static configuration: the arrow images of the
// buttons that lead back to the main page (the facade fills it) and the page
// width recorded at the first full-screen state. A page stands on a screen
// (`OVScreen`), which tells it when the bar is shown or hidden.
// Main thread only; a page holds its presenter strongly.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVFanViewControllerProtocol.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "orvane/pages/OVPageProtocol.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVScreen;
class OVGradientUIView;

class OVPage : public platform::ui::ViewController,
               public platform::ui::TableViewDelegate,
               public OVPageProtocol {
public:
    // When the screen's navigation bar is shown while the page is on top.
    enum class NavigationBarDisplay { always, whenScrolling, never };

    struct Config {
        std::optional<platform::graphics::Image> navigationToMainPageLeftArrow;
        std::optional<platform::graphics::Image> navigationToMainPageRightArrow;
    };
    // The one configuration of every page.
    static Config& config();
    // The page width recorded at each full-screen state; none before the first.
    static std::optional<double>& width();

    // The compact presentation's states as the root container passes them
    // (their raw values).
    static constexpr int closedState = 0, previewState = 1, expandingState = 2, fullScreenState = 3,
                         shrinkingState = 4, dismissingState = 5;

    // Makes a page in two phases: the page is made and owned first, then its
    // `initialize(arguments...)` runs, so that what a page builds there (its
    // elements, presenter and state manager) can be handed
    // `shared_from_this()`. A page class declares its `initialize` public (or
    // befriends OVPage); without arguments the base's empty one does.
    template <class Page, class... Arguments>
    static std::shared_ptr<Page> create(Arguments&&... arguments) {
        static_assert(std::is_base_of_v<OVPage, Page>);
        auto page = std::make_shared<Page>(ConstructorKey{});
        page->initialize(std::forward<Arguments>(arguments)...);
        return page;
    }
    void initialize() {}

    explicit OVPage(ConstructorKey key);
    ~OVPage() override;

    const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }
    // Read by `viewDidLoad`: a subclass sets them before the view loads.
    NavigationBarDisplay navigationBarDisplaysWhenScrolling() const { return navigationBarDisplaysWhenScrolling_; }
    void setNavigationBarDisplaysWhenScrolling(NavigationBarDisplay d) { navigationBarDisplaysWhenScrolling_ = d; }
    bool pageDisplaysFoterPlayer() const { return pageDisplaysFoterPlayer_; }
    void setPageDisplaysFoterPlayer(bool displays) { pageDisplaysFoterPlayer_ = displays; }
    std::shared_ptr<platform::ui::Button> leftButton() const { return leftButton_.lock(); }
    void setLeftButton(const std::shared_ptr<platform::ui::Button>& button) { leftButton_ = button; }
    std::shared_ptr<platform::ui::Button> rightButton() const { return rightButton_.lock(); }
    void setRightButton(const std::shared_ptr<platform::ui::Button>& button) { rightButton_ = button; }
    const std::shared_ptr<OVPageInteractorInput>& genericInteractor() const { return genericInteractor_; }
    void setGenericInteractor(std::shared_ptr<OVPageInteractorInput> interactor) {
        genericInteractor_ = std::move(interactor);
    }

    // The content configuration's theme.
    std::optional<OVTheme> theme() const;
    // The page's navigation controller when it is a screen.
    std::shared_ptr<OVScreen> ovNavigationController() const;
    // The root container of the page's screen, if any.
    std::shared_ptr<OVFanViewControllerProtocol> fanViewController() const override;

    // ---- Hooks (nothing in the base unless said) ----
    virtual void initializeNavigationButtons() {}
    virtual void presentationAnimationWillStart() {}
    // The background; once only: called again, it restyles the one gradient.
    virtual void initializeUI();
    virtual void initializeTableView();
    // Adds to the table's current inset: +50 at the top when the bar is
    // always shown, +50 at the bottom (+140 with the footer player).
    virtual void setContentInset();
    // Puts the page footer under the table when there is a theme and a
    // powered-by text.
    virtual void setFooter();
    // Told by the page's screen each time it shows or hides its bar.
    virtual void navigationBarDisplayChanged(bool /*to*/) {}
    virtual void update(const OVTheme& /*withTheme*/, const platform::graphics::Color& /*andMainColor*/) {}
    virtual void update(const std::shared_ptr<OVTrack>& /*withEpisode*/, const OVContent& /*inPodcast*/) {}
    virtual void update(OVAudioPlayerStatus /*withAudioStatus*/) {}
    virtual void update(const OVAudioPosition& /*withAudioPosition*/) {}

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Page the root container to the screen before or after.
    void swipeReverse();
    void swipeForward();
    // Gives `page` its back button, then pushes it onto this page's screen
    // (nothing is pushed without one).
    void push(const std::shared_ptr<OVPage>& page, bool animated) override;
    // The compact presentation's new state (raw value): preview and
    // shrinking lock the table's scrolling; full screen records the width
    // and unlocks it.
    void stateDidChange(int toValue);
    // Runs `block` inside one batch of table updates.
    void execute(const std::function<void()>& block);
    // Shows the whole text of a description element's cell.
    template <class DescriptionElement>
    void developDescription(const std::shared_ptr<DescriptionElement>& forElement) {
        if (!forElement) return;
        if (const auto& cell = forElement->tableViewCell()) cell->update(/*textIsDeveloped=*/true);
    }

    // Gives the title of each identity header among `elements` the width the
    // laid-out page gives it (a title measured at width 0 would scroll even
    // when it fits). Call once the page has its width.
    void fitHeaderTitles(const OVPageElements& elements);

    // ---- TableViewDelegate ----
    // The height of the row's element's own cell, else automatic.
    double estimatedHeightForRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ui::ScrollView& scrollView) override;

private:
    void setNavigationControllerBackButton();
    void updateNavigationBarDisplay();
    void pop();

    std::shared_ptr<platform::ui::TableView> tableView_;
    NavigationBarDisplay navigationBarDisplaysWhenScrolling_ = NavigationBarDisplay::always;
    bool pageDisplaysFoterPlayer_ = true;
    std::weak_ptr<platform::ui::Button> leftButton_;
    std::weak_ptr<platform::ui::Button> rightButton_;
    std::shared_ptr<OVPageInteractorInput> genericInteractor_;
    std::shared_ptr<OVGradientUIView> gradientView_;
};

}  // namespace orvane
