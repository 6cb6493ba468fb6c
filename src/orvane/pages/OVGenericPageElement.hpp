// A page element bound to one cell class: made with the coordinator (as the
// pages see it) and its page, both held weakly, it loads its one cell at
// once from the nib named after the cell class's `ReuseIdentifier` (the
// first top-level object, when it is of that class; otherwise the element
// has no cell, silently), points the cell back at itself, then runs the
// `setDelegates` hook, which kinds override to wire their cell. The element owns its cell for its
// whole life; cells of elements are never pooled or handed to another row.
//
// Made only through `create` (the hook needs the finished object).
// Main thread only; owned by the page's element list.
#pragma once

#include <memory>
#include <string>
#include <type_traits>
#include <variant>

#include "orvane/pages/OVCellReuseIdentifier.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageElementProtocol.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

template <class Cell>
class OVGenericPageElement : public OVPageElementProtocol {
protected:
    struct Token {
        explicit Token() = default;
    };

public:
    // An element of this class, or of a kind derived from it (`Element`),
    // with its cell loaded and bound.
    template <class Element = OVGenericPageElement>
    static std::shared_ptr<Element> create(const std::shared_ptr<OVPageCoordinator>& coordinator,
                                           const std::shared_ptr<OVPage>& page) {
        static_assert(std::is_base_of_v<OVGenericPageElement, Element>);
        auto element = std::make_shared<Element>(Token{}, coordinator, page);
        element->newCell();
        return element;
    }

    OVGenericPageElement(Token, const std::shared_ptr<OVPageCoordinator>& coordinator,
                         const std::shared_ptr<OVPage>& page)
        : coordinator_(coordinator), page_(page) {}

    const std::shared_ptr<Cell>& tableViewCell() const { return tableViewCell_; }
    void setTableViewCell(std::shared_ptr<Cell> cell) { tableViewCell_ = std::move(cell); }
    std::shared_ptr<OVPageCoordinator> coordinator() const { return coordinator_.lock(); }
    void setCoordinator(const std::shared_ptr<OVPageCoordinator>& coordinator) { coordinator_ = coordinator; }
    std::shared_ptr<OVPage> page() const override { return page_.lock(); }
    void setPage(const std::shared_ptr<OVPage>& page) { page_ = page; }

    std::shared_ptr<OVPageElementTableViewCell> elementTableViewCell() const override { return tableViewCell_; }

    // Runs once, at the end of the cell's loading, with or without a cell.
    virtual void setDelegates() {}

private:
    void newCell() {
        static_assert(std::is_base_of_v<OVPageElementTableViewCell, Cell> && OVCellReuseIdentifier<Cell>,
                      "an element cell derives from the element cell base and names its nib");
        std::shared_ptr<Cell> cell;
        if (auto objects = platform::ui::NibRegistry::shared().instantiate(std::string(Cell::ReuseIdentifier));
            objects && !objects->empty()) {
            cell = std::visit([](const auto& object) { return std::dynamic_pointer_cast<Cell>(object); },
                              objects->front());
        }
        tableViewCell_ = cell;
        if (cell) cell->setElement(weak_from_this());
        setDelegates();
    }

    std::shared_ptr<Cell> tableViewCell_;
    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVPage> page_;
};

}  // namespace orvane
