// Variables and linear expressions of the constraint solver. A `Variable` is
// a small handle made by a `Solver` (its value is read back from that
// solver); an `Expression` is a constant plus a sum of coefficient × variable
// terms. Plain values, no View dependency; main thread, like the solver.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace platform::ui::layout {

class Variable {
public:
    constexpr Variable() = default;
    constexpr std::uint32_t id() const { return id_; }
    constexpr bool isValid() const { return id_ != 0; }
    friend constexpr bool operator==(Variable, Variable) = default;

private:
    friend class Solver;
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

}  // namespace platform::ui::layout

template <>
struct std::hash<platform::ui::layout::Variable> {
    std::size_t operator()(platform::ui::layout::Variable v) const noexcept { return std::hash<std::uint32_t>{}(v.id()); }
};
