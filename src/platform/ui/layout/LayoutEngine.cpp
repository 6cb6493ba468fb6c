#include "platform/ui/layout/LayoutEngine.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace platform::ui::layout {

namespace {

const char* nameOf(Attribute a) {
    switch (a) {
    case Attribute::left: return "left";
    case Attribute::right: return "right";
    case Attribute::top: return "top";
    case Attribute::bottom: return "bottom";
    case Attribute::leading: return "leading";
    case Attribute::trailing: return "trailing";
    case Attribute::width: return "width";
    case Attribute::height: return "height";
    case Attribute::centerX: return "centerX";
    case Attribute::centerY: return "centerY";
    }
    return "?";
}

std::string number(double v) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

}  // namespace

LayoutEngine::LayoutEngine() = default;
LayoutEngine::~LayoutEngine() = default;

ItemId LayoutEngine::addItem(std::string name) {
    const ItemId id{nextItem_++};
    Item item;
    item.name = name.empty() ? "item" + std::to_string(id.value) : std::move(name);
    item.left = solver_.createVariable();
    item.top = solver_.createVariable();
    item.width = solver_.createVariable();
    item.height = solver_.createVariable();
    items_.emplace(id.value, std::move(item));
    return id;
}

void LayoutEngine::removeItem(ItemId id) {
    auto it = items_.find(id.value);
    if (it == items_.end()) return;
    const std::vector<std::uint32_t> constraints(it->second.constraints.begin(), it->second.constraints.end());
    for (const std::uint32_t c : constraints) removeConstraint(LayoutConstraintId{c});
    for (AxisContent& content : it->second.content) {
        solver_.removeConstraint(content.huggingConstraint);
        solver_.removeConstraint(content.compressionConstraint);
    }
    for (const Variable v : {it->second.left, it->second.top, it->second.width, it->second.height})
        solver_.releaseVariable(v);
    items_.erase(id.value);
}

bool LayoutEngine::hasItem(ItemId item) const { return items_.contains(item.value); }

Expression LayoutEngine::expressionOf(const Anchor& anchor) const {
    auto it = items_.find(anchor.item.value);
    if (it == items_.end()) return Expression(0.0);
    const Item& i = it->second;
    switch (anchor.attribute) {
    case Attribute::left:
    case Attribute::leading: return Expression(i.left);
    case Attribute::right:
    case Attribute::trailing: return Expression(i.left) + Expression(i.width);
    case Attribute::top: return Expression(i.top);
    case Attribute::bottom: return Expression(i.top) + Expression(i.height);
    case Attribute::width: return Expression(i.width);
    case Attribute::height: return Expression(i.height);
    case Attribute::centerX: return Expression(i.left) + Expression(i.width, 0.5);
    case Attribute::centerY: return Expression(i.top) + Expression(i.height, 0.5);
    }
    return Expression(0.0);
}

// first − (multiplier × second + constant), compared with 0.
Expression LayoutEngine::expressionOf(const ConstraintSpec& spec) const {
    Expression e = expressionOf(spec.first);
    if (spec.second) e -= expressionOf(*spec.second) * spec.multiplier;
    e -= Expression(spec.constant);
    return e;
}

std::string LayoutEngine::describe(const ConstraintSpec& spec) const {
    const auto nameOf = [&](ItemId item) {
        auto it = items_.find(item.value);
        return it == items_.end() ? std::string("?") : it->second.name;
    };
    return describe(spec, nameOf(spec.first.item), spec.second ? nameOf(spec.second->item) : std::string());
}

std::string LayoutEngine::describe(const ConstraintSpec& spec, std::string_view firstName,
                                   std::string_view secondName) {
    std::string text = std::string(firstName) + "." + nameOf(spec.first.attribute);
    text += spec.relation == Relation::equal ? " == " : spec.relation == Relation::lessThanOrEqual ? " <= " : " >= ";
    if (spec.second) {
        if (spec.multiplier != 1) text += number(spec.multiplier) + " * ";
        text += std::string(secondName) + "." + nameOf(spec.second->attribute);
        if (spec.constant != 0) text += (spec.constant < 0 ? " - " : " + ") + number(std::fabs(spec.constant));
    } else {
        text += number(spec.constant);
    }
    if (!(spec.priority >= requiredPriority)) text += " @" + number(spec.priority);
    return text;
}

bool LayoutEngine::hasValuesInRange(const ConstraintSpec& spec) {
    const double m = std::fabs(spec.multiplier);
    return std::fabs(spec.constant) <= maximumMagnitude && m <= maximumMultiplier &&
           (m == 0 || m >= minimumMultiplier) && std::isfinite(spec.priority);
}

LayoutError LayoutEngine::outOfRangeError(const ConstraintSpec& spec) const {
    const std::string text = describe(spec);
    return LayoutError{LayoutError::Kind::outOfRange, "Constraint with a value out of range, ignoring it: " + text,
                       text};
}

LayoutError LayoutEngine::errorFor(const ConstraintSpec& spec, const SolverError& error) const {
    const std::string text = describe(spec);
    if (error.kind == SolverError::Kind::outOfRange && hasValuesInRange(spec))
        return LayoutError{LayoutError::Kind::solutionOutOfRange,
                           "Constraint whose solution is out of range, dropping it: " + text, text};
    if (error.kind == SolverError::Kind::notFinite || error.kind == SolverError::Kind::outOfRange)
        return outOfRangeError(spec);
    return LayoutError{LayoutError::Kind::unsatisfiable, "Unable to satisfy constraint, dropping it: " + text, text};
}

std::expected<LayoutConstraintId, LayoutError> LayoutEngine::addConstraint(const ConstraintSpec& spec) {
    if (!hasItem(spec.first.item) || (spec.second && !hasItem(spec.second->item))) {
        const std::string text = describe(spec);
        return std::unexpected(LayoutError{LayoutError::Kind::notInLayout,
                                           "Constraint names an item that is not in the layout: " + text, text});
    }
    if (!hasValuesInRange(spec)) return std::unexpected(outOfRangeError(spec));
    auto solverId = solver_.addConstraint(expressionOf(spec), spec.relation, spec.priority);
    if (!solverId) return std::unexpected(errorFor(spec, solverId.error()));
    const LayoutConstraintId id{nextConstraint_++};
    constraints_.emplace(id.value, Record{spec, *solverId});
    items_[spec.first.item.value].constraints.insert(id.value);
    if (spec.second) items_[spec.second->item.value].constraints.insert(id.value);
    return id;
}

bool LayoutEngine::removeConstraint(LayoutConstraintId id) {
    auto it = constraints_.find(id.value);
    if (it == constraints_.end()) return false;
    solver_.removeConstraint(it->second.solverId);
    const auto forget = [&](ItemId item) {
        if (auto owner = items_.find(item.value); owner != items_.end()) owner->second.constraints.erase(id.value);
    };
    forget(it->second.spec.first.item);
    if (it->second.spec.second) forget(it->second.spec.second->item);
    constraints_.erase(it);
    return true;
}

bool LayoutEngine::isActive(LayoutConstraintId id) const { return constraints_.contains(id.value); }

std::expected<void, LayoutError> LayoutEngine::setConstant(LayoutConstraintId id, double constant) {
    auto it = constraints_.find(id.value);
    if (it == constraints_.end())
        return std::unexpected(LayoutError{LayoutError::Kind::notInLayout, "Constraint is not active", {}});
    ConstraintSpec changed = it->second.spec;
    changed.constant = constant;
    if (!hasValuesInRange(changed)) return std::unexpected(outOfRangeError(changed));
    // The solver's expression carries −constant.
    if (auto done = solver_.setConstant(it->second.solverId, -constant); !done) {
        // Refused for the solution it would give (the constant itself is in
        // range): the constraint cannot hold, as an unsatisfiable one.
        const LayoutError error = errorFor(changed, done.error());
        removeConstraint(id);
        return std::unexpected(error);
    }
    it->second.spec.constant = constant;
    return {};
}

std::expected<void, LayoutError> LayoutEngine::setPriority(LayoutConstraintId id, double priority) {
    auto it = constraints_.find(id.value);
    if (it == constraints_.end())
        return std::unexpected(LayoutError{LayoutError::Kind::notInLayout, "Constraint is not active", {}});
    if (it->second.spec.priority == priority) return {};
    ConstraintSpec changed = it->second.spec;
    changed.priority = priority;
    if (!std::isfinite(priority)) return std::unexpected(outOfRangeError(changed));
    solver_.removeConstraint(it->second.solverId);
    auto solverId = solver_.addConstraint(expressionOf(changed), changed.relation, priority);
    if (!solverId) {
        const LayoutError error = errorFor(changed, solverId.error());
        removeConstraint(id);
        return std::unexpected(error);
    }
    it->second = Record{changed, *solverId};
    return {};
}

std::optional<ConstraintSpec> LayoutEngine::spec(LayoutConstraintId id) const {
    auto it = constraints_.find(id.value);
    if (it == constraints_.end()) return std::nullopt;
    return it->second.spec;
}

void LayoutEngine::updateContentConstraints(Item& item, Axis axis) {
    AxisContent& content = item.content[axis == Axis::horizontal ? 0 : 1];
    const Variable size = axis == Axis::horizontal ? item.width : item.height;
    const bool has = content.intrinsic >= 0;
    const auto place = [&](ConstraintId& id, Relation relation, double priority) {
        if (!has) {
            solver_.removeConstraint(id);
            id = {};
            return;
        }
        // size − intrinsic relation 0: the constant is −intrinsic.
        if (solver_.hasConstraint(id)) {
            (void)solver_.setConstant(id, -content.intrinsic);  // preferred: always satisfiable
            return;
        }
        auto added = solver_.addConstraint(Expression(size) - Expression(content.intrinsic), relation, priority);
        id = added ? *added : ConstraintId{};
    };
    place(content.huggingConstraint, Relation::lessThanOrEqual, content.hugging);
    place(content.compressionConstraint, Relation::greaterThanOrEqual, content.compression);
}

void LayoutEngine::setIntrinsicContentSize(ItemId id, Size size) {
    auto it = items_.find(id.value);
    if (it == items_.end()) return;
    it->second.content[0].intrinsic = size.width;
    it->second.content[1].intrinsic = size.height;
    updateContentConstraints(it->second, Axis::horizontal);
    updateContentConstraints(it->second, Axis::vertical);
}

void LayoutEngine::setContentHuggingPriority(ItemId id, Axis axis, double priority) {
    auto it = items_.find(id.value);
    if (it == items_.end()) return;
    AxisContent& content = it->second.content[axis == Axis::horizontal ? 0 : 1];
    if (content.hugging == priority) return;
    content.hugging = priority;
    solver_.removeConstraint(content.huggingConstraint);
    content.huggingConstraint = {};
    updateContentConstraints(it->second, axis);
}

void LayoutEngine::setContentCompressionResistancePriority(ItemId id, Axis axis, double priority) {
    auto it = items_.find(id.value);
    if (it == items_.end()) return;
    AxisContent& content = it->second.content[axis == Axis::horizontal ? 0 : 1];
    if (content.compression == priority) return;
    content.compression = priority;
    solver_.removeConstraint(content.compressionConstraint);
    content.compressionConstraint = {};
    updateContentConstraints(it->second, axis);
}

double LayoutEngine::contentHuggingPriority(ItemId id, Axis axis) const {
    auto it = items_.find(id.value);
    return it == items_.end() ? defaultHuggingPriority : it->second.content[axis == Axis::horizontal ? 0 : 1].hugging;
}

double LayoutEngine::contentCompressionResistancePriority(ItemId id, Axis axis) const {
    auto it = items_.find(id.value);
    return it == items_.end() ? defaultCompressionResistancePriority
                              : it->second.content[axis == Axis::horizontal ? 0 : 1].compression;
}

Rect LayoutEngine::frame(ItemId id) const {
    auto it = items_.find(id.value);
    if (it == items_.end()) return Rect::zero();
    const Item& i = it->second;
    return Rect{solver_.value(i.left), solver_.value(i.top), solver_.value(i.width), solver_.value(i.height)};
}

double LayoutEngine::value(Anchor anchor) const {
    const Expression e = expressionOf(anchor);
    double v = e.constant();
    for (const Term& t : e.terms()) v += t.coefficient * solver_.value(t.variable);
    return v;
}

}  // namespace platform::ui::layout
