// HTML to attributed text, read with gumbo (an HTML5 parser: malformed
// markup still gives its text). b and strong make bold runs, i and em italic
// ones, a carries its href as the link attribute, br breaks the line, p and
// the other block elements stand on lines of their own; entities are decoded,
// white space collapses as in a browser, script and style (and the document
// head) are dropped, and nothing is ever fetched. Runs get the reader's base
// font (the system font at 12 points, in its bold and italic faces where the
// machine has them) and black.
//
// Descriptions come from feeds anyone can publish, so the reader bounds what
// it does:
// - input: the first 1 MiB is read (cut between characters, with one debug
//   line); the rest is not.
// - errors: gumbo records at most 16 parse errors (each keeps a copy of the
//   open elements).
// - depth: as gumbo's tree has it (elements really open; an end tag that
//   closes nothing lowers nothing). Content nested more than 256 elements deep
//   is flattened while walking the tree: its text comes out in the style of
//   the level at the bound, with line breaks and block edges read as spaces.
// - time: linear in the input, with the exception below. gumbo's own work grows with the number of
//   tokens times the depth of open elements, so text longer than 8 KB is
//   parsed in sections of about 8 KB, each cut where gumbo stands between two
//   tokens (before a node, or inside a text at a space or reference before any
//   '<'), with the elements open there re-opened at the start of the next
//   section (up to 260 of them, plus any script, style or other raw-text
//   element). A section grows (doubling) while no such point follows its
//   first quarter (one long comment or tag): that is the one case still
//   outside the linear bound, since deep nesting right after a long comment is
//   parsed in the grown section (a 512 KB comment then 512 KB of <ul> takes
//   about a minute). 1 MiB nested as deep as it can be otherwise reads in
//   about 2 s; ordinary formatted markup at about 2 MB/s, mostly gumbo (a
//   section is parsed twice: once to find its end, once to read it).
//   A formatting element closed implicitly before a cut (an unclosed <b> in
//   a closed paragraph) is not carried into later paragraphs past the cut.
// - output: always valid UTF-8 (invalid bytes, and gumbo's lone bytes for
//   references past U+10FFFF, read as U+FFFD).
//
// Pure; main thread like the rest of the kit.
#pragma once

#include "platform/ui/text/AttributedString.hpp"

#include <expected>
#include <string>
#include <string_view>

namespace platform::ui {

struct HtmlReadError {
    std::string message;
};

// `html` is UTF-8; invalid bytes read as U+FFFD.
std::expected<AttributedString, HtmlReadError> attributedStringFromHtml(std::string_view html);

}  // namespace platform::ui
