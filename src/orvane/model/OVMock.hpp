// The namespace of the in-memory library, the interface's fixed content
// configuration and the demo content; this header holds its one error.
#pragma once

namespace orvane::OVMock {

// A publication date missing from a date comparison of episodes; never
// leaves the episode sort.
enum class DataError { dateNotValid };

}  // namespace orvane::OVMock
