// Finds the classic scripts of an HTML document, in document order: inline
// <script> text and `src` references. Scripts inside comments and scripts
// whose `type` is not JavaScript are skipped. Pure; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::web {

struct HTMLScript {
    std::optional<std::string> src;  // the src attribute as written
    std::string text;                // inline text (ignored when src is set)
};

std::vector<HTMLScript> extractScripts(std::string_view html);

}  // namespace platform::web
