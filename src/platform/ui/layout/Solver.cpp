#include "platform/ui/layout/Solver.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace platform::ui::layout {

namespace {

constexpr double epsilon = 1e-8;
bool nearZero(double v) { return std::fabs(v) < epsilon; }

// Symbols of the tableau share one numbering with the variables: a
// variable's id is its (external) symbol.
using Symbol = std::uint32_t;
enum class Kind : std::uint8_t { invalid, external, slack, error, dummy };

// One linear row: constant + Σ coefficient × symbol, cells sorted by symbol.
class Row {
public:
    double constant = 0;

    const std::vector<std::pair<Symbol, double>>& cells() const { return cells_; }
    bool empty() const { return cells_.empty(); }

    double coefficient(Symbol s) const {
        auto it = find(s);
        return it != cells_.end() && it->first == s ? it->second : 0.0;
    }

    void add(Symbol s, double coefficient) {
        auto it = find(s);
        if (it != cells_.end() && it->first == s) {
            it->second += coefficient;
            if (nearZero(it->second)) cells_.erase(it);
        } else if (!nearZero(coefficient)) {
            cells_.insert(it, {s, coefficient});
        }
    }

    // this += k × other
    void addRow(const Row& other, double k) {
        constant += k * other.constant;
        std::vector<std::pair<Symbol, double>> merged;
        merged.reserve(cells_.size() + other.cells_.size());
        auto a = cells_.begin();
        auto b = other.cells_.begin();
        while (a != cells_.end() || b != other.cells_.end()) {
            if (b == other.cells_.end() || (a != cells_.end() && a->first < b->first)) {
                merged.push_back(*a++);
            } else if (a == cells_.end() || b->first < a->first) {
                merged.emplace_back(b->first, k * b->second);
                ++b;
            } else {
                const double sum = a->second + k * b->second;
                if (!nearZero(sum)) merged.emplace_back(a->first, sum);
                ++a;
                ++b;
            }
        }
        cells_ = std::move(merged);
    }

    void remove(Symbol s) {
        auto it = find(s);
        if (it != cells_.end() && it->first == s) cells_.erase(it);
    }

    void negate() {
        constant = -constant;
        for (auto& cell : cells_) cell.second = -cell.second;
    }

    // Turns `0 = this` into `s = …` (s must be in the row).
    void solveFor(Symbol s) {
        const double k = -1.0 / coefficient(s);
        remove(s);
        constant *= k;
        for (auto& cell : cells_) cell.second *= k;
    }

    // Turns `lhs = this` (with rhs in the row) into `rhs = …`.
    void solveFor(Symbol lhs, Symbol rhs) {
        add(lhs, -1.0);
        solveFor(rhs);
    }

    // Replaces s by the row that defines it.
    void substitute(Symbol s, const Row& definition) {
        const double k = coefficient(s);
        if (k == 0.0) return;
        remove(s);
        addRow(definition, k);
    }

private:
    std::vector<std::pair<Symbol, double>>::iterator find(Symbol s) {
        return std::lower_bound(cells_.begin(), cells_.end(), s,
                                [](const auto& cell, Symbol v) { return cell.first < v; });
    }
    std::vector<std::pair<Symbol, double>>::const_iterator find(Symbol s) const {
        return std::lower_bound(cells_.begin(), cells_.end(), s,
                                [](const auto& cell, Symbol v) { return cell.first < v; });
    }

    std::vector<std::pair<Symbol, double>> cells_;
};

double weightOf(double priority) { return std::pow(10.0, priority / 200.0); }

bool isFinite(const Expression& e) {
    return std::isfinite(e.constant()) &&
           std::all_of(e.terms().begin(), e.terms().end(), [](const Term& t) { return std::isfinite(t.coefficient); });
}

std::unexpected<SolverError> notFinite() {
    return std::unexpected(SolverError{SolverError::Kind::notFinite, "constraint with a value that is not finite"});
}

}  // namespace

struct Solver::Impl {
    struct ConstraintInfo {
        Symbol marker = 0;          // slack (inequality), first error (preferred equality) or dummy (required equality)
        Symbol other = 0;           // the second error symbol of a preferred constraint, else 0
        double markerCoefficient = 0;  // the marker's coefficient in the constraint as written
        double weight = 0;          // 0 for a required constraint
        double constant = 0;        // the expression's constant as last set
    };

    std::vector<Kind> kinds{Kind::invalid};
    std::unordered_map<Symbol, Row> rows;
    Row objective;
    std::unique_ptr<Row> artificial;
    std::vector<Symbol> infeasible;
    std::unordered_map<ConstraintId, ConstraintInfo> constraints;
    std::unordered_map<Variable, ConstraintId> edits;
    std::uint32_t nextConstraint = 1;
    std::uint64_t pivots = 0;

    Symbol newSymbol(Kind kind) {
        kinds.push_back(kind);
        return static_cast<Symbol>(kinds.size() - 1);
    }
    Kind kindOf(Symbol s) const { return s < kinds.size() ? kinds[s] : Kind::invalid; }
    bool isRestricted(Symbol s) const { return kindOf(s) != Kind::external; }
    bool isPivotable(Symbol s) const { return kindOf(s) == Kind::slack || kindOf(s) == Kind::error; }

    Row createRow(const Expression& expression, Relation relation, double priority, ConstraintInfo& info) {
        Row row;
        row.constant = expression.constant();
        for (const Term& term : expression.terms()) {
            if (nearZero(term.coefficient) || kindOf(term.variable.id()) != Kind::external) continue;
            auto basic = rows.find(term.variable.id());
            if (basic != rows.end()) row.addRow(basic->second, term.coefficient);
            else row.add(term.variable.id(), term.coefficient);
        }
        const bool isRequired = priority >= required;
        info.weight = isRequired ? 0 : weightOf(priority);
        info.constant = expression.constant();
        if (relation == Relation::equal) {
            if (isRequired) {
                info.marker = newSymbol(Kind::dummy);
                info.markerCoefficient = 1;
                row.add(info.marker, 1);
            } else {
                info.marker = newSymbol(Kind::error);
                info.other = newSymbol(Kind::error);
                info.markerCoefficient = -1;
                row.add(info.marker, -1);
                row.add(info.other, 1);
                objective.add(info.marker, info.weight);
                objective.add(info.other, info.weight);
            }
        } else {
            // expression <= 0  ⇔  expression + slack = 0;  expression >= 0  ⇔  expression − slack = 0.
            const double k = relation == Relation::lessThanOrEqual ? 1.0 : -1.0;
            info.marker = newSymbol(Kind::slack);
            info.markerCoefficient = k;
            row.add(info.marker, k);
            if (!isRequired) {
                info.other = newSymbol(Kind::error);
                row.add(info.other, -k);
                objective.add(info.other, info.weight);
            }
        }
        if (row.constant < 0) row.negate();
        return row;
    }

    Symbol chooseSubject(const Row& row, const ConstraintInfo& info) const {
        for (const auto& [s, k] : row.cells())
            if (kindOf(s) == Kind::external) return s;
        if (isPivotable(info.marker) && row.coefficient(info.marker) < 0) return info.marker;
        if (info.other && isPivotable(info.other) && row.coefficient(info.other) < 0) return info.other;
        return 0;
    }

    bool allDummies(const Row& row) const {
        return std::all_of(row.cells().begin(), row.cells().end(),
                           [&](const auto& cell) { return kindOf(cell.first) == Kind::dummy; });
    }

    void substitute(Symbol s, const Row& definition) {
        for (auto& [basic, row] : rows) {
            row.substitute(s, definition);
            if (isRestricted(basic) && row.constant < 0) infeasible.push_back(basic);
        }
        objective.substitute(s, definition);
        if (artificial) artificial->substitute(s, definition);
    }

    void pivot(Symbol leaving, Symbol entering) {
        auto node = rows.extract(leaving);
        Row row = std::move(node.mapped());
        row.solveFor(leaving, entering);
        substitute(entering, row);
        rows.emplace(entering, std::move(row));
        ++pivots;
    }

    // Primal simplex on `goal` (the objective or the artificial objective).
    // A symbol that no restricted row bounds is a direction in which the goal
    // only seems to fall (a coefficient below the tolerance in every row):
    // it is passed over, not taken as an unbounded objective.
    void optimize(const Row& goal) {
        for (;;) {
            Symbol entering = 0;
            Symbol leaving = 0;
            for (const auto& [candidate, k] : goal.cells()) {
                if (kindOf(candidate) == Kind::dummy || k >= -epsilon) continue;
                // Lowest symbol first (Bland's rule: no cycling).
                leaving = leavingRowFor(candidate);
                if (leaving) {
                    entering = candidate;
                    break;
                }
            }
            if (!entering) return;
            pivot(leaving, entering);
        }
    }

    Symbol leavingRowFor(Symbol entering) const {
        Symbol leaving = 0;
        double best = std::numeric_limits<double>::infinity();
        for (const auto& [basic, row] : rows) {
            if (!isRestricted(basic)) continue;
            const double k = row.coefficient(entering);
            if (k >= -epsilon) continue;
            const double ratio = -row.constant / k;
            if (ratio < best - epsilon || (ratio <= best + epsilon && basic < leaving)) {
                best = ratio;
                leaving = basic;
            }
        }
        return leaving;
    }

    // Dual simplex: restores feasibility after constants changed, keeping optimality.
    bool dualOptimize() {
        while (!infeasible.empty()) {
            const Symbol leaving = infeasible.back();
            infeasible.pop_back();
            auto it = rows.find(leaving);
            if (it == rows.end() || it->second.constant >= 0) continue;
            if (nearZero(it->second.constant)) {
                it->second.constant = 0;
                continue;
            }
            Symbol entering = 0;
            double best = std::numeric_limits<double>::infinity();
            for (const auto& [s, k] : it->second.cells()) {
                if (k <= epsilon || kindOf(s) == Kind::dummy) continue;
                const double ratio = objective.coefficient(s) / k;
                if (ratio < best - epsilon || (ratio <= best + epsilon && s < entering)) {
                    best = ratio;
                    entering = s;
                }
            }
            if (!entering) {
                infeasible.clear();
                return false;
            }
            pivot(leaving, entering);
        }
        return true;
    }

    bool addWithArtificialVariable(const Row& row) {
        const Symbol art = newSymbol(Kind::slack);
        rows.emplace(art, row);
        artificial = std::make_unique<Row>(row);
        optimize(*artificial);
        const bool success = nearZero(artificial->constant);
        artificial.reset();
        if (auto it = rows.find(art); it != rows.end()) {
            Row definition = std::move(it->second);
            rows.erase(it);
            if (definition.empty()) return success;
            Symbol entering = 0;
            for (const auto& [s, k] : definition.cells()) {
                if (isPivotable(s)) {
                    entering = s;
                    break;
                }
            }
            if (!entering) return false;
            definition.solveFor(art, entering);
            substitute(entering, definition);
            rows.emplace(entering, std::move(definition));
        }
        for (auto& [basic, r] : rows) r.remove(art);
        objective.remove(art);
        return success;
    }

    // The row to pivot a constraint's marker into the basis when removing it.
    Symbol markerLeavingRow(Symbol marker) const {
        double r1 = std::numeric_limits<double>::infinity();
        double r2 = r1;
        Symbol first = 0, second = 0, third = 0;
        for (const auto& [basic, row] : rows) {
            const double k = row.coefficient(marker);
            if (k == 0.0) continue;
            if (!isRestricted(basic)) {
                if (!third || basic < third) third = basic;
            } else if (k < 0) {
                const double r = -row.constant / k;
                if (r < r1) { r1 = r; first = basic; }
            } else {
                const double r = row.constant / k;
                if (r < r2) { r2 = r; second = basic; }
            }
        }
        return first ? first : second ? second : third;
    }

    // The constraint's expression constant moved by `delta`: with the marker m
    // appearing as k·m, the same tableau holds for m = m' + delta / k.
    // Returns the basic dummies whose rows moved (see resolveDummies).
    std::vector<Symbol> shiftConstant(const ConstraintInfo& info, double delta) {
        std::vector<Symbol> movedDummies;
        const double shift = delta / info.markerCoefficient;
        if (auto it = rows.find(info.marker); it != rows.end()) {
            it->second.constant -= shift;
            if (it->second.constant < 0) infeasible.push_back(info.marker);
            if (kindOf(info.marker) == Kind::dummy) movedDummies.push_back(info.marker);
            return movedDummies;
        }
        for (auto& [basic, row] : rows) {
            const double k = row.coefficient(info.marker);
            if (k == 0.0) continue;
            row.constant += k * shift;
            if (isRestricted(basic) && row.constant < 0) infeasible.push_back(basic);
            if (kindOf(basic) == Kind::dummy) movedDummies.push_back(basic);
        }
        return movedDummies;
    }

    // A basic dummy belongs to a required equality that repeated others, and
    // its row holds only other dummies, so no pivot ever changes it. When a
    // removal put other symbols into that row, the equality has become a real
    // one: the dummy leaves the basis for another symbol of its row (making
    // the row hold; the rest is up to the dual simplex). A row of dummies alone
    // that is no longer zero (a constant moved) is a contradiction.
    bool resolveDummies() {
        std::vector<Symbol> candidates;
        for (const auto& [basic, row] : rows)
            if (kindOf(basic) == Kind::dummy) candidates.push_back(basic);
        return resolveDummies(candidates);
    }

    // The same, for the rows of `candidates` only (basic dummies whose rows
    // are all that can have changed).
    bool resolveDummies(const std::vector<Symbol>& candidates) {
        std::vector<Symbol> moved;
        for (const Symbol basic : candidates) {
            const auto it = rows.find(basic);
            if (it == rows.end()) continue;
            const Row& row = it->second;
            const bool mixed = std::any_of(row.cells().begin(), row.cells().end(),
                                           [&](const auto& cell) { return kindOf(cell.first) != Kind::dummy; });
            if (mixed || !nearZero(row.constant)) moved.push_back(basic);
        }
        for (const Symbol dummy : moved) {
            Symbol entering = 0;
            for (const auto& [sym, k] : rows.at(dummy).cells())
                if (kindOf(sym) != Kind::dummy && (!entering || kindOf(sym) == Kind::external)) entering = sym;
            if (!entering) return false;
            pivot(dummy, entering);
            if (isRestricted(entering) && rows.at(entering).constant < 0) infeasible.push_back(entering);
        }
        return true;
    }

    void removeErrorTerm(Symbol s, double weight) {
        if (kindOf(s) != Kind::error) return;
        if (auto it = rows.find(s); it != rows.end()) objective.addRow(it->second, -weight);
        else objective.add(s, -weight);
    }
};

Solver::Solver() : impl_(std::make_unique<Impl>()) {}
Solver::~Solver() = default;

Variable Solver::createVariable() { return Variable(impl_->newSymbol(Kind::external)); }

std::expected<ConstraintId, SolverError> Solver::addConstraint(const Expression& expression, Relation relation,
                                                               double priority) {
    Impl& s = *impl_;
    if (!isFinite(expression)) return notFinite();
    priority = std::isnan(priority) ? required : std::clamp(priority, 1.0, required);
    Impl::ConstraintInfo info;
    Row row = s.createRow(expression, relation, priority, info);
    const auto refused = [] {
        return std::unexpected(SolverError{SolverError::Kind::unsatisfiable,
                                           "required constraint cannot be satisfied together with the others"});
    };

    Symbol subject = s.chooseSubject(row, info);
    if (!subject && s.allDummies(row)) {
        if (!nearZero(row.constant)) return refused();  // required: nothing was added to the objective
        subject = info.marker;                          // redundant with what is there
    }
    if (!subject) {
        // No variable to solve for: find out whether the row can be made
        // zero with an artificial variable; restore everything when not.
        const auto savedRows = s.rows;
        const Row savedObjective = s.objective;
        if (!s.addWithArtificialVariable(row)) {
            s.rows = savedRows;
            s.objective = savedObjective;
            s.infeasible.clear();
            return refused();
        }
    } else {
        row.solveFor(subject);
        s.substitute(subject, row);
        s.rows.emplace(subject, std::move(row));
    }
    s.infeasible.clear();
    const ConstraintId id(s.nextConstraint++);
    s.constraints.emplace(id, info);
    s.optimize(s.objective);
    return id;
}

bool Solver::removeConstraint(ConstraintId id) {
    Impl& s = *impl_;
    auto found = s.constraints.find(id);
    if (found == s.constraints.end()) return false;
    const Impl::ConstraintInfo info = found->second;
    s.constraints.erase(found);
    s.removeErrorTerm(info.marker, info.weight);
    if (info.other) s.removeErrorTerm(info.other, info.weight);
    if (auto row = s.rows.find(info.marker); row != s.rows.end()) {
        s.rows.erase(row);
    } else if (const Symbol leaving = s.markerLeavingRow(info.marker)) {
        auto node = s.rows.extract(leaving);
        Row definition = std::move(node.mapped());
        definition.solveFor(leaving, info.marker);
        s.substitute(info.marker, definition);
        ++s.pivots;
    }
    s.infeasible.clear();
    s.resolveDummies();
    s.dualOptimize();
    s.optimize(s.objective);
    return true;
}

bool Solver::hasConstraint(ConstraintId id) const { return impl_->constraints.contains(id); }
std::size_t Solver::constraintCount() const { return impl_->constraints.size(); }

std::expected<void, SolverError> Solver::setConstant(ConstraintId id, double constant) {
    Impl& s = *impl_;
    auto found = s.constraints.find(id);
    if (found == s.constraints.end())
        return std::unexpected(SolverError{SolverError::Kind::unknownConstraint, "no such constraint"});
    if (!std::isfinite(constant)) return notFinite();
    Impl::ConstraintInfo& info = found->second;
    const double delta = constant - info.constant;
    if (delta == 0.0) return {};
    const auto refused = [] {
        return std::unexpected(SolverError{SolverError::Kind::unsatisfiable,
                                           "required constraint cannot be satisfied with the new constant"});
    };
    // A constant moves no symbol into a row, so only the rows it shifted can
    // hold a dummy that is no longer zero.
    if (s.resolveDummies(s.shiftConstant(info, delta)) && s.dualOptimize()) {
        info.constant = constant;
        s.optimize(s.objective);
        return {};
    }
    // The tableau is still an equivalent system: undo the shift and let the
    // simplex find the previous solution again.
    s.infeasible.clear();
    s.shiftConstant(info, -delta);
    s.resolveDummies();
    for (const auto& [basic, row] : s.rows)
        if (s.isRestricted(basic) && row.constant < 0) s.infeasible.push_back(basic);
    s.dualOptimize();
    s.optimize(s.objective);
    return refused();
}

double Solver::constant(ConstraintId id) const {
    auto found = impl_->constraints.find(id);
    return found == impl_->constraints.end() ? 0.0 : found->second.constant;
}

std::expected<void, SolverError> Solver::addEditVariable(Variable variable, double priority) {
    Impl& s = *impl_;
    if (s.edits.contains(variable) || priority >= required || s.kindOf(variable.id()) != Kind::external)
        return std::unexpected(SolverError{SolverError::Kind::badEditVariable,
                                           "edit variables need a known variable, once, below the required priority"});
    auto id = addConstraint(Expression(variable), Relation::equal, priority);
    if (!id) return std::unexpected(id.error());
    s.edits.emplace(variable, *id);
    return {};
}

bool Solver::removeEditVariable(Variable variable) {
    auto found = impl_->edits.find(variable);
    if (found == impl_->edits.end()) return false;
    const ConstraintId id = found->second;
    impl_->edits.erase(found);
    return removeConstraint(id);
}

bool Solver::hasEditVariable(Variable variable) const { return impl_->edits.contains(variable); }

std::expected<void, SolverError> Solver::suggestValue(Variable variable, double value) {
    auto found = impl_->edits.find(variable);
    if (found == impl_->edits.end())
        return std::unexpected(SolverError{SolverError::Kind::badEditVariable, "variable is not being edited"});
    // The edit constraint reads variable − value = 0.
    return setConstant(found->second, -value);
}

double Solver::value(Variable variable) const {
    auto it = impl_->rows.find(variable.id());
    return it == impl_->rows.end() ? 0.0 : it->second.constant;
}

std::uint64_t Solver::pivotCount() const { return impl_->pivots; }

}  // namespace platform::ui::layout
