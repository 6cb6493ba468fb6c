// A table view: a vertical scroll view of rows in one or more sections,
// each row a cell (TableViewCell) that a weak data source hands out and a
// weak delegate (also the scroll view's delegate) hears about. It always
// bounces vertically (`alwaysBounceVertical`), however short its rows.
//
// Rows are laid out one under the other by their heights: a fixed height
// (the table's `rowHeight` or the delegate's answer), or the automatic
// dimension, where a row is as high as its cell says it needs
// (`heightThatFits`). Until a row is loaded, its height is its estimate
// (a positive `estimatedRowHeight`, or the delegate's estimate); without
// one, a fixed height is known at once and an automatic one is taken as 44
// points. The content size follows the estimates and is corrected as rows
// load. Rows are loaded lazily, in layout passes and on scrolling,
// for the visible range only; a row that leaves it gives its cell back to
// the reuse pool of its identifier. `cellForRow` is none for a row that is
// not loaded.
//
// Batch updates (`beginUpdates`/`endUpdates`, nestable, or
// `performBatchUpdates`) collect inserts, deletes and moves and apply them
// at the outermost end, after checking every section as the platform does:
// the new row count must equal the old count plus what was inserted or
// moved in, minus what was deleted or moved out. A failed check (or an
// index out of range) is reported (a debug line and the returned error)
// and changes nothing. An empty batch re-measures the rows.
//
// Each section may have a header above its rows: a height (the delegate's
// answer, by default the table's `sectionHeaderHeight`, 0 unless set) and
// a view the delegate hands out, asked for only while the header's area is
// in the visible range and laid out over that area at the table's width; a
// header that leaves the range is taken off the table, and one made from a
// registered header nib (`dequeueReusableHeaderFooterView`) goes back to its
// pool for the next header that comes into view. Headers scroll with their
// rows (they do not stay pinned at the top). Heights are asked again
// whenever the rows are.
//
// Selection follows a tap that the window delivers (`sendTouch`): the row
// under it is selected (the previous one deselected) and the delegate
// told; code selects and deselects without telling the delegate. The
// separator (style, colour, insets) is drawn at the bottom of each cell; a
// footer view follows the last row. Main thread only.
#pragma once

#include <expected>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/lists/IndexPath.hpp"
#include "platform/ui/lists/ReusableCellPool.hpp"
#include "platform/ui/lists/ScrollView.hpp"
#include "platform/ui/lists/TableViewCell.hpp"
#include "platform/ui/lists/TableViewHeaderFooterView.hpp"

namespace platform::ui {

class TableView;
class TapGestureRecognizer;

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSections(TableView& /*tableView*/) { return 1; }
    virtual int numberOfRows(TableView& tableView, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRow(TableView& tableView, const IndexPath& indexPath) = 0;
};

class TableViewDelegate : public ScrollViewDelegate {
public:
    // The row's height: by default the table's `rowHeight`.
    virtual double heightForRow(TableView& tableView, const IndexPath& indexPath);
    // The row's estimate before it is loaded: by default the table's
    // `estimatedRowHeight`.
    virtual double estimatedHeightForRow(TableView& tableView, const IndexPath& indexPath);
    virtual void willDisplayCell(TableView& /*tableView*/, TableViewCell& /*cell*/, const IndexPath& /*indexPath*/) {}
    virtual void didEndDisplayingCell(TableView& /*tableView*/, TableViewCell& /*cell*/,
                                      const IndexPath& /*indexPath*/) {}
    virtual void didSelectRow(TableView& /*tableView*/, const IndexPath& /*indexPath*/) {}
    virtual void didDeselectRow(TableView& /*tableView*/, const IndexPath& /*indexPath*/) {}

    // The height of the section's header: by default the table's
    // `sectionHeaderHeight`.
    virtual double heightForHeaderInSection(TableView& tableView, int section);
    // The view over the section's header area, asked when that area comes
    // into view; none leaves the area empty.
    virtual std::shared_ptr<View> viewForHeaderInSection(TableView& /*tableView*/, int /*section*/) { return nullptr; }
    virtual void willDisplayHeaderView(TableView& /*tableView*/, View& /*view*/, int /*section*/) {}
    virtual void didEndDisplayingHeaderView(TableView& /*tableView*/, View& /*view*/, int /*section*/) {}
};

enum class TableViewCellSeparatorStyle { none, singleLine };
enum class TableViewStyle { plain, grouped };

// Why a batch of updates was refused.
struct TableViewUpdateError {
    std::string message;
};

class TableView : public ScrollView {
public:
    // A row height (or estimate) that the cell decides.
    static constexpr double automaticDimension = -1;
    // The estimate of a row whose estimate is automatic.
    static constexpr double defaultEstimatedRowHeight = 44;

    static std::shared_ptr<TableView> create(const Rect& frame = {}, TableViewStyle style = TableViewStyle::plain);
    TableView(ConstructorKey key, const Rect& frame, TableViewStyle style);
    ~TableView() override;

    TableViewStyle style() const { return style_; }

    std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource);
    std::shared_ptr<TableViewDelegate> delegate() const { return delegate_.lock(); }
    // Also the scroll view's delegate.
    void setDelegate(const std::shared_ptr<TableViewDelegate>& delegate);

    // ---- Cells ----
    // The nib of that name (NibRegistry) builds the cells of an identifier.
    void registerNib(const std::string& nibName, const std::string& reuseIdentifier);
    // A pooled cell after its `prepareForReuse`, else one built from the
    // registered nib. An identifier without a usable nib gives a plain cell
    // with a debug line (the row shows empty rather than failing).
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& reuseIdentifier,
                                                       const IndexPath& indexPath);

    // ---- Section headers ----
    // The nib of that name (NibRegistry) builds the header views of an identifier.
    void registerHeaderFooterNib(const std::string& nibName, const std::string& reuseIdentifier);
    // A pooled header after its `prepareForReuse`, else one built from the
    // registered nib; a plain header with a debug line when there is none.
    std::shared_ptr<TableViewHeaderFooterView> dequeueReusableHeaderFooterView(const std::string& reuseIdentifier);
    double sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(double height);
    // The header view shown for the section; none while it is out of view.
    std::shared_ptr<View> headerView(int section) const;
    // The header's rectangle in the content (zero high for a section
    // without header); null for a section that is not there.
    Rect rectForHeaderInSection(int section) const;

    // ---- Rows ----
    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height);
    double estimatedRowHeight() const { return estimatedRowHeight_; }
    void setEstimatedRowHeight(double height);

    int numberOfSections() const { return static_cast<int>(sections_.size()); }
    int numberOfRows(int section) const;
    // Drops every loaded row and asks the data source again; the rows load
    // at the next layout pass.
    void reloadData();

    // The loaded cells, top to bottom, and their rows.
    std::vector<std::shared_ptr<TableViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleRows() const;
    std::shared_ptr<TableViewCell> cellForRow(const IndexPath& indexPath) const;
    std::optional<IndexPath> indexPathForCell(const TableViewCell& cell) const;
    // The row at a point of the table's content (its own coordinates); none
    // over a header.
    std::optional<IndexPath> indexPathForRow(Point point) const;
    // The row's rectangle in the content; null for a row that is not there.
    Rect rectForRow(const IndexPath& indexPath) const;

    // ---- Batch updates ----
    void beginUpdates();
    // Applies the batch at the outermost end; see the class comment.
    std::expected<void, TableViewUpdateError> endUpdates();
    std::expected<void, TableViewUpdateError> performBatchUpdates(const std::function<void()>& updates);
    // Rows of the new state to add, rows of the old state to remove, a row
    // of the old state that becomes a row of the new one. Inside a batch
    // they wait for its end; alone, each is a batch of its own.
    std::expected<void, TableViewUpdateError> insertRows(const std::vector<IndexPath>& indexPaths);
    std::expected<void, TableViewUpdateError> deleteRows(const std::vector<IndexPath>& indexPaths);
    std::expected<void, TableViewUpdateError> moveRow(const IndexPath& from, const IndexPath& to);

    // ---- Selection ----
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows);
    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    void selectRow(const std::optional<IndexPath>& indexPath, bool animated = false);
    void deselectRow(const IndexPath& indexPath, bool animated = false);

    // ---- Separators and footer ----
    TableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style);
    const Color& separatorColor() const { return separatorColor_; }
    void setSeparatorColor(const Color& color);
    const EdgeInsets& separatorInset() const { return separatorInset_; }
    void setSeparatorInset(const EdgeInsets& inset);
    // Placed under the last row at the table's width and its own height.
    const std::shared_ptr<View>& tableFooterView() const { return footer_; }
    void setTableFooterView(std::shared_ptr<View> view);

    void layoutSubviews() override;

protected:
    void scrollDidChange() override;
    // Rows that sized themselves while the table was out of a window kept
    // the heights they had (a cell measures its content only in a window):
    // back in one, they are measured again.
    void didMoveToWindow() override;

private:
    struct Row {
        double height = 0;
        bool measured = false;  // its real height is known
    };
    struct Update {
        enum class Kind { insert, remove, move } kind;
        IndexPath from;
        IndexPath to;
    };

    void handleTap(TapGestureRecognizer& tap);
    void ensureTapRecognizer();
    // Loads the rows and headers of the visible range and gives back the others.
    void layoutRows();
    void layoutHeaders(const Rect& visible);
    void enqueueHeader(int section);
    double askedHeaderHeight(int section);
    double rowBottom(std::size_t flat) const { return offsets_[flat] + rows_[flat].height; }
    // The first row whose bottom lies below `y` (the row count when none).
    int firstRowEndingAfter(double y) const;
    void reloadIfNeeded();
    void loadRow(int flat);
    bool isValid(const IndexPath& indexPath) const;
    double explicitHeight(const IndexPath& indexPath);
    Row initialRow(const IndexPath& indexPath);
    double measuredHeight(const IndexPath& indexPath, TableViewCell& cell);
    void rebuildOffsets(int fromFlat = 0);
    void updateContentSize();
    void placeFooter();
    void styleCell(TableViewCell& cell) const;
    void enqueue(int flat);
    int flatIndex(const IndexPath& indexPath) const { return sectionStart_[indexPath.section] + indexPath.row; }
    IndexPath pathOf(int flat) const;
    std::expected<void, TableViewUpdateError> applyUpdates(std::vector<Update> updates);
    void refreshHeights();

    TableViewStyle style_;
    std::weak_ptr<TableViewDataSource> dataSource_;
    std::weak_ptr<TableViewDelegate> delegate_;
    ReusableCellPool<TableViewCell> pool_;
    double rowHeight_ = 44;
    double estimatedRowHeight_ = automaticDimension;

    std::vector<int> sections_;       // rows per section
    std::vector<int> sectionStart_;   // flat index of each section's first row
    std::vector<Row> rows_;           // every row, flat
    std::vector<double> offsets_;     // top of each flat row
    std::vector<double> headerHeights_;  // of each section
    std::vector<double> sectionTops_;    // top of each section's header
    double contentEnd_ = 0;              // bottom of the last section
    ReusableCellPool<TableViewHeaderFooterView> headerPool_{"header view"};
    double sectionHeaderHeight_ = 0;
    // The headers asked for, by section (a null view: the delegate gave none).
    std::map<int, std::shared_ptr<View>> loadedHeaders_;
    bool needsReload_ = true;
    bool heightsDirty_ = false;
    bool measuredOutOfWindow_ = false;
    double laidOutWidth_ = -1;
    std::unordered_map<int, std::shared_ptr<TableViewCell>> loaded_;  // by flat index
    bool laying_ = false;

    int updateDepth_ = 0;
    std::vector<Update> pending_;

    bool allowsSelection_ = true;
    std::optional<IndexPath> selected_;
    std::shared_ptr<TapGestureRecognizer> tap_;

    TableViewCellSeparatorStyle separatorStyle_ = TableViewCellSeparatorStyle::singleLine;
    Color separatorColor_ = Color{0.78, 0.78, 0.8, 1};
    EdgeInsets separatorInset_{0, 15, 0, 0};
    std::shared_ptr<View> footer_;
};

}  // namespace platform::ui
