// A row of a table view: a view with a content view (where a cell's own
// views go) filling it, an optional text label made on first use, a reuse
// identifier (set when the table made it from a registered nib; empty for a
// cell made otherwise, which the table never pools), a selection state with
// its highlight (none when the selection style is none) and the separator
// line the table asks for. `prepareForReuse` runs before a pooled cell is
// handed out again. Main thread only; held by the table while shown or
// pooled.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

enum class TableViewCellSelectionStyle { none, blue, gray, standard };

class TableViewCell : public View {
public:
    static std::shared_ptr<TableViewCell> create(const std::string& reuseIdentifier = {});
    TableViewCell(ConstructorKey key, const Rect& frame);

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    void setReuseIdentifier(std::string identifier) { reuseIdentifier_ = std::move(identifier); }

    // Made with the cell; it joins the cell as a subview once the cell is
    // owned (a subclass's constructor may set it up before that).
    const std::shared_ptr<View>& contentView();
    // A label in the content view, inset by its layout margins (made on first use).
    const std::shared_ptr<Label>& textLabel();

    TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(TableViewCellSelectionStyle style);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected, bool animated = false);

    // The height the cell needs at a width, for rows of automatic height:
    // when constraints involve its content view and the cell is in a window,
    // the least height they allow the content view at that width (the
    // solver's fitting size); otherwise the cell's own height.
    virtual double heightThatFits(double width);
    // Once constraints involve the content view, the solver places it over
    // the cell (left, top and width required, height just below), so
    // content taller or shorter than the row never breaks a required
    // constraint. The table calls it before the cell joins its window.
    void pinContentViewIfConstrained();

    // Resets the selection; subclasses clear what the previous row left.
    virtual void prepareForReuse();

    // The separator line the table draws along the bottom edge: shown or
    // not, its colour and its left and right insets.
    void setSeparator(bool shown, const Color& color, const EdgeInsets& inset);
    // None until the table first shows the cell.
    const std::shared_ptr<View>& separatorView() const { return separator_; }

    void layoutSubviews() override;

private:
    void ensureParts();
    void updateHighlight();

    std::string reuseIdentifier_;
    std::shared_ptr<View> selectedBackground_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<View> separator_;
    EdgeInsets separatorInset_;
    TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::standard;
    bool selected_ = false;
    bool partsAdded_ = false;
    LayoutConstraintPtr contentHeight_;  // set once the content view is placed by constraints
};

}  // namespace platform::ui
