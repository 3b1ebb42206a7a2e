#pragma once
// The note file's text form: ANSI bytes with CR LF line breaks.

#include <string>
#include <string_view>

namespace notetext {

struct DecodedNote {
    std::string text;
    // False when the text stops at a NUL: the bytes after it are not in the text.
    bool whole = true;
};

// Text as the memo shows it: up to the first NUL, with every CR, LF and CR LF
// turned into one CR LF.
DecodedNote DecodeNote(std::string_view fileBytes);

}  // namespace notetext
