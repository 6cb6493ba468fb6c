// The constraint solver as it was before its from-scratch path was reworked
// (node-based rows, columns and objective; every constraint re-optimised as
// it comes), kept unchanged but for its names so that tests can compare the
// current solver's results with it and benchmarks can time both on the same
// system in the same run. Not used by the product.
#pragma once

#include "platform/ui/layout/Solver.hpp"

#include <cstdint>
#include <expected>
#include <functional>
#include <memory>
#include <vector>

namespace baseline_layout {

using platform::ui::layout::Relation;
using platform::ui::layout::SolverError;


class Variable {
public:
    constexpr Variable() = default;
    constexpr std::uint32_t id() const { return id_; }
    constexpr bool isValid() const { return id_ != 0; }
    friend constexpr bool operator==(Variable, Variable) = default;

private:
    friend class BaselineSolver;
    constexpr explicit Variable(std::uint32_t id) : id_(id) {}
    std::uint32_t id_ = 0;
};

struct Term {
    Variable variable;
    double coefficient = 1;
};

class Expression {
public:
    Expression() = default;
    Expression(double constant) : constant_(constant) {}  // NOLINT: a number is an expression
    Expression(Variable v, double coefficient = 1, double constant = 0) : constant_(constant) {  // NOLINT
        terms_.push_back({v, coefficient});
    }

    const std::vector<Term>& terms() const { return terms_; }
    double constant() const { return constant_; }
    void setConstant(double c) { constant_ = c; }

    Expression& operator+=(const Expression& other) {
        terms_.insert(terms_.end(), other.terms_.begin(), other.terms_.end());
        constant_ += other.constant_;
        return *this;
    }
    Expression& operator-=(const Expression& other) { return *this += other * -1.0; }
    Expression& operator*=(double k) {
        for (Term& t : terms_) t.coefficient *= k;
        constant_ *= k;
        return *this;
    }

    friend Expression operator+(Expression a, const Expression& b) { return a += b; }
    friend Expression operator-(Expression a, const Expression& b) { return a -= b; }
    friend Expression operator*(Expression a, double k) { return a *= k; }
    friend Expression operator*(double k, Expression a) { return a *= k; }
    friend Expression operator-(Expression a) { return a *= -1.0; }

private:
    std::vector<Term> terms_;
    double constant_ = 0;
};



class ConstraintId {
public:
    constexpr ConstraintId() = default;
    constexpr std::uint32_t value() const { return value_; }
    constexpr bool isValid() const { return value_ != 0; }
    friend constexpr bool operator==(ConstraintId, ConstraintId) = default;

private:
    friend class BaselineSolver;
    constexpr explicit ConstraintId(std::uint32_t v) : value_(v) {}
    std::uint32_t value_ = 0;
};


class BaselineSolver {
public:
    static constexpr double required = 1000;
    static constexpr double maximumMagnitude = 1e7;
    static constexpr double maximumCoefficient = 1e4;
    static constexpr double minimumCoefficient = 1e-4;

    BaselineSolver();
    ~BaselineSolver();
    BaselineSolver(const BaselineSolver&) = delete;
    BaselineSolver& operator=(const BaselineSolver&) = delete;

    Variable createVariable();

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

}  // namespace baseline_layout

template <>
struct std::hash<baseline_layout::Variable> {
    std::size_t operator()(baseline_layout::Variable v) const noexcept { return std::hash<std::uint32_t>{}(v.id()); }
};

template <>
struct std::hash<baseline_layout::ConstraintId> {
    std::size_t operator()(baseline_layout::ConstraintId c) const noexcept {
        return std::hash<std::uint32_t>{}(c.value());
    }
};
