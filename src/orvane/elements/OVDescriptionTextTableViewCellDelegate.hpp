// The description cell's read-more button: the cell names its element, and
// the main, podcast and episode pages develop that element's text. Held
// weakly by the cell; main thread only.
#pragma once

#include <memory>

#include "orvane/pages/OVPageElement.hpp"

namespace orvane {

class OVDescriptionTextTableViewCellDelegate {
public:
    virtual ~OVDescriptionTextTableViewCellDelegate() = default;
    virtual void didTapSeeMore(const std::shared_ptr<OVPageElement::Description>& forDescriptionElement) = 0;
};

}  // namespace orvane
