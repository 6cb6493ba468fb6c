#include "orvane/model/OVMockData.hpp"

#include "platform/core/NoDestructor.hpp"

namespace orvane::OVMock {

Data& Data::shared() {
    static platform::core::NoDestructor<Data> instance{std::in_place, [] { return Data(); }};
    return *instance;
}

}  // namespace orvane::OVMock
