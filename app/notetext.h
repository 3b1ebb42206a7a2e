#pragma once
// The note file's text form: ANSI bytes with CR LF line breaks.

#include <string>
#include <string_view>

namespace notetext {

// Text as the memo shows it: up to the first NUL, with every CR, LF and CR LF
// turned into one CR LF.
std::string DecodeNote(std::string_view fileBytes);

}  // namespace notetext
