// Text from files (names, tokens, paths) as it may appear inside a message:
// bytes that would garble a terminal are written as escapes.
#pragma once

#include <string>
#include <string_view>

// Control bytes become \n, \r, \t or \xNN, and so do bytes that are not part
// of a well-formed UTF-8 sequence; everything else (printable ASCII, UTF-8
// letters, the backslash of a drive path) is kept as it is. A text whose
// escaped form is longer than PRINTABLE_TEXT_MAX bytes is cut there, at a
// character, and ends in "… (N bytes)" with N its whole length: one refusal of
// a 100,000-character name stays one short line.
std::string printableText(std::string_view text);

constexpr std::size_t PRINTABLE_TEXT_MAX = 160;
