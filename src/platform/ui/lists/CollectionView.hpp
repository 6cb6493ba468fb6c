// A collection view: a scroll view of items in sections, placed by its flow
// layout, each item a cell (CollectionViewCell) that a weak data source
// hands out and a weak delegate (also the scroll view's delegate) hears
// about. Items are dressed (asked of the data source) as they come into
// view, in layout passes and on scrolling, and their cells go back to the
// reuse pool of their identifier as they leave it. The delegate may give a
// section spacings of its own, asked whenever the layout is prepared. A tap selects the item
// under it and tells the delegate. Main thread only.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/lists/CollectionViewCell.hpp"
#include "platform/ui/lists/CollectionViewFlowLayout.hpp"
#include "platform/ui/lists/IndexPath.hpp"
#include "platform/ui/lists/ReusableCellPool.hpp"
#include "platform/ui/lists/ScrollView.hpp"

namespace platform::ui {

class CollectionView;
class TapGestureRecognizer;

class CollectionViewDataSource {
public:
    virtual ~CollectionViewDataSource() = default;
    virtual int numberOfSections(CollectionView& /*collectionView*/) { return 1; }
    virtual int numberOfItems(CollectionView& collectionView, int section) = 0;
    virtual std::shared_ptr<CollectionViewCell> cellForItem(CollectionView& collectionView,
                                                            const IndexPath& indexPath) = 0;
};

class CollectionViewDelegate : public ScrollViewDelegate {
public:
    virtual void willDisplayCell(CollectionView& /*collectionView*/, CollectionViewCell& /*cell*/,
                                 const IndexPath& /*indexPath*/) {}
    virtual void didEndDisplayingCell(CollectionView& /*collectionView*/, CollectionViewCell& /*cell*/,
                                      const IndexPath& /*indexPath*/) {}
    virtual void didSelectItem(CollectionView& /*collectionView*/, const IndexPath& /*indexPath*/) {}

    // Flow layout: the least spacing between the items of a line and
    // between the lines of a section; by default the layout's own.
    virtual double minimumInteritemSpacingForSection(CollectionView& collectionView, int section);
    virtual double minimumLineSpacingForSection(CollectionView& collectionView, int section);
};

class CollectionView : public ScrollView {
public:
    static std::shared_ptr<CollectionView> create(const Rect& frame, const CollectionViewFlowLayout& layout);
    CollectionView(ConstructorKey key, const Rect& frame, const CollectionViewFlowLayout& layout);
    ~CollectionView() override;

    std::shared_ptr<CollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<CollectionViewDataSource>& dataSource);
    std::shared_ptr<CollectionViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CollectionViewDelegate>& delegate);

    const CollectionViewFlowLayout& collectionViewLayout() const { return layout_; }
    // A new layout (item size, spacings, insets, direction) takes effect at
    // the next layout pass.
    void setCollectionViewLayout(const CollectionViewFlowLayout& layout);

    void registerNib(const std::string& nibName, const std::string& reuseIdentifier);
    // A pooled cell after its `prepareForReuse`, else one built from the
    // registered nib; a plain cell (with a debug line) when there is none.
    std::shared_ptr<CollectionViewCell> dequeueReusableCell(const std::string& reuseIdentifier,
                                                            const IndexPath& indexPath);

    int numberOfSections() const { return static_cast<int>(counts_.size()); }
    int numberOfItems(int section) const;
    // Asks the data source again; items are dressed at the next layout pass.
    void reloadData();

    std::vector<std::shared_ptr<CollectionViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleItems() const;
    std::shared_ptr<CollectionViewCell> cellForItem(const IndexPath& indexPath) const;
    std::optional<IndexPath> indexPathForItem(Point point) const { return layout_.indexPathForItem(point); }
    std::optional<IndexPath> indexPathForSelectedItem() const { return selected_; }

    void layoutSubviews() override;

protected:
    void scrollDidChange() override;

private:
    void handleTap(TapGestureRecognizer& tap);
    void layoutItems();
    void reloadIfNeeded();
    void enqueue(const IndexPath& indexPath);

    CollectionViewFlowLayout layout_;
    std::weak_ptr<CollectionViewDataSource> dataSource_;
    std::weak_ptr<CollectionViewDelegate> delegate_;
    ReusableCellPool<CollectionViewCell> pool_;
    std::vector<int> counts_;
    std::map<IndexPath, std::shared_ptr<CollectionViewCell>> loaded_;
    std::optional<IndexPath> selected_;
    std::shared_ptr<TapGestureRecognizer> tap_;
    bool needsReload_ = true;
    bool layoutDirty_ = true;
    Size laidOutSize_{-1, -1};
    bool laying_ = false;
};

}  // namespace platform::ui
