#include "orvane/pages/OVDiscoverPage.hpp"

namespace orvane {

OVDiscoverPage::OVDiscoverPage(ConstructorKey key) : OVPage(key) {}
OVDiscoverPage::~OVDiscoverPage() = default;

void OVDiscoverPage::initialize(const std::shared_ptr<OVPageCoordinator>& /*coordinator*/) {}

}  // namespace orvane
