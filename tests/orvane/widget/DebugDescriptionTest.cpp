#include "orvane/widget/DebugDescription.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/StateBuilder.hpp"

namespace {

using orvane::debugDescription;
using platform::core::Json;

// The debug form is the library's compact dump with invalid UTF-8 replaced,
// for every kind of value, a whole widget state among them.
TEST(DebugDescription, IsTheLibrarysCompactDumpWithReplacement) {
    const std::vector<Json> values = {
        orvane::test::StateBuilder::large(),
        Json::parse(R"({"b":[],"a":{},"c":[null,true,false,{"d":[1,-2]}]})"),
        Json{0, -0, 7, -7, 18446744073709551615ull, -9223372036854775807ll - 1},
        Json{0.0, -0.0, 1.0, 0.1, 2.5, 1e21, 1e-7, 123456.789, 5e-324, 1.7976931348623157e308,
             std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()},
        Json{"", "plain/text", "\"quoted\" \\ back", std::string("\0\x01\x1f\x7f", 4), "\b\f\n\r\t",
             "é€\xF0\x9F\x8E\xA7 Épisode"},
        // Invalid UTF-8: overlong, surrogate, beyond U+10FFFF, cut, stray.
        Json{"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ab\xE2\x82", "\x80x", "ok"},
        Json("top"),
        Json(nullptr),
    };
    for (const auto& value : values) {
        const std::string expected = value.dump(-1, ' ', false, Json::error_handler_t::replace);
        SCOPED_TRACE(expected.substr(0, 200));
        EXPECT_EQ(debugDescription(value), expected);
    }
}

}  // namespace
