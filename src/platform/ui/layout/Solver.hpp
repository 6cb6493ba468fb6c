// An incremental linear constraint solver (the Cassowary algorithm of Badros,
// Borning and Stuckey): linear equalities and inequalities over `Variable`s,
// each either required or preferred with a priority of 1–999. Required
// constraints always hold; preferred ones are met as well as the required
// ones allow, a higher priority counting far more than a lower one (the error
// of a priority p constraint weighs 10^(p/200): 750 outweighs 250 about 300
// times).
//
// The tableau is kept solved between calls: adding or removing a constraint
// re-optimises from the current solution (primal simplex), and changing a
// constraint's constant or an edit variable's suggested value re-solves with
// the dual simplex, touching only the rows that mention that constraint.
// A required constraint that contradicts the others is refused with an error
// and leaves the solver as it was.
//
// Numbers are kept where double arithmetic stays exact enough for the
// simplex's tolerance: constants and suggested values within
// ±maximumMagnitude, coefficients 0 or within minimumCoefficient–
// maximumCoefficient in magnitude; anything else, or anything not finite
// (priorities included), is refused. So is a constraint (or a new constant)
// whose solution would move a variable it defines or moves directly (or one
// of the first few referring to those) beyond ±maximumMagnitude; the
// constraints stay as they were. Removing a constraint is never refused.
//
// Costs stay close to linear in the size of the layout (the implementation
// says how): a chain of n items is n short rows, not n rows that each spell
// out the chain before them, and n preferred constraints on one size are n
// breakpoints of one term, not n rows that every pivot rewrites.
//
// Owned by whoever lays out (one per window's layout engine); main thread only.
#pragma once

#include "platform/ui/layout/Expression.hpp"

#include <cstdint>
#include <expected>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::ui::layout {

enum class Relation { lessThanOrEqual, equal, greaterThanOrEqual };

class ConstraintId {
public:
    constexpr ConstraintId() = default;
    constexpr std::uint32_t value() const { return value_; }
    constexpr bool isValid() const { return value_ != 0; }
    friend constexpr bool operator==(ConstraintId, ConstraintId) = default;

private:
    friend class Solver;
    constexpr explicit ConstraintId(std::uint32_t v) : value_(v) {}
    std::uint32_t value_ = 0;
};

struct SolverError {
    enum class Kind {
        unsatisfiable,      // a required constraint contradicts the required constraints already there
        unknownConstraint,  // the id names no constraint of this solver
        badEditVariable,    // edit of a variable not being edited, twice, or with the required priority
        notFinite,          // a coefficient, constant, value or priority is NaN or infinite
        outOfRange,         // a coefficient or constant out of range, or a solution beyond ±maximumMagnitude
    };
    Kind kind;
    std::string message;
};

class Solver {
public:
    static constexpr double required = 1000;
    static constexpr double maximumMagnitude = 1e7;
    static constexpr double maximumCoefficient = 1e4;
    static constexpr double minimumCoefficient = 1e-4;

    Solver();
    ~Solver();
    Solver(const Solver&) = delete;
    Solver& operator=(const Solver&) = delete;

    Variable createVariable();
    // Forgets a variable that no constraint mentions any more (and that is
    // not being edited), so that a later `createVariable` may reuse its
    // number and storage: the handle must not be used after. False, with
    // nothing changed, when the variable is unknown or still in use.
    bool releaseVariable(Variable variable);

    // Adds `expression relation 0` with a priority in [1, 1000] (clamped);
    // 1000 is required. A priority that is not finite is refused.
    std::expected<ConstraintId, SolverError> addConstraint(const Expression& expression, Relation relation,
                                                           double priority = required);
    // False when the id names no constraint.
    bool removeConstraint(ConstraintId id);
    bool hasConstraint(ConstraintId id) const;
    std::size_t constraintCount() const;

    // Replaces the constant term of the constraint's expression and re-solves
    // incrementally. When a required constraint can no longer hold, the
    // constant stays as it was and an `unsatisfiable` error is returned.
    std::expected<void, SolverError> setConstant(ConstraintId id, double constant);
    double constant(ConstraintId id) const;

    // Edit variables: a preferred `variable == value` whose value is then
    // suggested repeatedly (dragging, animating) without re-adding anything.
    std::expected<void, SolverError> addEditVariable(Variable variable, double priority);
    bool removeEditVariable(Variable variable);
    bool hasEditVariable(Variable variable) const;
    std::expected<void, SolverError> suggestValue(Variable variable, double value);

    // The variable's value in the current solution (0 for a variable that no
    // constraint determines).
    double value(Variable variable) const;

    // Pivots made so far (for measurements).
    std::uint64_t pivotCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform::ui::layout

template <>
struct std::hash<platform::ui::layout::ConstraintId> {
    std::size_t operator()(platform::ui::layout::ConstraintId c) const noexcept {
        return std::hash<std::uint32_t>{}(c.value());
    }
};
