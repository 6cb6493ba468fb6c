// The base of every page-element cell: a table cell made only by its nib's
// builder (no code initializer), with no selection highlight, a content
// view whose layout margins start at top 25, left 12, bottom 0, right 12,
// a weak back-reference to the element that owns it, the theme hook the
// page presenters call on every theme or main colour change, and the
// separator line. There is at most one separator line per edge: showing a
// separator again at the same edge restyles that line (colour, thickness,
// insets) rather than adding another, so repeated theme updates never pile
// lines up. Lines are framed at each layout of the cell.
// Main thread only; owned by its element.
#pragma once

#include <memory>

#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/TableViewCell.hpp"

namespace orvane {

class OVPageElementProtocol;

class OVPageElementTableViewCell : public platform::ui::TableViewCell {
public:
    struct Separator {
        enum class Position { top, bottom };
        struct Configuration {
            platform::graphics::Color color;  // the line's colour
            Position position;          // which edge of the cell
            double height;              // thickness in points
            double leftInset;           // from the cell's left edge to the line's left end
            double rightInset;          // added to the cell's right edge for the line's right end
        };
    };

    std::shared_ptr<OVPageElementProtocol> element() const { return element_.lock(); }
    void setElement(std::weak_ptr<OVPageElementProtocol> element) { element_ = std::move(element); }

    // One edge of the content view's layout margins.
    void setTopMargin(double margin);
    void setBottomMargin(double margin);

    // The theme hook: nothing in the base.
    virtual void update(const OVTheme& theme, const platform::graphics::Color& mainColor);

    bool separatorIsHidden() const { return separatorIsHidden_; }
    void setSeparatorIsHidden(bool hidden) { separatorIsHidden_ = hidden; }
    // Shows the line of the configuration's edge (nothing while separators
    // are hidden); its left end at the left inset, its right end at the right
    // edge plus the right inset, as thick as the configuration says.
    void displaySeparator(const Separator::Configuration& configuration);

    void layoutSubviews() override;

protected:
    // For the builders of the subclasses' nibs.
    OVPageElementTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

private:
    struct Line {
        std::shared_ptr<platform::ui::View> view;
        Separator::Configuration configuration;
    };
    void frameLine(const Line& line);

    std::weak_ptr<OVPageElementProtocol> element_;
    bool separatorIsHidden_ = false;
    std::optional<Line> topSeparator_;
    std::optional<Line> bottomSeparator_;
};

}  // namespace orvane
