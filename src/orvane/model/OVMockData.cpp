#include "orvane/model/OVMockData.hpp"

namespace orvane::OVMock {

Data& Data::shared() {
    static Data instance;
    return instance;
}

}  // namespace orvane::OVMock
