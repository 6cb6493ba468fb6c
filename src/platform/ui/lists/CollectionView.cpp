#include "platform/ui/lists/CollectionView.hpp"

#include <algorithm>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/input/TapGestureRecognizer.hpp"

namespace platform::ui {

double CollectionViewDelegate::minimumInteritemSpacingForSection(CollectionView& collectionView, int /*section*/) {
    return collectionView.collectionViewLayout().minimumInteritemSpacing;
}

double CollectionViewDelegate::minimumLineSpacingForSection(CollectionView& collectionView, int /*section*/) {
    return collectionView.collectionViewLayout().minimumLineSpacing;
}

std::shared_ptr<CollectionView> CollectionView::create(const Rect& frame, const CollectionViewFlowLayout& layout) {
    auto view = std::make_shared<CollectionView>(ConstructorKey{}, frame, layout);
    view->installPanGestureRecognizer();
    view->tap_ = TapGestureRecognizer::create(view, &CollectionView::handleTap);
    view->tap_->setCancelsTouchesInView(false);
    view->addGestureRecognizer(view->tap_);
    return view;
}

CollectionView::CollectionView(ConstructorKey key, const Rect& frame, const CollectionViewFlowLayout& layout)
    : ScrollView(key, frame), layout_(layout) {}

CollectionView::~CollectionView() = default;

void CollectionView::setDataSource(const std::shared_ptr<CollectionViewDataSource>& dataSource) {
    dataSource_ = dataSource;
    reloadData();
}

void CollectionView::setDelegate(const std::shared_ptr<CollectionViewDelegate>& delegate) {
    delegate_ = delegate;
    ScrollView::setDelegate(delegate);
    layoutDirty_ = true;
    setNeedsLayout();
}

void CollectionView::setCollectionViewLayout(const CollectionViewFlowLayout& layout) {
    layout_ = layout;
    layoutDirty_ = true;
    setNeedsLayout();
}

void CollectionView::registerNib(const std::string& nibName, const std::string& reuseIdentifier) {
    pool_.registerNib(nibName, reuseIdentifier);
}

std::shared_ptr<CollectionViewCell> CollectionView::dequeueReusableCell(const std::string& reuseIdentifier,
                                                                        const IndexPath& /*indexPath*/) {
    if (auto cell = pool_.dequeue(reuseIdentifier)) return cell;
    return CollectionViewCell::create(reuseIdentifier);
}

int CollectionView::numberOfItems(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return counts_[static_cast<std::size_t>(section)];
}

void CollectionView::reloadData() {
    PLATFORM_ASSERT_MAIN_THREAD();
    needsReload_ = true;
    setNeedsLayout();
}

void CollectionView::reloadIfNeeded() {
    if (!needsReload_) return;
    needsReload_ = false;
    layoutDirty_ = true;
    std::vector<IndexPath> shown;
    for (const auto& [path, cell] : loaded_) shown.push_back(path);
    for (const auto& p : shown) enqueue(p);
    selected_.reset();
    counts_.clear();
    if (auto ds = dataSource()) {
        const int sections = std::max(0, ds->numberOfSections(*this));
        for (int s = 0; s < sections; ++s) counts_.push_back(std::max(0, ds->numberOfItems(*this, s)));
    }
}

void CollectionView::enqueue(const IndexPath& indexPath) {
    auto it = loaded_.find(indexPath);
    if (it == loaded_.end()) return;
    auto cell = std::move(it->second);
    loaded_.erase(it);
    cell->removeFromSuperview();
    if (auto d = delegate()) d->didEndDisplayingCell(*this, *cell, indexPath);
    pool_.enqueue(std::move(cell));
}

void CollectionView::layoutItems() {
    if (laying_) return;
    laying_ = true;
    const std::shared_ptr<View> keep = shared_from_this();
    reloadIfNeeded();
    if (layoutDirty_ || bounds().size != laidOutSize_) {
        layoutDirty_ = false;
        laidOutSize_ = bounds().size;
        std::vector<CollectionViewSectionSpacing> spacings;
        if (auto d = delegate()) {
            for (int s = 0; s < numberOfSections(); ++s)
                spacings.push_back({d->minimumInteritemSpacingForSection(*this, s), d->minimumLineSpacingForSection(*this, s)});
        }
        layout_.prepare(laidOutSize_, counts_, spacings);
        setContentSize(layout_.contentSize());
    }
    const Rect visible = bounds();
    std::vector<IndexPath> wanted;
    if (!visible.isEmpty()) wanted = layout_.indexPathsInRect(visible);
    std::vector<IndexPath> gone;
    for (const auto& [path, cell] : loaded_)
        if (!std::binary_search(wanted.begin(), wanted.end(), path)) gone.push_back(path);
    for (const auto& p : gone) enqueue(p);

    auto ds = dataSource();
    for (const auto& path : wanted) {
        if (loaded_.contains(path)) continue;
        std::shared_ptr<CollectionViewCell> cell = ds ? ds->cellForItem(*this, path) : nullptr;
        if (!cell) {
            core::debugPrint("collection view: the data source gave no cell for item " + std::to_string(path.item()) +
                             " of section " + std::to_string(path.section) + "; the item shows an empty cell");
            cell = CollectionViewCell::create();
        }
        View::performWithoutAnimation([&] {
            cell->setFrame(layout_.frameForItem(path));
            cell->setSelected(selected_ == path);
            if (cell->superview().get() != this) insertSubview(cell, 0);
        });
        loaded_[path] = cell;
        if (auto d = delegate()) d->willDisplayCell(*this, *cell, path);
    }
    for (const auto& [path, cell] : loaded_) cell->setFrame(layout_.frameForItem(path));
    laying_ = false;
}

void CollectionView::layoutSubviews() { layoutItems(); }

void CollectionView::scrollDidChange() { layoutItems(); }

std::vector<std::shared_ptr<CollectionViewCell>> CollectionView::visibleCells() const {
    std::vector<std::shared_ptr<CollectionViewCell>> cells;
    for (const auto& [path, cell] : loaded_) cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> CollectionView::indexPathsForVisibleItems() const {
    std::vector<IndexPath> paths;
    for (const auto& [path, cell] : loaded_) paths.push_back(path);
    return paths;
}

std::shared_ptr<CollectionViewCell> CollectionView::cellForItem(const IndexPath& indexPath) const {
    auto it = loaded_.find(indexPath);
    return it == loaded_.end() ? nullptr : it->second;
}

void CollectionView::handleTap(TapGestureRecognizer& tap) {
    if (tap.state() != GestureRecognizerState::ended) return;
    const auto path = indexPathForItem(tap.location(this));
    if (!path) return;
    const std::shared_ptr<View> keep = shared_from_this();
    if (selected_) {
        if (auto previous = cellForItem(*selected_)) previous->setSelected(false);
    }
    selected_ = path;
    if (auto cell = cellForItem(*path)) cell->setSelected(true);
    if (auto d = delegate()) d->didSelectItem(*this, *path);
}

}  // namespace platform::ui
