#include "platform/ui/lists/TableView.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/input/TapGestureRecognizer.hpp"

namespace platform::ui {

namespace {

std::string describe(const IndexPath& p) {
    return "(section " + std::to_string(p.section) + ", row " + std::to_string(p.row) + ")";
}

std::unexpected<TableViewUpdateError> refuse(std::string message) {
    core::debugPrint("table view: " + message);
    return std::unexpected(TableViewUpdateError{std::move(message)});
}

}  // namespace

double TableViewDelegate::heightForRow(TableView& tableView, const IndexPath& /*indexPath*/) {
    return tableView.rowHeight();
}

double TableViewDelegate::estimatedHeightForRow(TableView& tableView, const IndexPath& /*indexPath*/) {
    return tableView.estimatedRowHeight();
}

double TableViewDelegate::heightForHeaderInSection(TableView& tableView, int /*section*/) {
    return tableView.sectionHeaderHeight();
}

std::shared_ptr<TableView> TableView::create(const Rect& frame, TableViewStyle style) {
    auto table = std::make_shared<TableView>(ConstructorKey{}, frame, style);
    table->installPanGestureRecognizer();
    table->ensureTapRecognizer();
    return table;
}

TableView::TableView(ConstructorKey key, const Rect& frame, TableViewStyle style)
    : ScrollView(key, frame), style_(style) {
    setBackgroundColor(Color::white());
    // A list bounces up and down however short it is, so it keeps its
    // vertical drags and leaves the sideways ones to what holds it.
    setAlwaysBounceVertical(true);
}

TableView::~TableView() = default;

void TableView::ensureTapRecognizer() {
    if (tap_) return;
    tap_ = TapGestureRecognizer::create(std::static_pointer_cast<TableView>(shared_from_this()),
                                        &TableView::handleTap);
    // The cells still see their touches.
    tap_->setCancelsTouchesInView(false);
    addGestureRecognizer(tap_);
}

void TableView::setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource) {
    dataSource_ = dataSource;
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::setDelegate(const std::shared_ptr<TableViewDelegate>& delegate) {
    delegate_ = delegate;
    ScrollView::setDelegate(delegate);
    heightsDirty_ = true;
    setNeedsLayout();
}

void TableView::registerNib(const std::string& nibName, const std::string& reuseIdentifier) {
    pool_.registerNib(nibName, reuseIdentifier);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& reuseIdentifier,
                                                              const IndexPath& /*indexPath*/) {
    if (auto cell = pool_.dequeue(reuseIdentifier)) return cell;
    return TableViewCell::create(reuseIdentifier);
}

void TableView::registerHeaderFooterNib(const std::string& nibName, const std::string& reuseIdentifier) {
    headerPool_.registerNib(nibName, reuseIdentifier);
}

std::shared_ptr<TableViewHeaderFooterView> TableView::dequeueReusableHeaderFooterView(
    const std::string& reuseIdentifier) {
    if (auto header = headerPool_.dequeue(reuseIdentifier)) return header;
    return TableViewHeaderFooterView::create();
}

void TableView::setSectionHeaderHeight(double height) {
    sectionHeaderHeight_ = height;
    heightsDirty_ = true;
    setNeedsLayout();
}

std::shared_ptr<View> TableView::headerView(int section) const {
    auto it = loadedHeaders_.find(section);
    return it == loadedHeaders_.end() ? nullptr : it->second;
}

Rect TableView::rectForHeaderInSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return Rect::null();
    const auto s = static_cast<std::size_t>(section);
    return Rect{0, sectionTops_[s], bounds().size.width, headerHeights_[s]};
}

double TableView::askedHeaderHeight(int section) {
    const double h = delegate() ? delegate()->heightForHeaderInSection(*this, section) : sectionHeaderHeight_;
    return std::isfinite(h) ? std::max(0.0, h) : 0.0;
}

void TableView::setRowHeight(double height) {
    rowHeight_ = height;
    heightsDirty_ = true;
    setNeedsLayout();
}

void TableView::setEstimatedRowHeight(double height) {
    estimatedRowHeight_ = height;
    heightsDirty_ = true;
    setNeedsLayout();
}

int TableView::numberOfRows(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return sections_[static_cast<std::size_t>(section)];
}

void TableView::reloadData() {
    PLATFORM_ASSERT_MAIN_THREAD();
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::reloadIfNeeded() {
    if (!needsReload_) return;
    needsReload_ = false;
    heightsDirty_ = false;
    laidOutWidth_ = bounds().size.width;
    std::vector<int> flats;
    for (const auto& [flat, cell] : loaded_) flats.push_back(flat);
    for (int flat : flats) enqueue(flat);
    std::vector<int> headers;
    for (const auto& [section, view] : loadedHeaders_) headers.push_back(section);
    for (int section : headers) enqueueHeader(section);
    selected_.reset();

    sections_.clear();
    sectionStart_.clear();
    rows_.clear();
    headerHeights_.clear();
    auto ds = dataSource();
    const int sectionCount = ds ? std::max(0, ds->numberOfSections(*this)) : 0;
    for (int s = 0; s < sectionCount; ++s) {
        sectionStart_.push_back(static_cast<int>(rows_.size()));
        const int count = std::max(0, ds->numberOfRows(*this, s));
        sections_.push_back(count);
        headerHeights_.push_back(askedHeaderHeight(s));
        for (int r = 0; r < count; ++r) rows_.push_back(initialRow(IndexPath{s, r}));
    }
    rebuildOffsets();
}

double TableView::explicitHeight(const IndexPath& indexPath) {
    if (auto d = delegate()) return d->heightForRow(*this, indexPath);
    return rowHeight_;
}

TableView::Row TableView::initialRow(const IndexPath& indexPath) {
    double estimate = estimatedRowHeight_;
    if (auto d = delegate()) estimate = d->estimatedHeightForRow(*this, indexPath);
    if (estimate > 0 && std::isfinite(estimate)) return Row{estimate, false};
    // Without an estimate of its own, a fixed height is known at once; an
    // automatic one is guessed until the row loads.
    const double h = explicitHeight(indexPath);
    if (h != automaticDimension && h >= 0 && std::isfinite(h)) return Row{h, true};
    return Row{defaultEstimatedRowHeight, false};
}

double TableView::measuredHeight(const IndexPath& indexPath, TableViewCell& cell) {
    double h = explicitHeight(indexPath);
    if (h == automaticDimension) {
        if (!window()) measuredOutOfWindow_ = true;
        h = cell.heightThatFits(bounds().size.width);
    }
    return std::isfinite(h) ? std::max(0.0, h) : 0.0;
}

void TableView::rebuildOffsets(int fromFlat) {
    const int sectionCount = numberOfSections();
    offsets_.resize(rows_.size());
    sectionTops_.resize(static_cast<std::size_t>(sectionCount));
    // Sections before the one holding `fromFlat` keep their places.
    int first = 0;
    if (fromFlat > 0 && fromFlat < static_cast<int>(rows_.size())) first = pathOf(fromFlat).section;
    double y = first > 0 ? sectionTops_[static_cast<std::size_t>(first)] : 0;
    for (int s = first; s < sectionCount; ++s) {
        const auto si = static_cast<std::size_t>(s);
        sectionTops_[si] = y;
        y += headerHeights_[si];
        const int start = sectionStart_[si];
        for (int r = 0; r < sections_[si]; ++r) {
            const auto i = static_cast<std::size_t>(start + r);
            offsets_[i] = y;
            y += rows_[i].height;
        }
    }
    contentEnd_ = y;
    updateContentSize();
}

int TableView::firstRowEndingAfter(double y) const {
    int low = 0, high = static_cast<int>(rows_.size());
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (rowBottom(static_cast<std::size_t>(mid)) <= y) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

void TableView::updateContentSize() {
    const double footerHeight = footer_ ? footer_->frame().height() : 0;
    setContentSize(Size{bounds().size.width, contentEnd_ + footerHeight});
}

void TableView::placeFooter() {
    if (!footer_) return;
    footer_->setFrame(Rect{0, contentEnd_, bounds().size.width, footer_->frame().height()});
}

IndexPath TableView::pathOf(int flat) const {
    auto it = std::upper_bound(sectionStart_.begin(), sectionStart_.end(), flat);
    // Empty sections share their start with the next one: the last section
    // whose start is at most `flat` holds it.
    const int section = static_cast<int>(it - sectionStart_.begin()) - 1;
    return IndexPath{section, flat - sectionStart_[static_cast<std::size_t>(section)]};
}

void TableView::styleCell(TableViewCell& cell) const {
    cell.setSeparator(separatorStyle_ == TableViewCellSeparatorStyle::singleLine, separatorColor_, separatorInset_);
}

void TableView::enqueue(int flat) {
    auto it = loaded_.find(flat);
    if (it == loaded_.end()) return;
    auto cell = std::move(it->second);
    loaded_.erase(it);
    cell->removeFromSuperview();
    if (auto d = delegate()) d->didEndDisplayingCell(*this, *cell, pathOf(flat));
    pool_.enqueue(std::move(cell));
}

void TableView::loadRow(int flat) {
    const IndexPath path = pathOf(flat);
    auto ds = dataSource();
    std::shared_ptr<TableViewCell> cell = ds ? ds->cellForRow(*this, path) : nullptr;
    if (!cell) {
        core::debugPrint("table view: the data source gave no cell for " + describe(path) +
                         "; the row shows an empty cell");
        cell = TableViewCell::create();
    }
    // A data source that hands the same cell to another row moves it.
    for (auto it = loaded_.begin(); it != loaded_.end(); ++it) {
        if (it->second == cell) {
            loaded_.erase(it);
            break;
        }
    }
    const double width = bounds().size.width;
    View::performWithoutAnimation([&] {
        cell->setFrame(Rect{0, offsets_[static_cast<std::size_t>(flat)], width, cell->frame().height()});
        styleCell(*cell);
        cell->setSelected(selected_ == path);
        cell->pinContentViewIfConstrained();
        if (cell->superview().get() != this) insertSubview(cell, 0);
    });
    Row& row = rows_[static_cast<std::size_t>(flat)];
    if (!row.measured) {
        const double h = measuredHeight(path, *cell);
        row.measured = true;
        if (h != row.height) {
            row.height = h;
            rebuildOffsets(flat);
        }
    }
    View::performWithoutAnimation([&] {
        cell->setFrame(Rect{0, offsets_[static_cast<std::size_t>(flat)], width, row.height});
    });
    loaded_[flat] = cell;
    if (auto d = delegate()) d->willDisplayCell(*this, *cell, path);
}

void TableView::refreshHeights() {
    heightsDirty_ = false;
    for (int s = 0; s < numberOfSections(); ++s) headerHeights_[static_cast<std::size_t>(s)] = askedHeaderHeight(s);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const int flat = static_cast<int>(i);
        auto it = loaded_.find(flat);
        if (it != loaded_.end()) {
            rows_[i] = Row{measuredHeight(pathOf(flat), *it->second), true};
        } else {
            rows_[i] = initialRow(pathOf(flat));
        }
    }
    rebuildOffsets();
}

void TableView::layoutRows() {
    if (laying_ || updateDepth_ > 0) return;
    laying_ = true;
    const std::shared_ptr<View> keep = shared_from_this();
    reloadIfNeeded();
    if (heightsDirty_ || bounds().size.width != laidOutWidth_) {
        laidOutWidth_ = bounds().size.width;
        refreshHeights();
    }

    const Rect visible = bounds();
    const int n = static_cast<int>(rows_.size());
    auto outside = [&](int flat) {
        const auto i = static_cast<std::size_t>(flat);
        return visible.isEmpty() || rowBottom(i) <= visible.minY() || offsets_[i] >= visible.maxY();
    };
    // Rows that left the visible range give their cells back first, so the
    // rows coming in can take them.
    std::vector<int> gone;
    for (const auto& [flat, cell] : loaded_)
        if (outside(flat)) gone.push_back(flat);
    for (int flat : gone) enqueue(flat);

    std::set<int> shown;
    if (!visible.isEmpty()) {
        // The first row whose bottom lies below the top of the visible area.
        int flat = firstRowEndingAfter(visible.minY());
        for (; flat < n && offsets_[static_cast<std::size_t>(flat)] < visible.maxY(); ++flat) {
            if (!loaded_.contains(flat)) loadRow(flat);
            shown.insert(flat);
        }
    }
    // Rows pushed out by the heights measured on the way.
    gone.clear();
    for (const auto& [flat, cell] : loaded_)
        if (!shown.contains(flat)) gone.push_back(flat);
    for (int flat : gone) enqueue(flat);

    const double width = visible.size.width;
    for (const auto& [flat, cell] : loaded_) {
        const auto i = static_cast<std::size_t>(flat);
        cell->setFrame(Rect{0, offsets_[i], width, rows_[i].height});
    }
    layoutHeaders(visible);
    updateContentSize();
    placeFooter();
    laying_ = false;
}

void TableView::enqueueHeader(int section) {
    auto it = loadedHeaders_.find(section);
    if (it == loadedHeaders_.end()) return;
    auto view = std::move(it->second);
    loadedHeaders_.erase(it);
    if (!view) return;
    view->removeFromSuperview();
    if (auto d = delegate()) d->didEndDisplayingHeaderView(*this, *view, section);
    if (auto header = std::dynamic_pointer_cast<TableViewHeaderFooterView>(view)) headerPool_.enqueue(std::move(header));
}

void TableView::layoutHeaders(const Rect& visible) {
    const int sectionCount = numberOfSections();
    auto shows = [&](int section) {
        const Rect area = rectForHeaderInSection(section);
        return !visible.isEmpty() && area.size.height > 0 && area.maxY() > visible.minY() &&
               area.minY() < visible.maxY();
    };
    // Headers that left the visible range (or their section) go first, so
    // the ones coming in can take their views.
    std::vector<int> gone;
    for (const auto& [section, view] : loadedHeaders_)
        if (section >= sectionCount || !shows(section)) gone.push_back(section);
    for (int section : gone) enqueueHeader(section);

    if (visible.isEmpty()) return;
    // The first section whose header ends below the top of the visible area
    // (header bottoms only grow from one section to the next).
    const auto firstHeader = std::partition_point(sectionTops_.begin(), sectionTops_.end(), [&](const double& top) {
        const auto s = static_cast<std::size_t>(&top - sectionTops_.data());
        return top + headerHeights_[s] <= visible.minY();
    });
    const double width = visible.size.width;
    for (int s = static_cast<int>(firstHeader - sectionTops_.begin());
         s < sectionCount && sectionTops_[static_cast<std::size_t>(s)] < visible.maxY(); ++s) {
        if (!shows(s)) continue;
        const Rect area = rectForHeaderInSection(s);
        if (auto it = loadedHeaders_.find(s); it != loadedHeaders_.end()) {
            if (it->second) it->second->setFrame(Rect{0, area.minY(), width, area.size.height});
            continue;
        }
        auto d = delegate();
        std::shared_ptr<View> view = d ? d->viewForHeaderInSection(*this, s) : nullptr;
        if (view) {
            // A delegate that hands the same view to another section moves it.
            for (auto& [section, shown] : loadedHeaders_)
                if (shown == view) shown = nullptr;
            View::performWithoutAnimation([&] {
                view->setFrame(Rect{0, area.minY(), width, area.size.height});
                if (view->superview().get() != this) addSubview(view);
            });
        }
        loadedHeaders_[s] = view;
        if (view && d) d->willDisplayHeaderView(*this, *view, s);
    }
}

void TableView::layoutSubviews() { layoutRows(); }

void TableView::scrollDidChange() { layoutRows(); }

void TableView::didMoveToWindow() {
    ScrollView::didMoveToWindow();
    if (!window() || !measuredOutOfWindow_) return;
    measuredOutOfWindow_ = false;
    heightsDirty_ = true;
    setNeedsLayout();
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() const {
    std::map<int, std::shared_ptr<TableViewCell>> ordered(loaded_.begin(), loaded_.end());
    std::vector<std::shared_ptr<TableViewCell>> cells;
    cells.reserve(ordered.size());
    for (auto& [flat, cell] : ordered) cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() const {
    std::vector<int> flats;
    for (const auto& [flat, cell] : loaded_) flats.push_back(flat);
    std::sort(flats.begin(), flats.end());
    std::vector<IndexPath> paths;
    for (int flat : flats) paths.push_back(pathOf(flat));
    return paths;
}

bool TableView::isValid(const IndexPath& p) const {
    return p.section >= 0 && p.section < numberOfSections() && p.row >= 0 && p.row < numberOfRows(p.section);
}

std::shared_ptr<TableViewCell> TableView::cellForRow(const IndexPath& indexPath) const {
    if (!isValid(indexPath)) return nullptr;
    auto it = loaded_.find(flatIndex(indexPath));
    return it == loaded_.end() ? nullptr : it->second;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) const {
    for (const auto& [flat, c] : loaded_)
        if (c.get() == &cell) return pathOf(flat);
    return std::nullopt;
}

std::optional<IndexPath> TableView::indexPathForRow(Point point) const {
    if (rows_.empty() || point.x < 0 || point.x >= bounds().size.width) return std::nullopt;
    const int flat = firstRowEndingAfter(point.y);
    // Over a header (or past the last row) there is no row.
    if (flat >= static_cast<int>(rows_.size()) || point.y < offsets_[static_cast<std::size_t>(flat)])
        return std::nullopt;
    return pathOf(flat);
}

Rect TableView::rectForRow(const IndexPath& indexPath) const {
    if (!isValid(indexPath)) return Rect::null();
    const auto i = static_cast<std::size_t>(flatIndex(indexPath));
    return Rect{0, offsets_[i], bounds().size.width, rows_[i].height};
}

// ---- Batch updates ----

void TableView::beginUpdates() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (updateDepth_ == 0) {
        reloadIfNeeded();
        pending_.clear();
    }
    ++updateDepth_;
}

std::expected<void, TableViewUpdateError> TableView::endUpdates() {
    if (updateDepth_ == 0) return refuse("endUpdates without a matching beginUpdates");
    if (--updateDepth_ > 0) return {};
    return applyUpdates(std::exchange(pending_, {}));
}

std::expected<void, TableViewUpdateError> TableView::performBatchUpdates(const std::function<void()>& updates) {
    beginUpdates();
    if (updates) updates();
    return endUpdates();
}

std::expected<void, TableViewUpdateError> TableView::insertRows(const std::vector<IndexPath>& indexPaths) {
    beginUpdates();
    for (const auto& p : indexPaths) pending_.push_back(Update{Update::Kind::insert, {}, p});
    return endUpdates();
}

std::expected<void, TableViewUpdateError> TableView::deleteRows(const std::vector<IndexPath>& indexPaths) {
    beginUpdates();
    for (const auto& p : indexPaths) pending_.push_back(Update{Update::Kind::remove, p, {}});
    return endUpdates();
}

std::expected<void, TableViewUpdateError> TableView::moveRow(const IndexPath& from, const IndexPath& to) {
    beginUpdates();
    pending_.push_back(Update{Update::Kind::move, from, to});
    return endUpdates();
}

std::expected<void, TableViewUpdateError> TableView::applyUpdates(std::vector<Update> updates) {
    auto ds = dataSource();
    const int oldSections = numberOfSections();
    const int newSections = ds ? std::max(0, ds->numberOfSections(*this)) : 0;
    if (newSections != oldSections) {
        return refuse("invalid update: the number of sections changed from " + std::to_string(oldSections) +
                      " to " + std::to_string(newSections));
    }
    std::vector<int> newCounts(static_cast<std::size_t>(newSections));
    for (int s = 0; s < newSections; ++s) newCounts[static_cast<std::size_t>(s)] = std::max(0, ds->numberOfRows(*this, s));
    auto inNew = [&](const IndexPath& p) {
        return p.section >= 0 && p.section < newSections && p.row >= 0 &&
               p.row < newCounts[static_cast<std::size_t>(p.section)];
    };

    // Each old row leaves at most once, each new place is filled at most once.
    std::set<IndexPath> leaving, arriving;
    struct Tally {
        int inserted = 0, deleted = 0, movedIn = 0, movedOut = 0;
    };
    std::vector<Tally> tally(static_cast<std::size_t>(newSections));
    for (const auto& u : updates) {
        if (u.kind != Update::Kind::insert) {
            if (!isValid(u.from)) return refuse("invalid update: no row " + describe(u.from) + " to remove or move");
            if (!leaving.insert(u.from).second)
                return refuse("invalid update: row " + describe(u.from) + " is removed or moved twice");
        }
        if (u.kind != Update::Kind::remove) {
            if (!inNew(u.to)) return refuse("invalid update: no row " + describe(u.to) + " after the update");
            if (!arriving.insert(u.to).second)
                return refuse("invalid update: row " + describe(u.to) + " is inserted or moved to twice");
        }
        switch (u.kind) {
        case Update::Kind::insert: ++tally[static_cast<std::size_t>(u.to.section)].inserted; break;
        case Update::Kind::remove: ++tally[static_cast<std::size_t>(u.from.section)].deleted; break;
        case Update::Kind::move:
            ++tally[static_cast<std::size_t>(u.from.section)].movedOut;
            ++tally[static_cast<std::size_t>(u.to.section)].movedIn;
            break;
        }
    }
    for (int s = 0; s < newSections; ++s) {
        const auto& t = tally[static_cast<std::size_t>(s)];
        const int before = sections_[static_cast<std::size_t>(s)];
        const int after = newCounts[static_cast<std::size_t>(s)];
        if (after != before + t.inserted - t.deleted + t.movedIn - t.movedOut) {
            return refuse("invalid update: invalid number of rows in section " + std::to_string(s) +
                          ". The number of rows after the update (" + std::to_string(after) +
                          ") must equal the number before the update (" + std::to_string(before) + "), plus or minus " +
                          "the rows inserted or deleted (" + std::to_string(t.inserted) + " inserted, " +
                          std::to_string(t.deleted) + " deleted) and plus or minus the rows moved in or out (" +
                          std::to_string(t.movedIn) + " moved in, " + std::to_string(t.movedOut) + " moved out)");
        }
    }

    // The new rows: each slot takes a moved row, a new row, or the next
    // remaining old row of its section, in order. -1 marks a new row.
    std::map<IndexPath, int> slotSource;  // new place -> old flat index (or -1)
    for (const auto& u : updates) {
        if (u.kind == Update::Kind::insert) slotSource[u.to] = -1;
        if (u.kind == Update::Kind::move) slotSource[u.to] = flatIndex(u.from);
    }
    std::vector<int> newSource;
    std::vector<int> newStart;
    for (int s = 0; s < newSections; ++s) {
        newStart.push_back(static_cast<int>(newSource.size()));
        int nextOld = 0;
        const int oldCount = sections_[static_cast<std::size_t>(s)];
        for (int r = 0; r < newCounts[static_cast<std::size_t>(s)]; ++r) {
            auto fixed = slotSource.find(IndexPath{s, r});
            if (fixed != slotSource.end()) {
                newSource.push_back(fixed->second);
                continue;
            }
            while (nextOld < oldCount && leaving.contains(IndexPath{s, nextOld})) ++nextOld;
            newSource.push_back(flatIndex(IndexPath{s, nextOld}));
            ++nextOld;
        }
    }

    // Rows that leave give back their cells; the others follow their rows.
    for (const auto& p : leaving) {
        bool moved = false;
        for (const auto& u : updates)
            if (u.kind == Update::Kind::move && u.from == p) moved = true;
        if (!moved) enqueue(flatIndex(p));
    }
    if (selected_ && leaving.contains(*selected_)) {
        bool moved = false;
        for (const auto& u : updates)
            if (u.kind == Update::Kind::move && u.from == *selected_) moved = true;
        if (!moved) selected_.reset();
    }
    const int selectedFlat = selected_ ? flatIndex(*selected_) : -1;
    selected_.reset();

    std::unordered_map<int, std::shared_ptr<TableViewCell>> loaded;
    std::vector<Row> rows(newSource.size());
    sections_ = newCounts;
    sectionStart_ = newStart;
    for (std::size_t i = 0; i < newSource.size(); ++i) {
        const int old = newSource[i];
        const int flat = static_cast<int>(i);
        if (old >= 0) {
            rows[i] = rows_[static_cast<std::size_t>(old)];
            if (auto it = loaded_.find(old); it != loaded_.end()) loaded[flat] = it->second;
            if (old == selectedFlat) selected_ = pathOf(flat);
        }
    }
    for (std::size_t i = 0; i < newSource.size(); ++i)
        if (newSource[i] < 0) rows[i] = initialRow(pathOf(static_cast<int>(i)));
    rows_ = std::move(rows);
    loaded_ = std::move(loaded);

    // Heights are asked again; the rows move to their new places together.
    refreshHeights();
    View::animate(animationDuration, [this] { layoutRows(); });
    return {};
}

// ---- Selection ----

void TableView::setAllowsSelection(bool allows) {
    allowsSelection_ = allows;
    if (!allows && selected_) deselectRow(*selected_);
}

void TableView::selectRow(const std::optional<IndexPath>& indexPath, bool animated) {
    if (selected_ && selected_ != indexPath) deselectRow(*selected_, animated);
    if (!indexPath || !isValid(*indexPath) || !allowsSelection_) return;
    selected_ = indexPath;
    if (auto cell = cellForRow(*indexPath)) cell->setSelected(true, animated);
}

void TableView::deselectRow(const IndexPath& indexPath, bool animated) {
    if (selected_ != indexPath) return;
    selected_.reset();
    if (auto cell = cellForRow(indexPath)) cell->setSelected(false, animated);
}

void TableView::handleTap(TapGestureRecognizer& tap) {
    if (tap.state() != GestureRecognizerState::ended || !allowsSelection_) return;
    const auto path = indexPathForRow(tap.location(this));
    if (!path) return;
    const std::shared_ptr<View> keep = shared_from_this();
    if (selected_ && *selected_ != *path) {
        const IndexPath previous = *selected_;
        deselectRow(previous);
        if (auto d = delegate()) d->didDeselectRow(*this, previous);
    }
    selectRow(*path);
    if (auto d = delegate()) d->didSelectRow(*this, *path);
}

// ---- Separators and footer ----

void TableView::setSeparatorStyle(TableViewCellSeparatorStyle style) {
    separatorStyle_ = style;
    for (const auto& [flat, cell] : loaded_) styleCell(*cell);
}

void TableView::setSeparatorColor(const Color& color) {
    separatorColor_ = color;
    for (const auto& [flat, cell] : loaded_) styleCell(*cell);
}

void TableView::setSeparatorInset(const EdgeInsets& inset) {
    separatorInset_ = inset;
    for (const auto& [flat, cell] : loaded_) styleCell(*cell);
}

void TableView::setTableFooterView(std::shared_ptr<View> view) {
    if (footer_ == view) return;
    if (footer_) footer_->removeFromSuperview();
    footer_ = std::move(view);
    if (footer_) addSubview(footer_);
    updateContentSize();
    placeFooter();
}

}  // namespace platform::ui
