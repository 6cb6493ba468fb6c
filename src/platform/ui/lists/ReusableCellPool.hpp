// What a table and a collection share about their cells (and a table about
// its section headers): the nibs registered by reuse identifier and the pool
// of cells put aside by identifier. A dequeue takes a pooled cell (after `prepareForReuse`) or
// builds one from the registered nib (the builder has connected it and
// called `awakeFromNib`). Owned by its table or collection; main thread only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace platform::ui {

template <class Cell>
class ReusableCellPool {
public:
    // `kind` names what the pool holds in its debug lines.
    explicit ReusableCellPool(std::string kind = "cell") : kind_(std::move(kind)) {}

    // Registers (or replaces) the nib by name for an identifier; an empty
    // name removes the registration.
    void registerNib(const std::string& nibName, const std::string& identifier) {
        if (nibName.empty()) {
            nibs_.erase(identifier);
        } else {
            nibs_[identifier] = nibName;
        }
    }
    bool isRegistered(const std::string& identifier) const { return nibs_.contains(identifier); }

    // A pooled cell made ready for reuse, else a new one from the nib; none
    // when the identifier has no nib or its nib gives no cell of the class
    // (with a debug line).
    std::shared_ptr<Cell> dequeue(const std::string& identifier) {
        auto pooled = pool_.find(identifier);
        if (pooled != pool_.end() && !pooled->second.empty()) {
            auto cell = std::move(pooled->second.back());
            pooled->second.pop_back();
            cell->prepareForReuse();
            return cell;
        }
        auto nib = nibs_.find(identifier);
        if (nib == nibs_.end()) {
            core::debugPrint("unable to dequeue a " + kind_ + " with identifier \"" + identifier +
                             "\": no nib is registered for it");
            return nullptr;
        }
        auto cell = NibRegistry::shared().instantiateFirst<Cell>(nib->second);
        if (!cell) {
            core::debugPrint("unable to dequeue a " + kind_ + " with identifier \"" + identifier + "\": the nib \"" +
                             nib->second + "\" gives no cell");
            return nullptr;
        }
        cell->setReuseIdentifier(identifier);
        return cell;
    }

    // Puts a cell aside for a later dequeue; a cell without identifier is
    // dropped (it was not made for reuse).
    void enqueue(std::shared_ptr<Cell> cell) {
        if (!cell || cell->reuseIdentifier().empty()) return;
        pool_[cell->reuseIdentifier()].push_back(std::move(cell));
    }

    std::size_t pooledCount() const {
        std::size_t n = 0;
        for (const auto& [id, cells] : pool_) n += cells.size();
        return n;
    }

private:
    std::string kind_;
    std::map<std::string, std::string> nibs_;
    std::map<std::string, std::vector<std::shared_ptr<Cell>>> pool_;
};

}  // namespace platform::ui
