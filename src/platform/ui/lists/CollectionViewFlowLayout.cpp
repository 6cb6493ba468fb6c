#include "platform/ui/lists/CollectionViewFlowLayout.hpp"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {

struct Axes {
    double itemAcross, itemAlong, leadAcross, trailAcross, leadAlong, trailAlong;
};

Axes axesOf(const CollectionViewFlowLayout& l) {
    if (l.scrollDirection == CollectionViewScrollDirection::vertical) {
        return {l.itemSize.width, l.itemSize.height, l.sectionInset.left, l.sectionInset.right, l.sectionInset.top,
                l.sectionInset.bottom};
    }
    return {l.itemSize.height, l.itemSize.width, l.sectionInset.top, l.sectionInset.bottom, l.sectionInset.left,
            l.sectionInset.right};
}

}  // namespace

double CollectionViewFlowLayout::pitchAlong(const Section& s) const {
    return axesOf(*this).itemAlong + s.lineSpacing;
}

void CollectionViewFlowLayout::prepare(Size bounds, const std::vector<int>& itemCounts,
                                       const std::vector<CollectionViewSectionSpacing>& spacings) {
    const bool vertical = scrollDirection == CollectionViewScrollDirection::vertical;
    const Axes a = axesOf(*this);
    const double across = vertical ? bounds.width : bounds.height;
    const double available = std::max(0.0, across - a.leadAcross - a.trailAcross);
    const double itemAcross = std::max(0.0, a.itemAcross);

    sections_.clear();
    double along = 0;
    for (std::size_t index = 0; index < itemCounts.size(); ++index) {
        const int count = itemCounts[index];
        const CollectionViewSectionSpacing own =
            index < spacings.size() ? spacings[index] : CollectionViewSectionSpacing{minimumInteritemSpacing,
                                                                                      minimumLineSpacing};
        const double spacing = std::isfinite(own.interitem) ? std::max(0.0, own.interitem) : 0.0;
        Section s;
        s.count = std::max(0, count);
        s.start = along;
        s.lineSpacing = std::isfinite(own.line) ? own.line : 0.0;
        const double fit = (available + spacing) / std::max(itemAcross + spacing, 1e-9);
        s.perLine = std::max(1, static_cast<int>(std::floor(fit + 1e-9)));
        s.firstAcross = a.leadAcross;
        s.pitchAcross = s.perLine > 1 ? itemAcross + (available - s.perLine * itemAcross) / (s.perLine - 1) : 0;
        if (s.count > 0) {
            const int lines = (s.count + s.perLine - 1) / s.perLine;
            along += a.leadAlong + lines * a.itemAlong + (lines - 1) * s.lineSpacing + a.trailAlong;
        }
        sections_.push_back(s);
    }
    contentSize_ = vertical ? Size{bounds.width, along} : Size{along, bounds.height};
}

Rect CollectionViewFlowLayout::frameIn(const Section& s, int item) const {
    const Axes a = axesOf(*this);
    const int line = item / s.perLine;
    const int column = item % s.perLine;
    const double along = s.start + a.leadAlong + line * pitchAlong(s);
    const double across = s.firstAcross + column * s.pitchAcross;
    if (scrollDirection == CollectionViewScrollDirection::vertical) return Rect{across, along, itemSize.width, itemSize.height};
    return Rect{along, across, itemSize.width, itemSize.height};
}

Rect CollectionViewFlowLayout::frameForItem(const IndexPath& p) const {
    if (p.section < 0 || p.section >= static_cast<int>(sections_.size())) return Rect::null();
    const Section& s = sections_[static_cast<std::size_t>(p.section)];
    if (p.item() < 0 || p.item() >= s.count) return Rect::null();
    return frameIn(s, p.item());
}

std::vector<IndexPath> CollectionViewFlowLayout::indexPathsInRect(const Rect& rect) const {
    std::vector<IndexPath> found;
    if (rect.isNull()) return found;
    const bool vertical = scrollDirection == CollectionViewScrollDirection::vertical;
    const Axes a = axesOf(*this);
    const double lo = vertical ? rect.minY() : rect.minX();
    const double hi = vertical ? rect.maxY() : rect.maxX();
    for (std::size_t si = 0; si < sections_.size(); ++si) {
        const Section& s = sections_[si];
        if (s.count == 0) continue;
        const int lines = (s.count + s.perLine - 1) / s.perLine;
        const double top = s.start + a.leadAlong;
        const double pitch = std::max(pitchAlong(s), 1e-9);
        // Only the lines that can meet the rectangle are looked at.
        const int first = std::clamp(static_cast<int>(std::floor((lo - top - a.itemAlong) / pitch)), 0, lines);
        const int last = std::clamp(static_cast<int>(std::floor((hi - top) / pitch)) + 1, 0, lines);
        for (int line = first; line < last; ++line) {
            for (int c = 0; c < s.perLine; ++c) {
                const int item = line * s.perLine + c;
                if (item >= s.count) break;
                if (frameIn(s, item).intersects(rect)) found.push_back(IndexPath::forItem(item, static_cast<int>(si)));
            }
        }
    }
    return found;
}

std::optional<IndexPath> CollectionViewFlowLayout::indexPathForItem(Point point) const {
    for (const auto& p : indexPathsInRect(Rect{point.x - 0.5, point.y - 0.5, 1, 1}))
        if (frameForItem(p).contains(point)) return p;
    return std::nullopt;
}

}  // namespace platform::ui
