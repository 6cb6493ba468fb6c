// The flow layout of a collection view: items of one size placed in lines
// across the scroll direction (rows for vertical scrolling, columns for
// horizontal), inside each section's insets, sections one after the other.
// A line holds as many items as fit with at least the inter-item spacing
// between them (at least one); the room left over widens that spacing so a
// full line reaches both insets, and every line keeps those columns.
// Lines are `minimumLineSpacing` apart. A section may have spacings of its
// own (the collection view's delegate gives them). A plain value; `prepare`
// computes the frames for a collection's width (or height) and item counts.
#pragma once

#include <optional>
#include <vector>

#include "platform/graphics/Geometry.hpp"
#include "platform/ui/lists/IndexPath.hpp"

namespace platform::ui {

enum class CollectionViewScrollDirection { vertical, horizontal };

// The spacings of one section, in place of the layout's own.
struct CollectionViewSectionSpacing {
    double interitem = 10;
    double line = 10;
};

class CollectionViewFlowLayout {
public:
    Size itemSize{50, 50};
    double minimumLineSpacing = 10;
    double minimumInteritemSpacing = 10;
    EdgeInsets sectionInset;
    CollectionViewScrollDirection scrollDirection = CollectionViewScrollDirection::vertical;

    // Lays out sections of `itemCounts` items in a collection of `bounds`
    // size (its width matters for vertical scrolling, its height for
    // horizontal). Sections past the end of `spacings` use the layout's own.
    void prepare(Size bounds, const std::vector<int>& itemCounts,
                 const std::vector<CollectionViewSectionSpacing>& spacings = {});

    Size contentSize() const { return contentSize_; }
    // The item's frame in the content; null for an item that is not there.
    Rect frameForItem(const IndexPath& indexPath) const;
    // The items whose frames meet `rect`, in order.
    std::vector<IndexPath> indexPathsInRect(const Rect& rect) const;
    std::optional<IndexPath> indexPathForItem(Point point) const;

private:
    struct Section {
        int count = 0;
        int perLine = 1;
        double start = 0;          // along the scroll direction
        double firstAcross = 0;    // offset of the first column across
        double pitchAcross = 0;    // distance between columns across
        double lineSpacing = 0;
    };
    Rect frameIn(const Section& s, int item) const;
    double pitchAlong(const Section& s) const;

    std::vector<Section> sections_;
    Size contentSize_;
};

}  // namespace platform::ui
