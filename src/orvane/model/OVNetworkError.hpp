// Why a REST request failed: no valid address could be made (`badURL`), the
// request brought no data (`networkError`), or the data did not decode
// (`dataParsingError`). Plain value; thread-safe.
#pragma once

namespace orvane {

enum class OVNetworkError { badURL, networkError, dataParsingError };

}  // namespace orvane
