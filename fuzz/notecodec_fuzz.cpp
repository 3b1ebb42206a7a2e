// The note codec over arbitrary file bytes: the memo gets clean CR LF text without NULs,
// and what a save writes reads back as the same text in the same encoding.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/notecodec.h"
#include "fuzz/fuzzcheck.h"
#include "tests/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const testfiles::Cp1252 ansi;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const notecodec::Decoded note = notecodec::Decode(bytes, ansi);

    const std::u16string& text = note.text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        FUZZ_CHECK(c != 0);
        if (c == u'\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == u'\n');
        if (c == u'\n') FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
    }
    if (note.encoding < notecodec::Encoding::Utf16Le)
        FUZZ_CHECK(note.cut == (bytes.find('\0') != std::string_view::npos));

    notecodec::Encoding encoding = note.encoding;
    std::string buffer;
    const std::string saved(notecodec::Encode(text, encoding, ansi, buffer));
    FUZZ_CHECK(encoding == note.encoding);  // the table holds every character it read
    const notecodec::Decoded reread = notecodec::Decode(saved, ansi);
    FUZZ_CHECK(reread.text == text);
    FUZZ_CHECK(!reread.cut);
    // An empty text is saved as no bytes, which read as ANSI.
    FUZZ_CHECK(reread.encoding == encoding || text.empty());
    // Saved again in the buffer of a longer save, as a keystroke that deletes finds it.
    buffer.append(7, 'x');
    FUZZ_CHECK(notecodec::Encode(reread.text, encoding, ansi, buffer) == saved);
    return 0;
}
