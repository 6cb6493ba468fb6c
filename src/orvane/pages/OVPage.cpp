#include "orvane/pages/OVPage.hpp"

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/OVMockData.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPageFooter.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/toolkit/OVGradientUIView.hpp"
#include "platform/ui/controllers/NavigationController.hpp"

namespace orvane {

using platform::ui::AutoresizingMask;
using platform::graphics::Color;
using platform::graphics::EdgeInsets;
using platform::ui::TableView;

OVPage::Config& OVPage::config() {
    static Config config;
    return config;
}

std::optional<double>& OVPage::width() {
    static std::optional<double> width;
    return width;
}

OVPage::OVPage(ConstructorKey key) : ViewController(key), tableView_(TableView::create()) {}

OVPage::~OVPage() = default;

std::optional<OVTheme> OVPage::theme() const { return OVMock::Data::shared().theme(); }

std::shared_ptr<OVScreen> OVPage::ovNavigationController() const {
    return std::dynamic_pointer_cast<OVScreen>(navigationController());
}

std::shared_ptr<OVFanViewControllerProtocol> OVPage::fanViewController() const {
    auto screen = ovNavigationController();
    return screen ? screen->fanViewController() : nullptr;
}

void OVPage::viewDidLoad() {
    initializeUI();
    initializeTableView();
    setContentInset();
}

void OVPage::initializeUI() {
    const auto root = view();
    if (navigationBarDisplaysWhenScrolling_ == NavigationBarDisplay::always) {
        root->setBackgroundColor(Color::white());
    } else {
        root->setBackgroundColor(Color::white().withAlphaComponent(0));
        if (const auto t = theme()) {
            const Color b = t->backgroundColor();
            if (!gradientView_) {
                gradientView_ = OVGradientUIView::create(platform::graphics::Rect{{}, root->bounds().size});
                // Framed with the page at each layout.
                gradientView_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
                gradientView_->setUserInteractionEnabled(false);
                root->insertSubview(gradientView_, 0);
            }
            gradientView_->gradient({{0, b.withAlphaComponent(0)}, {0.2, b}});
        }
    }
    initializeNavigationButtons();
}

void OVPage::initializeTableView() {
    const auto root = view();
    tableView_->setFrame(root->frame());
    tableView_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
    tableView_->setContentInsetAdjustmentBehavior(platform::ui::ContentInsetAdjustmentBehavior::never);
    root->addSubview(tableView_);
    tableView_->setDelegate(std::static_pointer_cast<OVPage>(shared_from_this()));
    tableView_->setSeparatorStyle(platform::ui::TableViewCellSeparatorStyle::none);
    tableView_->setRowHeight(TableView::automaticDimension);
    tableView_->setEstimatedRowHeight(TableView::automaticDimension);
    tableView_->setBackgroundColor(Color::white().withAlphaComponent(0));
    tableView_->setShowsVerticalScrollIndicator(false);
    for (const auto& identifier : OVPageElement::reuseIdentifiers()) tableView_->registerNib(identifier, identifier);
}

void OVPage::setContentInset() {
    EdgeInsets inset = tableView_->contentInset();
    double extraBottom = 50;
    if (pageDisplaysFoterPlayer_) extraBottom = 50 + OVConstants::OVFooterPlayer::height;
    if (navigationBarDisplaysWhenScrolling_ == NavigationBarDisplay::always) inset.top += 50;
    inset.bottom += extraBottom;
    tableView_->setContentInset(inset);
}

void OVPage::setFooter() {
    auto footer = OVPageFooter::makeForPage(shared_from_this(), theme(), OVMock::Data::shared().poweredByLabel());
    if (footer) tableView_->setTableFooterView(footer);
}

void OVPage::viewWillAppear(bool /*animated*/) { updateNavigationBarDisplay(); }

void OVPage::scrollViewDidScroll(platform::ui::ScrollView& /*scrollView*/) { updateNavigationBarDisplay(); }

void OVPage::updateNavigationBarDisplay() {
    const auto screen = ovNavigationController();
    if (!screen) return;
    switch (navigationBarDisplaysWhenScrolling_) {
    case NavigationBarDisplay::always: screen->dispalayNavigationBar(true); break;
    case NavigationBarDisplay::whenScrolling: screen->dispalayNavigationBar(tableView_->contentOffset().y > 100); break;
    case NavigationBarDisplay::never: screen->dispalayNavigationBar(false); break;
    }
}

void OVPage::setNavigationControllerBackButton() {
    auto button = platform::ui::Button::create();
    leftButton_ = button;
    button->addTarget(std::static_pointer_cast<OVPage>(shared_from_this()), &OVPage::pop,
                      platform::ui::ControlEvents::touchUpInside);
    platform::ui::BarButtonItem item;
    item.customView = button;
    navigationItem()->setLeftBarButtonItem(std::move(item));
    if (auto image = OVGetAsset::navigationLeftArrowButton()) {
        button->setImage(image->withRenderingMode(platform::graphics::Image::RenderingMode::alwaysOriginal),
                         platform::ui::ControlState::normal);
    }
}

void OVPage::pop() {
    if (auto navigation = navigationController()) navigation->pop(true);
}

void OVPage::push(const std::shared_ptr<OVPage>& page, bool animated) {
    if (!page) return;
    page->setNavigationControllerBackButton();
    if (auto navigation = navigationController()) navigation->push(page, animated);
}

void OVPage::swipeReverse() {
    if (auto fan = fanViewController()) fan->swipe(platform::ui::PageViewControllerNavigationDirection::reverse);
}

void OVPage::swipeForward() {
    if (auto fan = fanViewController()) fan->swipe(platform::ui::PageViewControllerNavigationDirection::forward);
}

void OVPage::stateDidChange(int toValue) {
    switch (toValue) {
    case previewState:
    case shrinkingState: tableView_->setScrollEnabled(false); break;
    case fullScreenState:
        width() = view()->bounds().size.width;
        tableView_->setScrollEnabled(true);
        break;
    default: break;
    }
}

void OVPage::execute(const std::function<void()>& block) {
    tableView_->beginUpdates();
    if (block) block();
    (void)tableView_->endUpdates();  // a refused batch is reported by the table
}

double OVPage::estimatedHeightForRow(TableView& /*tableView*/, const platform::ui::IndexPath& indexPath) {
    if (!genericInteractor_) return TableView::automaticDimension;
    const auto& elements = genericInteractor_->pageElements();
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= elements.size() || !elements[indexPath.row])
        return TableView::automaticDimension;
    if (auto cell = elements[static_cast<std::size_t>(indexPath.row)]->elementTableViewCell())
        return cell->bounds().size.height;
    return TableView::automaticDimension;
}

void OVPage::fitHeaderTitles(const OVPageElements& elements) {
    // The header's width is known once the table has placed it.
    view()->layoutIfNeeded();
    for (const auto& element : elements) {
        if (!element) continue;
        const auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(element->elementTableViewCell());
        const auto label = header ? header->titleLabel() : nullptr;
        if (!label) continue;
        header->layoutIfNeeded();
        const double width = label->bounds().width();
        if (width > 0 && label->textMaxLength() != width) label->setTextMaxLength(width);
    }
}

}  // namespace orvane
