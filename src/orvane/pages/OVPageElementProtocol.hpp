// What a page and its presenter see of a page element: the element's one
// cell (as the base element cell) and the page that holds it. Pages and
// presenters keep their elements in row order as shared pointers of this
// type. Main thread only.
#pragma once

#include <memory>

namespace orvane {

class OVPage;
class OVPageElementTableViewCell;

class OVPageElementProtocol : public std::enable_shared_from_this<OVPageElementProtocol> {
public:
    virtual ~OVPageElementProtocol() = default;
    virtual std::shared_ptr<OVPageElementTableViewCell> elementTableViewCell() const = 0;
    virtual std::shared_ptr<OVPage> page() const = 0;
};

}  // namespace orvane
