#include "platform/ui/lists/CollectionViewCell.hpp"

namespace platform::ui {

std::shared_ptr<CollectionViewCell> CollectionViewCell::create(const std::string& reuseIdentifier) {
    auto cell = std::make_shared<CollectionViewCell>(ConstructorKey{}, Rect{0, 0, 50, 50});
    cell->setReuseIdentifier(reuseIdentifier);
    cell->contentView();
    return cell;
}

CollectionViewCell::CollectionViewCell(ConstructorKey key, const Rect& frame) : View(key, frame) {}

const std::shared_ptr<View>& CollectionViewCell::contentView() {
    if (!contentView_) {
        contentView_ = View::create(Rect{Point{}, bounds().size});
        addSubview(contentView_);
    }
    return contentView_;
}

void CollectionViewCell::layoutSubviews() { contentView()->setFrame(Rect{Point{}, bounds().size}); }

}  // namespace platform::ui
