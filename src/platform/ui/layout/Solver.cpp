#include "platform/ui/layout/Solver.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>

namespace platform::ui::layout {

namespace {

constexpr double epsilon = 1e-8;
bool nearZero(double v) { return std::fabs(v) < epsilon; }

// Symbols of the tableau share one numbering with the variables: a
// variable's id is its (external) symbol.
using Symbol = std::uint32_t;
enum class Kind : std::uint8_t { invalid, external, slack, error, dummy };

struct Ignore {
    void operator()(Symbol) const {}
};

// One linear row of the tableau: constant + Σ coefficient × symbol, cells
// sorted by symbol. The operations that change which symbols a row holds
// report each symbol that enters (`added`) or leaves (`removed`), so that the
// solver can keep its column index in step.
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
    template <class Added = Ignore, class Removed = Ignore>
    void addRow(const Row& other, double k, Added&& added = {}, Removed&& removed = {}) {
        constant += k * other.constant;
        std::vector<std::pair<Symbol, double>> merged;
        merged.reserve(cells_.size() + other.cells_.size());
        auto a = cells_.begin();
        auto b = other.cells_.begin();
        while (a != cells_.end() || b != other.cells_.end()) {
            if (b == other.cells_.end() || (a != cells_.end() && a->first < b->first)) {
                merged.push_back(*a++);
            } else if (a == cells_.end() || b->first < a->first) {
                const double value = k * b->second;
                if (!nearZero(value)) {
                    merged.emplace_back(b->first, value);
                    added(b->first);
                }
                ++b;
            } else {
                const double sum = a->second + k * b->second;
                if (!nearZero(sum)) merged.emplace_back(a->first, sum);
                else removed(a->first);
                ++a;
                ++b;
            }
        }
        cells_ = std::move(merged);
    }

    bool remove(Symbol s) {
        auto it = find(s);
        if (it == cells_.end() || it->first != s) return false;
        cells_.erase(it);
        return true;
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
    template <class Added = Ignore, class Removed = Ignore>
    void substitute(Symbol s, const Row& definition, Added&& added = {}, Removed&& removed = {}) {
        const double k = coefficient(s);
        if (k == 0.0) return;
        remove(s);
        removed(s);
        addRow(definition, k, added, removed);
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

// What the simplex minimises (the objective, or the artificial objective
// while a row is tested): a row that can hold every error symbol, so it is
// kept in a hash table, with the symbols whose coefficient is below the
// tolerance (the candidates to enter the basis, dummies excepted) in order.
// While a journal is set, the first coefficient each change replaces is kept
// in it.
class Goal {
public:
    explicit Goal(const std::vector<Kind>& kinds) : kinds_(kinds) {}

    double constant = 0;

    double coefficient(Symbol s) const {
        auto it = cells_.find(s);
        return it == cells_.end() ? 0.0 : it->second;
    }
    void add(Symbol s, double k) { put(s, coefficient(s) + k); }
    void addRow(const Row& row, double k) {
        constant += k * row.constant;
        for (const auto& [s, c] : row.cells()) add(s, k * c);
    }
    void substitute(Symbol s, const Row& definition) {
        const double k = coefficient(s);
        if (k == 0.0) return;
        put(s, 0);
        addRow(definition, k);
    }
    void remove(Symbol s) {
        if (cells_.contains(s)) put(s, 0);
    }
    // Symbols with a coefficient below −epsilon, lowest first.
    const std::set<Symbol>& falling() const { return falling_; }

    void setJournal(std::unordered_map<Symbol, double>* journal) { journal_ = journal; }
    // Puts back a coefficient without recording it.
    void restore(Symbol s, double k) {
        auto* journal = std::exchange(journal_, nullptr);
        put(s, k);
        journal_ = journal;
    }

private:
    void put(Symbol s, double k) {
        auto it = cells_.find(s);
        if (journal_) journal_->try_emplace(s, it == cells_.end() ? 0.0 : it->second);
        if (nearZero(k)) {
            if (it != cells_.end()) cells_.erase(it);
            falling_.erase(s);
            return;
        }
        if (it != cells_.end()) it->second = k;
        else cells_.emplace(s, k);
        if (k < -epsilon && s < kinds_.size() && kinds_[s] != Kind::dummy) falling_.insert(s);
        else falling_.erase(s);
    }

    const std::vector<Kind>& kinds_;
    std::unordered_map<Symbol, double> cells_;
    std::set<Symbol> falling_;
    std::unordered_map<Symbol, double>* journal_ = nullptr;
};

double weightOf(double priority) { return std::pow(10.0, priority / 200.0); }

std::unexpected<SolverError> notFinite() {
    return std::unexpected(SolverError{SolverError::Kind::notFinite, "constraint with a value that is not finite"});
}

std::unexpected<SolverError> outOfRange() {
    return std::unexpected(
        SolverError{SolverError::Kind::outOfRange, "constraint with a coefficient, constant or result out of range"});
}

std::optional<std::unexpected<SolverError>> checkExpression(const Expression& e) {
    bool finite = std::isfinite(e.constant());
    bool inRange = std::fabs(e.constant()) <= Solver::maximumMagnitude;
    for (const Term& t : e.terms()) {
        finite = finite && std::isfinite(t.coefficient);
        const double k = std::fabs(t.coefficient);
        inRange = inRange && k <= Solver::maximumCoefficient && (k == 0 || k >= Solver::minimumCoefficient);
    }
    if (!finite) return notFinite();
    if (!inRange) return outOfRange();
    return std::nullopt;
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

    // The state an operation started from, for the rows and objective
    // coefficients it changed: what `rollBack` puts back when the operation
    // is refused, and the rows whose values it checks.
    struct Journal {
        bool active = false;
        std::unordered_map<Symbol, std::optional<Row>> rows;  // none: the row did not exist
        std::unordered_map<Symbol, double> objective;
        double objectiveConstant = 0;
    };

    std::vector<Kind> kinds{Kind::invalid};
    std::unordered_map<Symbol, Row> rows;
    // For each symbol, the basic symbols whose rows hold it: substitutions,
    // ratio tests and constant shifts visit only those rows.
    std::unordered_map<Symbol, std::unordered_set<Symbol>> columns;
    Goal objective{kinds};
    std::unique_ptr<Goal> artificial;
    std::vector<Symbol> infeasible;
    std::unordered_map<ConstraintId, ConstraintInfo> constraints;
    std::unordered_map<Variable, ConstraintId> edits;
    Journal journal;
    std::uint32_t nextConstraint = 1;
    std::uint64_t pivots = 0;

    Symbol newSymbol(Kind kind) {
        kinds.push_back(kind);
        return static_cast<Symbol>(kinds.size() - 1);
    }
    Kind kindOf(Symbol s) const { return s < kinds.size() ? kinds[s] : Kind::invalid; }
    bool isRestricted(Symbol s) const { return kindOf(s) != Kind::external; }
    bool isPivotable(Symbol s) const { return kindOf(s) == Kind::slack || kindOf(s) == Kind::error; }

    // ---- Rows, columns and the journal ----

    void columnAdd(Symbol s, Symbol basic) { columns[s].insert(basic); }
    void columnRemove(Symbol s, Symbol basic) {
        auto it = columns.find(s);
        if (it == columns.end()) return;
        it->second.erase(basic);
        if (it->second.empty()) columns.erase(it);
    }
    // The basic symbols whose rows hold s, as a list that stays valid while
    // those rows change.
    std::vector<Symbol> rowsHolding(Symbol s) const {
        auto it = columns.find(s);
        if (it == columns.end()) return {};
        return {it->second.begin(), it->second.end()};
    }

    void record(Symbol basic, const Row* row) {
        if (!journal.active) return;
        if (journal.rows.contains(basic)) return;
        journal.rows.emplace(basic, row ? std::optional<Row>(*row) : std::nullopt);
    }

    void insertRow(Symbol basic, Row row) {
        record(basic, nullptr);
        for (const auto& [s, k] : row.cells()) columnAdd(s, basic);
        rows.insert_or_assign(basic, std::move(row));
    }

    Row takeRow(std::unordered_map<Symbol, Row>::iterator it) {
        const Symbol basic = it->first;
        record(basic, &it->second);
        for (const auto& [s, k] : it->second.cells()) columnRemove(s, basic);
        Row row = std::move(it->second);
        rows.erase(it);
        return row;
    }

    void beginJournal() {
        journal.active = true;
        journal.rows.clear();
        journal.objective.clear();
        journal.objectiveConstant = objective.constant;
        objective.setJournal(&journal.objective);
    }

    void endJournal() {
        journal.active = false;
        journal.rows.clear();
        journal.objective.clear();
        objective.setJournal(nullptr);
    }

    // Puts every row and objective coefficient the operation changed back.
    void rollBack() {
        objective.setJournal(nullptr);
        journal.active = false;
        for (auto& [basic, saved] : journal.rows) {
            if (auto it = rows.find(basic); it != rows.end()) {
                for (const auto& [s, k] : it->second.cells()) columnRemove(s, basic);
                rows.erase(it);
            }
            if (saved) {
                for (const auto& [s, k] : saved->cells()) columnAdd(s, basic);
                rows.emplace(basic, std::move(*saved));
            }
        }
        for (const auto& [s, k] : journal.objective) objective.restore(s, k);
        objective.constant = journal.objectiveConstant;
        artificial.reset();
        infeasible.clear();
        endJournal();
    }

    // Whether every row the operation changed holds finite numbers, and every
    // variable it moved stays within ±maximumMagnitude.
    bool changesInRange() const {
        for (const auto& [basic, saved] : journal.rows) {
            auto it = rows.find(basic);
            if (it == rows.end()) continue;
            const Row& row = it->second;
            if (!std::isfinite(row.constant)) return false;
            if (kindOf(basic) == Kind::external && std::fabs(row.constant) > maximumMagnitude) return false;
            for (const auto& [s, k] : row.cells())
                if (!std::isfinite(k)) return false;
        }
        for (const auto& [s, k] : journal.objective)
            if (!std::isfinite(objective.coefficient(s))) return false;
        return std::isfinite(objective.constant);
    }

    // ---- Simplex ----

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

    // Replaces s by its definition in every row that holds it and in the goals.
    void substitute(Symbol s, const Row& definition) {
        for (const Symbol basic : rowsHolding(s)) {
            Row& row = rows.find(basic)->second;
            record(basic, &row);
            row.substitute(
                s, definition, [&](Symbol added) { columnAdd(added, basic); },
                [&](Symbol removed) { columnRemove(removed, basic); });
            if (isRestricted(basic) && row.constant < 0) infeasible.push_back(basic);
        }
        objective.substitute(s, definition);
        if (artificial) artificial->substitute(s, definition);
    }

    void pivot(Symbol leaving, Symbol entering) {
        Row row = takeRow(rows.find(leaving));
        row.solveFor(leaving, entering);
        substitute(entering, row);
        insertRow(entering, std::move(row));
        ++pivots;
    }

    // Primal simplex on `goal` (the objective or the artificial objective).
    // A symbol that no restricted row bounds is a direction in which the goal
    // only seems to fall (a coefficient below the tolerance in every row):
    // it is passed over, not taken as an unbounded objective.
    void optimize(const Goal& goal) {
        for (;;) {
            Symbol entering = 0;
            Symbol leaving = 0;
            // Lowest symbol first (Bland's rule: no cycling).
            for (const Symbol candidate : goal.falling()) {
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
        auto column = columns.find(entering);
        if (column == columns.end()) return 0;
        for (const Symbol basic : column->second) {
            if (!isRestricted(basic)) continue;
            const Row& row = rows.find(basic)->second;
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
                record(leaving, &it->second);
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
        insertRow(art, row);
        artificial = std::make_unique<Goal>(kinds);
        artificial->addRow(row, 1);
        optimize(*artificial);
        const bool success = nearZero(artificial->constant);
        artificial.reset();
        if (auto it = rows.find(art); it != rows.end()) {
            Row definition = takeRow(it);
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
            insertRow(entering, std::move(definition));
        }
        for (const Symbol basic : rowsHolding(art)) {
            Row& r = rows.find(basic)->second;
            record(basic, &r);
            r.remove(art);
            columnRemove(art, basic);
        }
        objective.remove(art);
        return success;
    }

    // The row to pivot a constraint's marker into the basis when removing it.
    Symbol markerLeavingRow(Symbol marker) const {
        double r1 = std::numeric_limits<double>::infinity();
        double r2 = r1;
        Symbol first = 0, second = 0, third = 0;
        auto column = columns.find(marker);
        if (column == columns.end()) return 0;
        for (const Symbol basic : column->second) {
            const Row& row = rows.find(basic)->second;
            const double k = row.coefficient(marker);
            if (k == 0.0) continue;
            if (!isRestricted(basic)) {
                if (!third || basic < third) third = basic;
            } else if (k < 0) {
                const double r = -row.constant / k;
                if (r < r1 || (r == r1 && basic < first)) { r1 = r; first = basic; }
            } else {
                const double r = row.constant / k;
                if (r < r2 || (r == r2 && basic < second)) { r2 = r; second = basic; }
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
            record(info.marker, &it->second);
            it->second.constant -= shift;
            if (it->second.constant < 0) infeasible.push_back(info.marker);
            if (kindOf(info.marker) == Kind::dummy) movedDummies.push_back(info.marker);
            return movedDummies;
        }
        for (const Symbol basic : rowsHolding(info.marker)) {
            Row& row = rows.find(basic)->second;
            const double k = row.coefficient(info.marker);
            record(basic, &row);
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
    // that is no longer zero (a constant moved) is a contradiction. Only the
    // rows of `candidates` (basic dummies whose rows changed) are looked at.
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
            const auto it = rows.find(dummy);
            if (it == rows.end()) continue;
            Symbol entering = 0;
            for (const auto& [sym, k] : it->second.cells())
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
    if (auto refusal = checkExpression(expression)) return *refusal;
    if (!std::isfinite(priority)) return notFinite();
    priority = std::clamp(priority, 1.0, required);
    const auto refused = [] {
        return std::unexpected(SolverError{SolverError::Kind::unsatisfiable,
                                           "required constraint cannot be satisfied together with the others"});
    };

    s.beginJournal();
    Impl::ConstraintInfo info;
    Row row = s.createRow(expression, relation, priority, info);
    Symbol subject = s.chooseSubject(row, info);
    if (!subject && s.allDummies(row)) {
        if (!nearZero(row.constant)) {
            s.rollBack();
            return refused();
        }
        subject = info.marker;  // redundant with what is there
    }
    if (!subject) {
        // No variable to solve for: find out whether the row can be made
        // zero with an artificial variable; put everything back when not.
        if (!s.addWithArtificialVariable(row)) {
            s.rollBack();
            return refused();
        }
    } else {
        row.solveFor(subject);
        s.substitute(subject, row);
        s.insertRow(subject, std::move(row));
    }
    s.infeasible.clear();
    s.optimize(s.objective);
    if (!s.changesInRange()) {
        s.rollBack();
        return outOfRange();
    }
    s.endJournal();
    const ConstraintId id(s.nextConstraint++);
    s.constraints.emplace(id, info);
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
    // Only rows that held the marker change: the basic dummies among them
    // are the ones that may have stopped being rows of dummies alone.
    std::vector<Symbol> dummies;
    if (auto row = s.rows.find(info.marker); row != s.rows.end()) {
        s.takeRow(row);
    } else if (const Symbol leaving = s.markerLeavingRow(info.marker)) {
        for (const Symbol basic : s.rowsHolding(info.marker))
            if (basic != leaving && s.kindOf(basic) == Kind::dummy) dummies.push_back(basic);
        Row definition = s.takeRow(s.rows.find(leaving));
        definition.solveFor(leaving, info.marker);
        s.substitute(info.marker, definition);
        ++s.pivots;
    }
    s.infeasible.clear();
    s.resolveDummies(dummies);
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
    if (std::fabs(constant) > maximumMagnitude) return outOfRange();
    Impl::ConstraintInfo& info = found->second;
    const double delta = constant - info.constant;
    if (delta == 0.0) return {};
    s.beginJournal();
    // A constant moves no symbol into a row, so only the rows it shifted can
    // hold a dummy that is no longer zero.
    if (!s.resolveDummies(s.shiftConstant(info, delta)) || !s.dualOptimize()) {
        s.rollBack();
        return std::unexpected(SolverError{SolverError::Kind::unsatisfiable,
                                           "required constraint cannot be satisfied with the new constant"});
    }
    s.optimize(s.objective);
    if (!s.changesInRange()) {
        s.rollBack();
        return outOfRange();
    }
    s.endJournal();
    info.constant = constant;
    return {};
}

double Solver::constant(ConstraintId id) const {
    auto found = impl_->constraints.find(id);
    return found == impl_->constraints.end() ? 0.0 : found->second.constant;
}

std::expected<void, SolverError> Solver::addEditVariable(Variable variable, double priority) {
    Impl& s = *impl_;
    if (s.edits.contains(variable) || !(priority < required) || s.kindOf(variable.id()) != Kind::external)
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
