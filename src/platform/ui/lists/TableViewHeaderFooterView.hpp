// A reusable view for the header of a table's section: a plain view with a
// reuse identifier (set when the table made it from a registered nib; empty
// for one made otherwise, which the table never pools), an optional text
// label made on first use, and `prepareForReuse`, which runs before a pooled
// header is handed out again. A table may show any view as a header; only
// these go back to its pool when their section scrolls away. Main thread
// only; held by the table while shown or pooled.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

class TableViewHeaderFooterView : public View {
public:
    static std::shared_ptr<TableViewHeaderFooterView> create(const std::string& reuseIdentifier = {});
    TableViewHeaderFooterView(ConstructorKey key, const Rect& frame);

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    void setReuseIdentifier(std::string identifier) { reuseIdentifier_ = std::move(identifier); }

    // A label inset by the view's layout margins (made on first use).
    const std::shared_ptr<Label>& textLabel();

    // Subclasses clear what the previous section left; the plain header
    // clears its label's text.
    virtual void prepareForReuse();

    void layoutSubviews() override;

private:
    std::string reuseIdentifier_;
    std::shared_ptr<Label> textLabel_;
};

}  // namespace platform::ui
