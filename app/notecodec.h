#pragma once
// The note file's bytes and the memo's text: which encoding a note is in, reading it as
// UTF-16 with CR LF line breaks, and writing the text back in the encoding the note keeps.

#include <string>
#include <string_view>

namespace notecodec {

enum class Encoding { Ansi, Utf8, Utf8Mark, Utf16Le, Utf16Be };

// The system's ANSI code page: Windows converts, the tests use a table.
class CodePage {
public:
    virtual ~CodePage() = default;
    virtual std::u16string ToText(std::string_view bytes) const = 0;
    // False when a character has no byte form of its own here (no "?", no look-alike).
    virtual bool ToBytes(std::u16string_view text, std::string& bytes) const = 0;
};

struct Decoded {
    std::u16string text;
    Encoding encoding = Encoding::Ansi;
    bool cut = false;  // a NUL, or half a UTF-16 unit at the end, stopped the text early
};

// A mark decides; else bytes that are valid UTF-8 with some non-ASCII sequence are UTF-8;
// anything else is ANSI. Text ends at the first NUL; CR, LF and CR LF become CR LF.
Decoded Decode(std::string_view bytes, const CodePage& ansi);

// The text in the note's encoding, made in buffer (whose memory is kept for the next save) and
// returned as a view of it. An ANSI note whose text the code page cannot hold becomes UTF-8
// with the mark: encoding says what was used. No text is no bytes, whatever the encoding.
std::string_view Encode(std::u16string_view text, Encoding& encoding, const CodePage& ansi,
                        std::string& buffer);

}  // namespace notecodec
