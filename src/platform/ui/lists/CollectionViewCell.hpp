// An item of a collection view: a view with a content view filling it, a
// reuse identifier (set when the collection made it from a registered
// nib), a selection state and `prepareForReuse`, run before a pooled cell
// is handed out again. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/views/View.hpp"

namespace platform::ui {

class CollectionViewCell : public View {
public:
    static std::shared_ptr<CollectionViewCell> create(const std::string& reuseIdentifier = {});
    CollectionViewCell(ConstructorKey key, const Rect& frame);

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    void setReuseIdentifier(std::string identifier) { reuseIdentifier_ = std::move(identifier); }

    // Made on first use.
    const std::shared_ptr<View>& contentView();

    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected) { selected_ = selected; }

    virtual void prepareForReuse() { setSelected(false); }

    void layoutSubviews() override;

private:
    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
    bool selected_ = false;
};

}  // namespace platform::ui
