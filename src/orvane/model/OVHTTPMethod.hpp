// The HTTP methods a REST request may name. Plain value; thread-safe.
// The case `delete` is spelled `delete_` (a C++ keyword); its raw text is
// "delete".
#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "orvane/model/RawEnum.hpp"

namespace orvane {

enum class OVHTTPMethod { get, put, post, delete_ };

template <>
struct EnumTraits<OVHTTPMethod> {
    static constexpr std::array<std::pair<OVHTTPMethod, std::string_view>, 4> table{{
        {OVHTTPMethod::get, "get"},
        {OVHTTPMethod::put, "put"},
        {OVHTTPMethod::post, "post"},
        {OVHTTPMethod::delete_, "delete"},
    }};
};

}  // namespace orvane
