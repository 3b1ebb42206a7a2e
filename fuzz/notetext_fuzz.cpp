// DecodeNote over arbitrary file bytes: the memo must get clean CR LF text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/notetext.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const notetext::DecodedNote decoded = notetext::DecodeNote(bytes);
    const std::string& text = decoded.text;

    const std::string_view kept = bytes.substr(0, bytes.find('\0'));
    // A note cut at a NUL must say so: its next save would lose what follows.
    FUZZ_CHECK(decoded.whole == (kept.size() == bytes.size()));
    std::size_t loneBreaks = 0;
    std::string keptWithoutBreaks;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const char c = kept[i];
        if (c == '\r' || c == '\n') {
            const bool pairedCr = c == '\r' && i + 1 < kept.size() && kept[i + 1] == '\n';
            const bool pairedLf = c == '\n' && i > 0 && kept[i - 1] == '\r';
            if (!pairedCr && !pairedLf) ++loneBreaks;
        } else {
            keptWithoutBreaks += c;
        }
    }

    std::string textWithoutBreaks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        FUZZ_CHECK(c != '\0');
        if (c == '\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
        if (c == '\n') FUZZ_CHECK(i > 0 && text[i - 1] == '\r');
        if (c != '\r' && c != '\n') textWithoutBreaks += c;
    }
    // Each lone CR or LF gains one byte; a CR LF pair stays as it is.
    FUZZ_CHECK(text.size() == kept.size() + loneBreaks);
    FUZZ_CHECK(textWithoutBreaks == keptWithoutBreaks);
    // Decoding what was decoded changes nothing, so a save and reload keeps the memo.
    FUZZ_CHECK(notetext::DecodeNote(text).text == text);
    return 0;
}
