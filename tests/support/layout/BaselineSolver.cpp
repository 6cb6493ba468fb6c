#include "support/layout/BaselineSolver.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace baseline_layout {

namespace {

constexpr double epsilon = 1e-8;
constexpr double infinity = std::numeric_limits<double>::infinity();
bool nearZero(double v) { return std::fabs(v) < epsilon; }

using platform::ui::layout::Relation;

// Symbols of the tableau share one numbering with the variables: a
// variable's id is its (external) symbol.
using Symbol = std::uint32_t;
enum class Kind : std::uint8_t { invalid, external, slack, error, dummy };

struct Ignore {
    void operator()(Symbol) const {}
};

// One linear row: constant + Σ coefficient × symbol, cells sorted by symbol.
// The operations that change which symbols a row holds report each symbol
// that enters (`added`) or leaves (`removed`), so that the solver can keep
// its column index in step.
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

    // A row from cells in any order (merged, near-zero ones dropped).
    static Row fromCells(double constant, const std::unordered_map<Symbol, double>& cells) {
        Row row;
        row.constant = constant;
        row.cells_.reserve(cells.size());
        for (const auto& [s, k] : cells)
            if (!nearZero(k)) row.cells_.emplace_back(s, k);
        std::sort(row.cells_.begin(), row.cells_.end());
        return row;
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
    bool holds(Symbol s) const { return cells_.contains(s); }
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

std::unexpected<SolverError> unsatisfiable(const char* message) {
    return std::unexpected(SolverError{SolverError::Kind::unsatisfiable, message});
}

std::optional<std::unexpected<SolverError>> checkExpression(const Expression& e) {
    bool finite = std::isfinite(e.constant());
    bool inRange = std::fabs(e.constant()) <= BaselineSolver::maximumMagnitude;
    for (const Term& t : e.terms()) {
        finite = finite && std::isfinite(t.coefficient);
        const double k = std::fabs(t.coefficient);
        inRange = inRange && k <= BaselineSolver::maximumCoefficient && (k == 0 || k >= BaselineSolver::minimumCoefficient);
    }
    if (!finite) return notFinite();
    if (!inRange) return outOfRange();
    return std::nullopt;
}

Relation flipped(Relation r) {
    return r == Relation::lessThanOrEqual      ? Relation::greaterThanOrEqual
           : r == Relation::greaterThanOrEqual ? Relation::lessThanOrEqual
                                               : r;
}

// The variables and coefficients of a preferred constraint, scaled so that
// the coefficient largest in magnitude is 1: preferred constraints with the
// same form differ only in where they want it and how much.
using Form = std::vector<std::pair<Symbol, double>>;

struct FormHash {
    std::size_t operator()(const Form& form) const noexcept {
        std::size_t h = 0;
        for (const auto& [s, k] : form) {
            h ^= std::hash<Symbol>{}(s) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
            h ^= std::hash<std::uint64_t>{}(std::bit_cast<std::uint64_t>(k)) + 0x9e3779b97f4a7c15ULL + (h << 6) +
                 (h >> 2);
        }
        return h;
    }
};

}  // namespace

// How the tableau is kept.
//
// Rows of restricted symbols (slacks, errors, dummies) and the objective hold
// only parametric (non-basic) symbols, as the simplex needs. A row of an
// external variable may also hold other basic external variables: a chain of
// views keeps the short rows its constraints give (left₂ = left₁ + width₁ +
// 8) instead of every row spelling out the whole chain before it. These
// references never form a cycle; a row is expanded (`flatten`) only where a
// restricted row or the objective needs it, and a variable's value is
// evaluated through its references, cached, and invalidated along the
// references when a row changes.
//
// Preferred constraints over the same form L are one piecewise-linear term
// of the objective, a bundle: Σ weight × (|L − t|, or the part of L beyond t
// for an inequality), with its breakpoints t in an ordered map. The tableau
// holds the bundle as one equality L − b = u − v at a breakpoint b, u and v
// costing the slopes of the term right and left of b, plus soft bounds
// keeping u and v within the next breakpoints (their errors cost more than
// any slope). When the solution leaves that stretch, b moves to the next
// breakpoint and the slopes and bounds follow, so a thousand wishes on one
// view's width cost a thousand breakpoints, not a thousand rows that every
// pivot rewrites.
struct BaselineSolver::Impl {
    struct ConstraintInfo {
        Symbol marker = 0;             // slack (inequality), first error (preferred equality) or dummy (required equality)
        Symbol other = 0;              // the second error symbol of a preferred constraint, else 0
        double markerCoefficient = 0;  // the marker's coefficient in the constraint as written
        double markerCost = 0;         // what the marker and the other symbol cost in the objective
        double otherCost = 0;
        double constant = 0;           // the expression's constant as last set
        bool internal = false;         // a bundle's own equality or bound
        // A preferred constraint kept in a bundle: its breakpoint is
        // −constant / scale, its relation on the form `relation`, its
        // weight per unit of the form `weight`.
        std::uint32_t bundle = 0;
        double scale = 1;
        Relation relation = Relation::equal;
        double weight = 0;
    };

    struct Point {
        double eq = 0, le = 0, ge = 0;  // weights of equalities, form <= t and form >= t at this breakpoint
        int members = 0;
        void add(const Point& p, double sign) {
            eq += sign * p.eq;
            le += sign * p.le;
            ge += sign * p.ge;
            members += sign > 0 ? p.members : -p.members;
        }
    };

    struct Bundle {
        Form form;
        std::map<double, Point> points;
        double anchor = 0;  // b
        Point below;        // the points left of b, summed
        Point total;
        ConstraintId equality;  // form − b == 0, errors u (marker) and v (other)
        ConstraintId upper;     // u <= gap to the next breakpoint right of b (when there is one)
        ConstraintId lower;     // v <= gap to the next breakpoint left of b
        double gapAbove = infinity;
        double gapBelow = infinity;
    };

    // The state an operation started from, for the rows and objective
    // coefficients it changed: what `rollBack` puts back when the operation
    // is refused.
    struct Journal {
        bool active = false;
        std::unordered_map<Symbol, std::optional<Row>> rows;  // none: the row did not exist
        std::unordered_map<Symbol, double> objective;
        double objectiveConstant = 0;
    };

    std::vector<Kind> kinds{Kind::invalid};
    std::unordered_map<Symbol, Row> rows;
    // For each symbol, the basic symbols whose rows hold it: substitutions,
    // ratio tests, constant shifts and invalidations visit only those rows.
    std::unordered_map<Symbol, std::unordered_set<Symbol>> columns;
    Goal objective{kinds};
    std::unique_ptr<Goal> artificial;
    std::vector<Symbol> infeasible;
    std::unordered_map<ConstraintId, ConstraintInfo> constraints;
    std::size_t publicConstraints = 0;
    std::unordered_map<Variable, ConstraintId> edits;
    std::unordered_map<std::uint32_t, Bundle> bundles;
    std::unordered_map<Form, std::uint32_t, FormHash> bundleOfForm;
    // The symbols whose rows move when a bundle's solution moves (u, v and
    // its bounds' errors) → the bundle; and bundles changed otherwise.
    std::unordered_map<Symbol, std::uint32_t> bundleSymbols;
    std::vector<std::uint32_t> changedBundles;
    std::uint32_t nextBundle = 1;
    Journal journal;
    // Rows changed since the operation began, and external rows whose values
    // (and whose dependents' values) are no longer known.
    std::vector<Symbol> touched;
    mutable std::vector<Symbol> dirty;
    mutable std::unordered_map<Symbol, double> values;
    std::uint32_t nextConstraint = 1;
    std::uint64_t pivots = 0;

    Symbol newSymbol(Kind kind) {
        kinds.push_back(kind);
        return static_cast<Symbol>(kinds.size() - 1);
    }
    Kind kindOf(Symbol s) const { return s < kinds.size() ? kinds[s] : Kind::invalid; }
    bool isRestricted(Symbol s) const { return kindOf(s) != Kind::external; }
    bool isPivotable(Symbol s) const { return kindOf(s) == Kind::slack || kindOf(s) == Kind::error; }
    bool isBasic(Symbol s) const { return rows.contains(s); }
    // A basic external variable, which another external row may refer to.
    bool isReference(Symbol s) const { return kindOf(s) == Kind::external && rows.contains(s); }

    // ---- Rows, columns, the journal and cached values ----

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
    bool heldByExternalRow(Symbol s) const {
        auto it = columns.find(s);
        if (it == columns.end()) return false;
        return std::any_of(it->second.begin(), it->second.end(),
                           [&](Symbol basic) { return kindOf(basic) == Kind::external; });
    }
    bool hasRestrictedHolder(Symbol s) const {
        auto it = columns.find(s);
        if (it == columns.end()) return false;
        return std::any_of(it->second.begin(), it->second.end(), [&](Symbol basic) { return isRestricted(basic); });
    }

    // Whether the parametric variable s can become basic with `row` (which
    // may refer to other external rows) as its definition: not when
    // something the row refers to depends on s already, which would make a
    // cycle. Looked for both ways (forwards through what the row refers to,
    // backwards through what refers to s), each within a small budget;
    // when neither finishes, s is not taken.
    bool canDefine(Symbol s, const Row& row) const {
        if (!heldByExternalRow(s)) return true;
        std::vector<Symbol> references;
        for (const auto& [sym, k] : row.cells())
            if (isReference(sym)) references.push_back(sym);
        if (references.empty()) return true;
        constexpr std::size_t budget = 64;
        {
            std::unordered_set<Symbol> seen;
            std::vector<Symbol> pending = references;
            while (!pending.empty() && seen.size() <= budget) {
                const Symbol r = pending.back();
                pending.pop_back();
                if (!seen.insert(r).second) continue;
                for (const auto& [sym, k] : rows.find(r)->second.cells()) {
                    if (sym == s) return false;
                    if (isReference(sym)) pending.push_back(sym);
                }
            }
            if (pending.empty()) return true;
        }
        const std::unordered_set<Symbol> referenced(references.begin(), references.end());
        std::unordered_set<Symbol> seen;
        std::vector<Symbol> pending = rowsHolding(s);
        while (!pending.empty()) {
            const Symbol b = pending.back();
            pending.pop_back();
            if (kindOf(b) != Kind::external || !seen.insert(b).second) continue;
            if (referenced.contains(b) || seen.size() > budget) return false;
            if (auto column = columns.find(b); column != columns.end())
                pending.insert(pending.end(), column->second.begin(), column->second.end());
        }
        return true;
    }

    // Before the row of `basic` changes (row: its current state, or null
    // when it does not exist yet).
    void touch(Symbol basic, const Row* row) {
        if (journal.active && !journal.rows.contains(basic))
            journal.rows.emplace(basic, row ? std::optional<Row>(*row) : std::nullopt);
        touched.push_back(basic);
        if (kindOf(basic) == Kind::external) dirty.push_back(basic);
    }

    void insertRow(Symbol basic, Row row) {
        touch(basic, nullptr);
        for (const auto& [s, k] : row.cells()) columnAdd(s, basic);
        rows.insert_or_assign(basic, std::move(row));
    }

    Row takeRow(std::unordered_map<Symbol, Row>::iterator it) {
        const Symbol basic = it->first;
        touch(basic, &it->second);
        for (const auto& [s, k] : it->second.cells()) columnRemove(s, basic);
        Row row = std::move(it->second);
        rows.erase(it);
        return row;
    }

    // Forgets the cached values of the external rows marked dirty and of
    // every row that refers to them. A value is cached only with the values
    // it refers to, so the walk stops where nothing is cached: removing a
    // chain link by link forgets the chain once, not once per link.
    void invalidate() const {
        std::vector<Symbol> pending = std::move(dirty);
        dirty.clear();
        for (const Symbol x : pending) values.erase(x);
        while (!pending.empty()) {
            const Symbol x = pending.back();
            pending.pop_back();
            if (auto column = columns.find(x); column != columns.end())
                for (const Symbol basic : column->second)
                    if (kindOf(basic) == Kind::external && values.erase(basic)) pending.push_back(basic);
        }
    }

    double evaluate(Symbol x) const {
        auto row = rows.find(x);
        if (row == rows.end()) return 0.0;
        if (kindOf(x) != Kind::external) return row->second.constant;
        if (!dirty.empty()) invalidate();
        if (auto cached = values.find(x); cached != values.end()) return cached->second;
        // Depth first through the references, without recursion (a chain can
        // be long); a value is computed once those it refers to are known.
        std::vector<Symbol> stack{x};
        while (!stack.empty()) {
            const Symbol s = stack.back();
            if (values.contains(s)) {
                stack.pop_back();
                continue;
            }
            const Row& r = rows.find(s)->second;
            double v = r.constant;
            bool ready = true;
            for (const auto& [sym, k] : r.cells()) {
                const auto basic = rows.find(sym);
                if (basic == rows.end()) continue;
                if (kindOf(sym) != Kind::external) {
                    v += k * basic->second.constant;
                    continue;
                }
                if (const auto known = values.find(sym); known != values.end()) {
                    v += k * known->second;
                } else {
                    ready = false;
                    stack.push_back(sym);
                }
            }
            if (ready) {
                values.emplace(s, v);
                stack.pop_back();
            }
        }
        return values.at(x);
    }

    // The row with its references replaced by what they stand for, so that
    // it holds parametric symbols only.
    Row flatten(const Row& row) const {
        if (std::none_of(row.cells().begin(), row.cells().end(),
                         [&](const auto& cell) { return isReference(cell.first); }))
            return row;
        // Expand each reference once its coefficient is complete: in reverse
        // post-order of a depth-first walk through the references.
        std::vector<Symbol> order;
        std::unordered_set<Symbol> visited;
        std::vector<std::pair<Symbol, std::size_t>> stack;
        for (const auto& [s, k] : row.cells()) {
            if (!isReference(s) || !visited.insert(s).second) continue;
            stack.emplace_back(s, 0);
            while (!stack.empty()) {
                auto& [node, next] = stack.back();
                const auto& cells = rows.find(node)->second.cells();
                if (next < cells.size()) {
                    const Symbol child = cells[next++].first;
                    if (isReference(child) && visited.insert(child).second) stack.emplace_back(child, 0);
                    continue;
                }
                order.push_back(node);
                stack.pop_back();
            }
        }
        std::unordered_map<Symbol, double> cells;
        for (const auto& [s, k] : row.cells()) cells[s] += k;
        double constant = row.constant;
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            auto found = cells.find(*it);
            if (found == cells.end()) continue;
            const double k = found->second;
            cells.erase(found);
            const Row& definition = rows.find(*it)->second;
            constant += k * definition.constant;
            for (const auto& [s, c] : definition.cells()) cells[s] += k * c;
        }
        return Row::fromCells(constant, cells);
    }

    void beginOperation() {
        invalidate();
        touched.clear();
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
            if (kindOf(basic) == Kind::external) dirty.push_back(basic);
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
        touched.clear();
        endJournal();
        invalidate();
    }

    // Whether the rows changed since the operation began hold finite
    // numbers, and the variables they define, with the first few dozen that
    // refer to them, stay within ±maximumMagnitude. (Further along a long
    // chain of references the values are not looked at here: walking them
    // all would make building a chain back to front quadratic.)
    bool changesInRange() const {
        constexpr std::size_t dependentsLooked = 8;
        std::unordered_set<Symbol> seen;
        std::vector<Symbol> pending;
        for (const Symbol basic : touched)
            if (kindOf(basic) == Kind::external && seen.insert(basic).second) pending.push_back(basic);
        const std::size_t budget = seen.size() + dependentsLooked;
        while (!pending.empty()) {
            const Symbol x = pending.back();
            pending.pop_back();
            if (isBasic(x) && !(std::fabs(evaluate(x)) <= maximumMagnitude)) return false;
            if (auto column = columns.find(x); column != columns.end())
                for (const Symbol basic : column->second)
                    if (kindOf(basic) == Kind::external && seen.size() < budget && seen.insert(basic).second)
                        pending.push_back(basic);
        }
        for (const Symbol basic : touched) {
            auto it = rows.find(basic);
            if (it == rows.end()) continue;
            if (!std::isfinite(it->second.constant)) return false;
            for (const auto& [s, k] : it->second.cells())
                if (!std::isfinite(k)) return false;
        }
        return std::isfinite(objective.constant);
    }

    // ---- Simplex ----

    // The row of `expression relation 0` (cells over any symbols) with its
    // markers: restricted basic symbols replaced by their rows, basic
    // external variables kept as references.
    Row createRow(const Row& expression, Relation relation, bool isRequired, ConstraintInfo& info) {
        Row row;
        row.constant = expression.constant;
        for (const auto& [s, k] : expression.cells()) {
            auto basic = rows.find(s);
            if (basic != rows.end() && kindOf(s) != Kind::external) row.addRow(basic->second, k);
            else row.add(s, k);
        }
        info.constant = expression.constant;
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
            }
        }
        if (info.markerCost != 0) changeCost(info.marker, info.markerCost);
        if (info.other && info.otherCost != 0) changeCost(info.other, info.otherCost);
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

    // Replaces s by its definition in the rows that hold it and in the
    // goals, s leaving the parametric symbols (it becomes basic, or its
    // constraint goes). The definition must hold parametric symbols only.
    // External rows may instead keep s as a reference (s becoming basic
    // without a cycle).
    void substitute(Symbol s, const Row& definition, bool intoExternalRows = true) {
        for (const Symbol basic : rowsHolding(s)) {
            if (!intoExternalRows && kindOf(basic) == Kind::external) continue;
            Row& row = rows.find(basic)->second;
            touch(basic, &row);
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
        double best = infinity;
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
                touch(leaving, &it->second);
                it->second.constant = 0;
                continue;
            }
            Symbol entering = 0;
            double best = infinity;
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
            touch(basic, &r);
            r.remove(art);
            columnRemove(art, basic);
        }
        objective.remove(art);
        return success;
    }

    // Puts the constraint's row into the tableau (the objective not yet
    // re-optimised). Fails, having changed things, when a required
    // constraint cannot hold: the caller rolls back.
    bool addRowOf(const Row& expression, Relation relation, bool isRequired, ConstraintInfo& info,
                  const std::vector<Symbol>& preference = {}) {
        Row row = createRow(expression, relation, isRequired, info);
        // A parametric variable can be defined by the row as it is,
        // references and all, when that makes no cycle; the constraint's own
        // variables are tried first, in the order it names them (a view's
        // edge is defined by the constraint that places it).
        Symbol parametric = 0;
        const auto eligible = [&](Symbol s) {
            return kindOf(s) == Kind::external && !isBasic(s) && row.coefficient(s) != 0 && canDefine(s, row);
        };
        for (const Symbol s : preference) {
            if (eligible(s)) {
                parametric = s;
                break;
            }
        }
        for (auto it = row.cells().begin(); !parametric && it != row.cells().end(); ++it)
            if (eligible(it->first)) parametric = it->first;
        if (parametric) {
            row.solveFor(parametric);
            if (hasRestrictedHolder(parametric) || objective.holds(parametric))
                substitute(parametric, flatten(row), false);
            insertRow(parametric, std::move(row));
            infeasible.clear();
            return true;
        }
        row = flatten(row);
        if (row.constant < 0) row.negate();
        Symbol subject = chooseSubject(row, info);
        if (!subject && allDummies(row)) {
            if (!nearZero(row.constant)) return false;
            subject = info.marker;  // redundant with what is there
        }
        if (!subject) {
            // No variable to solve for: find out whether the row can be made
            // zero with an artificial variable.
            if (!addWithArtificialVariable(row)) return false;
        } else {
            row.solveFor(subject);
            substitute(subject, row);
            insertRow(subject, std::move(row));
        }
        infeasible.clear();
        return true;
    }

    // The row to pivot a constraint's marker into the basis when removing it.
    Symbol markerLeavingRow(Symbol marker) const {
        double r1 = infinity;
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
                if (r < r1 || (r == r1 && basic < first)) {
                    r1 = r;
                    first = basic;
                }
            } else {
                const double r = row.constant / k;
                if (r < r2 || (r == r2 && basic < second)) {
                    r2 = r;
                    second = basic;
                }
            }
        }
        return first ? first : second ? second : third;
    }

    // Whether the external row of `basic` can be solved for `symbol` as it
    // is: none of the rows it refers to may hold the symbol, even through
    // further references (the symbol would then stand on both sides). The
    // rows that hold it, and those referring to them, are walked back from
    // the symbol, leaving out `basic` itself.
    bool safeToSolveFor(Symbol basic, Symbol symbol) const {
        std::unordered_set<Symbol> reached;
        std::vector<Symbol> pending = rowsHolding(symbol);
        while (!pending.empty()) {
            const Symbol b = pending.back();
            pending.pop_back();
            if (b == basic || kindOf(b) != Kind::external || !reached.insert(b).second) continue;
            if (auto column = columns.find(b); column != columns.end())
                pending.insert(pending.end(), column->second.begin(), column->second.end());
        }
        if (reached.empty()) return true;
        const Row& row = rows.find(basic)->second;
        return std::none_of(row.cells().begin(), row.cells().end(),
                            [&](const auto& cell) { return reached.contains(cell.first); });
    }

    // Replaces an external row by its expansion (no references).
    void spellOut(Symbol basic) {
        Row flat = flatten(rows.find(basic)->second);
        takeRow(rows.find(basic));
        insertRow(basic, std::move(flat));
    }

    // Takes the constraint's row out of the tableau (the objective not yet
    // re-optimised).
    void removeRowOf(const ConstraintInfo& info) {
        changeCost(info.marker, -info.markerCost);
        if (info.other) changeCost(info.other, -info.otherCost);
        // Only rows that held the marker change: the basic dummies among them
        // are the ones that may have stopped being rows of dummies alone.
        std::vector<Symbol> dummies;
        if (auto row = rows.find(info.marker); row != rows.end()) {
            takeRow(row);
        } else if (Symbol leaving = markerLeavingRow(info.marker)) {
            if (kindOf(leaving) == Kind::external && !safeToSolveFor(leaving, info.marker)) {
                for (const Symbol basic : rowsHolding(info.marker))
                    if (kindOf(basic) == Kind::external) spellOut(basic);
                leaving = markerLeavingRow(info.marker);
            }
            if (leaving) {
                const std::vector<Symbol> holders = rowsHolding(info.marker);
                for (const Symbol basic : holders)
                    if (basic != leaving && kindOf(basic) == Kind::dummy) dummies.push_back(basic);
                Row definition = takeRow(rows.find(leaving));
                definition.solveFor(leaving, info.marker);
                // An external row may hold references; the rows the
                // definition goes into need it spelled out.
                if (holders.size() > 1 || objective.holds(info.marker))
                    substitute(info.marker, flatten(definition));
                ++pivots;
            }
        }
        infeasible.clear();
        resolveDummies(dummies);
        dualOptimize();
    }

    // The constraint's expression constant moved by `delta`: with the marker m
    // appearing as k·m, the same tableau holds for m = m' + delta / k.
    // Returns the basic dummies whose rows moved (see resolveDummies).
    std::vector<Symbol> shiftConstant(const ConstraintInfo& info, double delta) {
        std::vector<Symbol> movedDummies;
        const double shift = delta / info.markerCoefficient;
        if (auto it = rows.find(info.marker); it != rows.end()) {
            touch(info.marker, &it->second);
            it->second.constant -= shift;
            if (it->second.constant < 0) infeasible.push_back(info.marker);
            if (kindOf(info.marker) == Kind::dummy) movedDummies.push_back(info.marker);
            return movedDummies;
        }
        for (const Symbol basic : rowsHolding(info.marker)) {
            Row& row = rows.find(basic)->second;
            const double k = row.coefficient(info.marker);
            touch(basic, &row);
            row.constant += k * shift;
            if (isRestricted(basic) && row.constant < 0) infeasible.push_back(basic);
            if (kindOf(basic) == Kind::dummy) movedDummies.push_back(basic);
        }
        return movedDummies;
    }

    // Changes the constant of a constraint held in rows (not a bundle
    // member); false when a required constraint can no longer hold (the
    // caller rolls back).
    bool moveConstant(ConstraintInfo& info, double constant) {
        const double delta = constant - info.constant;
        if (delta == 0.0) return true;
        // A constant moves no symbol into a row, so only the rows it shifted
        // can hold a dummy that is no longer zero.
        if (!resolveDummies(shiftConstant(info, delta)) || !dualOptimize()) return false;
        info.constant = constant;
        return true;
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

    // The objective's coefficient of s (its cost per unit) changes by delta.
    void changeCost(Symbol s, double delta) {
        if (delta == 0 || kindOf(s) != Kind::error) return;
        if (auto it = rows.find(s); it != rows.end()) objective.addRow(it->second, delta);
        else objective.add(s, delta);
    }

    ConstraintId addInternal(const Row& expression, Relation relation, double markerCost, double otherCost,
                             const std::vector<Symbol>& preference = {}) {
        ConstraintInfo info;
        info.internal = true;
        info.markerCost = markerCost;
        info.otherCost = otherCost;
        addRowOf(expression, relation, false, info, preference);  // preferred: always holds
        const ConstraintId id(nextConstraint++);
        constraints.emplace(id, info);
        return id;
    }

    void removeInternal(ConstraintId& id) {
        auto it = constraints.find(id);
        if (it == constraints.end()) return;
        const ConstraintInfo info = it->second;
        constraints.erase(it);
        bundleSymbols.erase(info.marker);
        bundleSymbols.erase(info.other);
        removeRowOf(info);
        id = {};
    }

    // ---- Bundles ----

    double value(Symbol s) const { return evaluate(s); }

    // The slopes of the bundle's term right and left of b.
    std::pair<double, double> slopes(const Bundle& bundle) const {
        Point at;
        if (auto it = bundle.points.find(bundle.anchor); it != bundle.points.end()) at = it->second;
        Point above = bundle.total;
        above.add(bundle.below, -1);
        above.add(at, -1);
        const double right = bundle.below.eq + bundle.below.le + at.eq + at.le - above.eq - above.ge;
        const double left = bundle.below.eq + bundle.below.le - at.eq - at.ge - above.eq - above.ge;
        return {right, left};
    }

    // Sets the bound `symbol <= gap` (none for an infinite gap).
    void placeBound(ConstraintId& bound, Symbol symbol, double gap, double weight, std::uint32_t bundleId) {
        if (!std::isfinite(gap)) {
            removeInternal(bound);
            return;
        }
        if (auto it = constraints.find(bound); it != constraints.end()) {
            ConstraintInfo& info = it->second;
            (void)moveConstant(info, -gap);  // preferred: always holds
            changeCost(info.other, weight - info.otherCost);
            info.otherCost = weight;
            return;
        }
        Row expression;
        expression.add(symbol, 1);
        expression.constant = -gap;
        bound = addInternal(expression, Relation::lessThanOrEqual, 0, weight);
        bundleSymbols[constraints.at(bound).other] = bundleId;
    }

    // Brings the bundle's costs and bounds in line with its breakpoints and b.
    void refresh(std::uint32_t bundleId) {
        Bundle& bundle = bundles.at(bundleId);
        const auto [right, left] = slopes(bundle);
        ConstraintInfo& equality = constraints.at(bundle.equality);
        changeCost(equality.marker, right - equality.markerCost);
        changeCost(equality.other, -left - equality.otherCost);
        equality.markerCost = right;
        equality.otherCost = -left;
        const auto next = bundle.points.upper_bound(bundle.anchor);
        const auto previous = bundle.points.lower_bound(bundle.anchor);
        const double gapAbove = next == bundle.points.end() ? infinity : next->first - bundle.anchor;
        const double gapBelow = previous == bundle.points.begin() ? infinity : bundle.anchor - std::prev(previous)->first;
        // Beyond a bound the term's slope is never steeper than the sum of
        // every weight on each side; the bound's error costs more than both.
        const double weight = 2 * (bundle.total.eq + bundle.total.le + bundle.total.ge) + 1;
        const Symbol u = equality.marker, v = equality.other;
        bundle.gapAbove = gapAbove;
        bundle.gapBelow = gapBelow;
        placeBound(bundle.upper, u, gapAbove, weight, bundleId);
        placeBound(bundle.lower, v, gapBelow, weight, bundleId);
        changedBundles.push_back(bundleId);
    }

    // Moves b to `anchor` (a breakpoint, or anywhere when the bundle is being
    // made anew); `below` must already be the points left of it.
    void moveAnchor(std::uint32_t bundleId, double anchor) {
        Bundle& bundle = bundles.at(bundleId);
        // Moving the equality's constant re-labels its marker: u becomes
        // u − (anchor − b), and the upper bound, written on u, now has that
        // much more room in its constant.
        const double shift = anchor - bundle.anchor;
        bundle.anchor = anchor;
        (void)moveConstant(constraints.at(bundle.equality), -anchor);  // preferred: always holds
        if (auto upper = constraints.find(bundle.upper); upper != constraints.end()) upper->second.constant += shift;
        refresh(bundleId);
    }

    // When the solution has reached the end of the stretch around b (u or v
    // at its bound, or beyond), moves b to the breakpoint there. Returns
    // whether it moved.
    bool crossAtEdge(std::uint32_t bundleId) {
        Bundle& bundle = bundles.at(bundleId);
        const ConstraintInfo& equality = constraints.at(bundle.equality);
        if (bundle.upper.isValid() && value(equality.marker) >= bundle.gapAbove - epsilon) {
            const auto next = bundle.points.upper_bound(bundle.anchor);
            if (next == bundle.points.end()) return false;
            if (auto at = bundle.points.find(bundle.anchor); at != bundle.points.end()) bundle.below.add(at->second, 1);
            moveAnchor(bundleId, next->first);
            return true;
        }
        if (bundle.lower.isValid() && value(equality.other) >= bundle.gapBelow - epsilon) {
            auto previous = bundle.points.lower_bound(bundle.anchor);
            if (previous == bundle.points.begin()) return false;
            --previous;
            bundle.below.add(previous->second, -1);
            moveAnchor(bundleId, previous->first);
            return true;
        }
        return false;
    }

    // Optimises, then moves the anchors of the bundles whose solution
    // reached the end of their stretch until every one is inside (each move
    // can only lower the objective; a bound on the number of moves guards
    // against ties).
    void settle() {
        optimize(objective);
        std::size_t seen = 0;
        std::size_t moves = 0;
        const std::size_t limit = 4 * constraints.size() + 64;
        while ((seen < touched.size() || !changedBundles.empty()) && moves < limit) {
            std::vector<std::uint32_t> candidates = std::move(changedBundles);
            changedBundles.clear();
            for (; seen < touched.size(); ++seen)
                if (auto owner = bundleSymbols.find(touched[seen]); owner != bundleSymbols.end())
                    candidates.push_back(owner->second);
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
            for (const std::uint32_t bundleId : candidates) {
                while (bundles.contains(bundleId) && moves < limit && crossAtEdge(bundleId)) {
                    ++moves;
                    optimize(objective);
                }
            }
        }
        changedBundles.clear();
    }

    void addToBundle(std::uint32_t bundleId, const ConstraintInfo& member, double sign) {
        Bundle& bundle = bundles.at(bundleId);
        const double t = -member.constant / member.scale;
        Point p;
        (member.relation == Relation::equal ? p.eq : member.relation == Relation::lessThanOrEqual ? p.le : p.ge) =
            member.weight;
        p.members = 1;
        Point& point = bundle.points[t];
        point.add(p, sign);
        bundle.total.add(p, sign);
        if (t < bundle.anchor) bundle.below.add(p, sign);
        if (point.members <= 0) bundle.points.erase(t);
    }

    // Adds a preferred constraint to the bundle of its form (made when it is
    // the first).
    void join(ConstraintInfo& member, const Form& form, const std::vector<Symbol>& preference) {
        std::uint32_t bundleId = 0;
        if (auto found = bundleOfForm.find(form); found != bundleOfForm.end()) {
            bundleId = found->second;
        } else {
            bundleId = nextBundle++;
            Bundle& bundle = bundles[bundleId];
            bundle.form = form;
            bundle.anchor = -member.constant / member.scale;
            Row expression;
            for (const auto& [s, k] : form) expression.add(s, k);
            expression.constant = -bundle.anchor;
            bundle.equality = addInternal(expression, Relation::equal, 0, 0, preference);
            const ConstraintInfo& equality = constraints.at(bundle.equality);
            bundleSymbols[equality.marker] = bundleId;
            bundleSymbols[equality.other] = bundleId;
            bundleOfForm.emplace(form, bundleId);
        }
        member.bundle = bundleId;
        addToBundle(bundleId, member, 1);
        afterMembershipChange(bundleId);
    }

    void leave(const ConstraintInfo& member) {
        addToBundle(member.bundle, member, -1);
        afterMembershipChange(member.bundle);
    }

    void afterMembershipChange(std::uint32_t bundleId) {
        Bundle& bundle = bundles.at(bundleId);
        if (bundle.points.empty()) {
            removeInternal(bundle.upper);
            removeInternal(bundle.lower);
            removeInternal(bundle.equality);
            bundleOfForm.erase(bundle.form);
            bundles.erase(bundleId);
            return;
        }
        if (bundle.points.size() == 1 && bundle.points.begin()->first != bundle.anchor) {
            // One breakpoint left: b goes to it, with no bounds.
            const double t = bundle.points.begin()->first;
            bundle.below = {};
            moveAnchor(bundleId, t);
            return;
        }
        refresh(bundleId);
    }
};

BaselineSolver::BaselineSolver() : impl_(std::make_unique<Impl>()) {}
BaselineSolver::~BaselineSolver() = default;

Variable BaselineSolver::createVariable() { return Variable(impl_->newSymbol(Kind::external)); }

std::expected<ConstraintId, SolverError> BaselineSolver::addConstraint(const Expression& expression, Relation relation,
                                                               double priority) {
    Impl& s = *impl_;
    if (auto refusal = checkExpression(expression)) return *refusal;
    if (!std::isfinite(priority)) return notFinite();
    priority = std::clamp(priority, 1.0, required);
    Row row;
    row.constant = expression.constant();
    for (const Term& term : expression.terms())
        if (s.kindOf(term.variable.id()) == Kind::external) row.add(term.variable.id(), term.coefficient);
    s.beginOperation();
    Impl::ConstraintInfo info;

    if (priority < required && !row.empty()) {
        // Preferred: a breakpoint of its form's bundle.
        const auto largest = std::max_element(row.cells().begin(), row.cells().end(), [](const auto& a, const auto& b) {
            return std::fabs(a.second) < std::fabs(b.second);
        });
        info.scale = largest->second;
        Form form;
        for (const auto& [sym, k] : row.cells()) form.emplace_back(sym, k / info.scale);
        info.constant = row.constant;
        info.relation = info.scale < 0 ? flipped(relation) : relation;
        info.weight = weightOf(priority) * std::fabs(info.scale);
        std::vector<Symbol> preference;
        for (const Term& term : expression.terms()) preference.push_back(term.variable.id());
        s.join(info, form, preference);
        s.settle();
        if (!s.changesInRange()) {
            s.beginOperation();
            s.leave(info);
            s.settle();
            return outOfRange();
        }
        const ConstraintId id(s.nextConstraint++);
        s.constraints.emplace(id, info);
        ++s.publicConstraints;
        return id;
    }

    const bool isRequired = priority >= required;
    if (!isRequired) {
        const double weight = weightOf(priority);
        info.markerCost = relation == Relation::equal ? weight : 0;
        info.otherCost = weight;
    }
    s.beginJournal();
    std::vector<Symbol> preference;
    for (const Term& term : expression.terms()) preference.push_back(term.variable.id());
    if (!s.addRowOf(row, relation, isRequired, info, preference)) {
        s.rollBack();
        return unsatisfiable("required constraint cannot be satisfied together with the others");
    }
    s.optimize(s.objective);
    if (!s.changesInRange()) {
        s.rollBack();
        return outOfRange();
    }
    s.endJournal();
    const ConstraintId id(s.nextConstraint++);
    s.constraints.emplace(id, info);
    ++s.publicConstraints;
    s.settle();
    return id;
}

bool BaselineSolver::removeConstraint(ConstraintId id) {
    Impl& s = *impl_;
    auto found = s.constraints.find(id);
    if (found == s.constraints.end() || found->second.internal) return false;
    const Impl::ConstraintInfo info = found->second;
    s.constraints.erase(found);
    --s.publicConstraints;
    s.beginOperation();
    if (info.bundle) s.leave(info);
    else s.removeRowOf(info);
    s.settle();
    return true;
}

bool BaselineSolver::hasConstraint(ConstraintId id) const {
    auto found = impl_->constraints.find(id);
    return found != impl_->constraints.end() && !found->second.internal;
}

std::size_t BaselineSolver::constraintCount() const { return impl_->publicConstraints; }

std::expected<void, SolverError> BaselineSolver::setConstant(ConstraintId id, double constant) {
    Impl& s = *impl_;
    auto found = s.constraints.find(id);
    if (found == s.constraints.end() || found->second.internal)
        return std::unexpected(SolverError{SolverError::Kind::unknownConstraint, "no such constraint"});
    if (!std::isfinite(constant)) return notFinite();
    if (std::fabs(constant) > maximumMagnitude) return outOfRange();
    Impl::ConstraintInfo& info = found->second;
    if (constant == info.constant) return {};
    s.beginOperation();

    if (info.bundle) {
        const double previous = info.constant;
        s.addToBundle(info.bundle, info, -1);
        info.constant = constant;
        s.addToBundle(info.bundle, info, 1);
        s.afterMembershipChange(info.bundle);
        s.settle();
        if (!s.changesInRange()) {
            s.beginOperation();
            s.addToBundle(info.bundle, info, -1);
            info.constant = previous;
            s.addToBundle(info.bundle, info, 1);
            s.afterMembershipChange(info.bundle);
            s.settle();
            return outOfRange();
        }
        return {};
    }

    s.beginJournal();
    if (!s.moveConstant(info, constant)) {
        s.rollBack();
        return unsatisfiable("required constraint cannot be satisfied with the new constant");
    }
    s.optimize(s.objective);
    if (!s.changesInRange()) {
        s.rollBack();
        return outOfRange();
    }
    s.endJournal();
    s.settle();
    return {};
}

double BaselineSolver::constant(ConstraintId id) const {
    auto found = impl_->constraints.find(id);
    return found == impl_->constraints.end() || found->second.internal ? 0.0 : found->second.constant;
}

std::expected<void, SolverError> BaselineSolver::addEditVariable(Variable variable, double priority) {
    Impl& s = *impl_;
    if (s.edits.contains(variable) || !(priority < required) || s.kindOf(variable.id()) != Kind::external)
        return std::unexpected(SolverError{SolverError::Kind::badEditVariable,
                                           "edit variables need a known variable, once, below the required priority"});
    auto id = addConstraint(Expression(variable), Relation::equal, priority);
    if (!id) return std::unexpected(id.error());
    s.edits.emplace(variable, *id);
    return {};
}

bool BaselineSolver::removeEditVariable(Variable variable) {
    auto found = impl_->edits.find(variable);
    if (found == impl_->edits.end()) return false;
    const ConstraintId id = found->second;
    impl_->edits.erase(found);
    return removeConstraint(id);
}

bool BaselineSolver::hasEditVariable(Variable variable) const { return impl_->edits.contains(variable); }

std::expected<void, SolverError> BaselineSolver::suggestValue(Variable variable, double value) {
    auto found = impl_->edits.find(variable);
    if (found == impl_->edits.end())
        return std::unexpected(SolverError{SolverError::Kind::badEditVariable, "variable is not being edited"});
    // The edit constraint reads variable − value = 0.
    return setConstant(found->second, -value);
}

double BaselineSolver::value(Variable variable) const { return impl_->evaluate(variable.id()); }

std::uint64_t BaselineSolver::pivotCount() const { return impl_->pivots; }

}  // namespace baseline_layout
