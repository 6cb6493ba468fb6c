#include "orvane/pages/OVPageInteractorInteractor.hpp"

#include "orvane/pages/OVPageElementTableViewCell.hpp"

namespace orvane {

using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;

std::shared_ptr<OVPageInteractorInteractor> OVPageInteractorInteractor::create(
    const std::shared_ptr<OVPageCoordinator>& coordinator) {
    return std::make_shared<OVPageInteractorInteractor>(ConstructorKey{}, coordinator);
}

void OVPageInteractorInteractor::update(OVPageElements pageElements) { setPageElements(std::move(pageElements)); }

void OVPageInteractorInteractor::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    setTheme(withTheme);
    setMainColor(andMainColor);
}

int OVPageInteractorInteractor::numberOfRows(TableView& /*tableView*/, int /*section*/) {
    return static_cast<int>(pageElements().size());
}

std::shared_ptr<TableViewCell> OVPageInteractorInteractor::cellForRow(TableView& /*tableView*/,
                                                                      const IndexPath& indexPath) {
    const auto& elements = pageElements();
    if (indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < elements.size()) {
        if (const auto& element = elements[static_cast<std::size_t>(indexPath.row)]) {
            if (auto cell = element->elementTableViewCell()) return cell;
        }
    }
    return TableViewCell::create();
}

}  // namespace orvane
