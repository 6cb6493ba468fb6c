// Reads the JSON text that the engine's JSON.stringify makes (UTF-16 code
// units, as JavaScriptCore hands them over) straight into our JSON value, in
// one pass: no UTF-8 copy of the whole text and no second general-purpose
// parse. The value is the one our JSON parser would give for the same text
// converted to UTF-8 (same number kinds: unsigned, signed, floating; the last
// of repeated keys wins), except that a lone surrogate, raw or escaped, reads
// as U+FFFD, or, when asked to keep them, as the three bytes of its
// generalized UTF-8 form (WTF-8: U+D800 is ED A0 80), which valid UTF-8
// never holds, so that a text can go back to the engine with the very code
// units it came with. Stateless; any thread.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/core/Json.hpp"

namespace platform::web {

enum class EngineJSONOutcome {
    value,     // `out` holds the value
    tooDeep,   // objects and arrays nested more than `maxDepth` levels
    malformed  // not one JSON value
};

enum class LoneSurrogates { replace, keep };

// `sawLoneSurrogate`, when given, is set to whether a text held one.
EngineJSONOutcome jsonFromEngineText(std::u16string_view text, core::Json& out, std::size_t maxDepth,
                                     LoneSurrogates loneSurrogates = LoneSurrogates::replace,
                                     bool* sawLoneSurrogate = nullptr);

}  // namespace platform::web
