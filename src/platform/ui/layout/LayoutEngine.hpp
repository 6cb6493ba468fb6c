// The layout engine of one window: layout items (views and layout guides, as
// the view layer registers them) with edges, centres and sizes, constraints
// `first relation multiplier × second + constant` (or against a constant
// alone) with a priority of 1–1000, intrinsic content sizes turned into
// hugging and compression-resistance constraints, all solved by one
// incremental `Solver`.
//
// Every item's variables are in window coordinates, so anchors of items in
// different subtrees meet directly; the view layer converts solved frames
// into its superviews' coordinates and decides when to apply them (frames
// change only in its layout passes). Activating a constraint is adding it,
// deactivating is removing it. A required constraint that cannot hold is
// refused with a `LayoutError` whose description names it, so the caller can
// drop it with one debug line; everything else stays solved.
//
// Numbers are bounded so that no frame is ever infinite or NaN: constants
// within ±10,000,000 points (`maximumMagnitude`), multipliers 0 or between
// 0.001 and 1,000 in magnitude, priorities finite (then clamped to 1–1000).
// A constraint with anything else is refused the same way (kind
// `outOfRange`), and so is one whose solution would put an edge or a size it
// moves beyond ±10,000,000 points (kind `solutionOutOfRange`; see Solver for
// how far that is looked at); the other constraints stay as they were. The
// view layer never applies a frame out of that range.
//
// Owned by the window (or a test); main thread only.
#pragma once

#include "platform/graphics/Geometry.hpp"
#include "platform/ui/layout/Solver.hpp"

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace platform::ui::layout {

enum class Attribute { left, right, top, bottom, leading, trailing, width, height, centerX, centerY };
enum class Axis { horizontal, vertical };

struct ItemId {
    std::uint32_t value = 0;
    bool isValid() const { return value != 0; }
    friend bool operator==(ItemId, ItemId) = default;
};

struct Anchor {
    ItemId item;
    Attribute attribute = Attribute::left;
};

struct ConstraintSpec {
    Anchor first;
    Relation relation = Relation::equal;
    std::optional<Anchor> second;  // none: the first anchor against the constant alone
    double multiplier = 1;
    double constant = 0;
    double priority = 1000;
};

struct LayoutConstraintId {
    std::uint32_t value = 0;
    bool isValid() const { return value != 0; }
    friend bool operator==(LayoutConstraintId, LayoutConstraintId) = default;
};

struct LayoutError {
    enum class Kind {
        unsatisfiable,  // a required constraint contradicts the others
        outOfRange,          // a constant, multiplier or priority that is not finite or out of range
        solutionOutOfRange,  // its solution would put an edge or a size out of range
        notInLayout,         // an item or constraint the engine does not hold
    };
    Kind kind = Kind::unsatisfiable;
    // What went wrong and the constraint: "Unable to satisfy constraint, dropping it: box.width == 200".
    std::string description;
    // The constraint alone, as `describe` gives it.
    std::string constraint;
};

class LayoutEngine {
public:
    static constexpr double requiredPriority = 1000;
    static constexpr double defaultHuggingPriority = 250;
    static constexpr double defaultCompressionResistancePriority = 750;
    // An intrinsic size component that the item does not have.
    static constexpr double noIntrinsicMetric = -1;
    static constexpr double maximumMagnitude = Solver::maximumMagnitude;
    static constexpr double maximumMultiplier = 1e3;
    static constexpr double minimumMultiplier = 1e-3;

    LayoutEngine();
    ~LayoutEngine();
    LayoutEngine(const LayoutEngine&) = delete;
    LayoutEngine& operator=(const LayoutEngine&) = delete;

    ItemId addItem(std::string name = {});
    // Removes the item with every constraint that mentions it.
    void removeItem(ItemId item);
    bool hasItem(ItemId item) const;

    // Activates a constraint. A required one that contradicts the others is
    // refused (nothing is added).
    std::expected<LayoutConstraintId, LayoutError> addConstraint(const ConstraintSpec& spec);
    // Deactivates it; false when it was not active.
    bool removeConstraint(LayoutConstraintId id);
    bool isActive(LayoutConstraintId id) const;
    // Changes the constant and re-solves incrementally. When a required
    // constraint can no longer hold with it, the constant is kept, the
    // constraint is dropped (no longer active) and the error describes it, as
    // when the new solution would be out of range; a constant that is not
    // finite or out of range is refused and the constraint kept.
    std::expected<void, LayoutError> setConstant(LayoutConstraintId id, double constant);
    // A priority that is not finite is refused and the constraint kept.
    std::expected<void, LayoutError> setPriority(LayoutConstraintId id, double priority);
    std::optional<ConstraintSpec> spec(LayoutConstraintId id) const;
    // "name.attribute == 2 * other.attribute + 10 @250"
    std::string describe(const ConstraintSpec& spec) const;
    // The same with the names given (the second is unused without a second anchor).
    static std::string describe(const ConstraintSpec& spec, std::string_view firstName, std::string_view secondName);
    // Whether the constant, multiplier and priority are within the bounds above.
    static bool hasValuesInRange(const ConstraintSpec& spec);

    // Intrinsic content size; a component of `noIntrinsicMetric` has none.
    // Each present component yields `size <= intrinsic` at the hugging
    // priority and `size >= intrinsic` at the compression resistance.
    void setIntrinsicContentSize(ItemId item, Size size);
    void setContentHuggingPriority(ItemId item, Axis axis, double priority);
    void setContentCompressionResistancePriority(ItemId item, Axis axis, double priority);
    double contentHuggingPriority(ItemId item, Axis axis) const;
    double contentCompressionResistancePriority(ItemId item, Axis axis) const;

    // The solved frame of the item, in window coordinates.
    Rect frame(ItemId item) const;
    double value(Anchor anchor) const;

    std::size_t constraintCount() const { return solver_.constraintCount(); }
    const Solver& solver() const { return solver_; }

private:
    struct AxisContent {
        double intrinsic = noIntrinsicMetric;
        double hugging = defaultHuggingPriority;
        double compression = defaultCompressionResistancePriority;
        ConstraintId huggingConstraint;
        ConstraintId compressionConstraint;
    };
    struct Item {
        std::string name;
        Variable left, top, width, height;
        AxisContent content[2];
        std::unordered_set<std::uint32_t> constraints;
    };
    struct Record {
        ConstraintSpec spec;
        ConstraintId solverId;
    };

    Expression expressionOf(const Anchor& anchor) const;
    Expression expressionOf(const ConstraintSpec& spec) const;
    void updateContentConstraints(Item& item, Axis axis);
    LayoutError errorFor(const ConstraintSpec& spec, const SolverError& error) const;
    LayoutError outOfRangeError(const ConstraintSpec& spec) const;

    Solver solver_;
    std::unordered_map<std::uint32_t, Item> items_;
    std::unordered_map<std::uint32_t, Record> constraints_;
    std::uint32_t nextItem_ = 1;
    std::uint32_t nextConstraint_ = 1;
};

}  // namespace platform::ui::layout
