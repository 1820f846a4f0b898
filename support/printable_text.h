// Text from files (names, tokens, paths) as it may appear inside a message:
// bytes that would garble a terminal are written as escapes.
#pragma once

#include <string>
#include <string_view>

// Control bytes become \n, \r, \t or \xNN, and so do bytes that are not part
// of a well-formed UTF-8 sequence; everything else (printable ASCII, UTF-8
// letters, the backslash of a drive path) is kept as it is.
std::string printableText(std::string_view text);
