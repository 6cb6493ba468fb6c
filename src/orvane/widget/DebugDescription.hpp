// The debug form of a JSON value in the bridge's and the web view's debug
// lines: compact JSON, members in key order, texts unescaped beyond what
// JSON requires, invalid UTF-8 as U+FFFD (exactly what
// `json.dump(-1, ' ', false, error_handler_t::replace)` writes), made in one
// pass with runs of plain text copied whole: a whole widget state is printed
// for every state update. Any thread.
#pragma once

#include <string>

#include "platform/core/Json.hpp"

namespace orvane {

std::string debugDescription(const platform::core::Json& value);

}  // namespace orvane
