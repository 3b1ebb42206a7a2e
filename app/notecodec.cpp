#include "app/notecodec.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace notecodec {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char16_t kReplacement = 0xFFFD;

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF; false when the
// bytes are anything else. Without text it only checks.
bool Utf8ToText(std::string_view bytes, std::u16string* text) {
    if (text) {
        text->clear();
        text->reserve(bytes.size());
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    const auto trail = [](unsigned char b) { return (b & 0xC0u) == 0x80u; };
    while (p < end) {
        const unsigned b = *p;
        if (b < 0x80) {
            if (text) *text += static_cast<char16_t>(b);
            ++p;
            continue;
        }
        unsigned length = 0, code = 0, low = 0, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2, code = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, code = b & 0x0Fu;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;  // U+D800..DFFF are not characters
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, code = b & 0x07u;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) < length) return false;
        if (p[1] < std::max(low, 0x80u) || p[1] > high) return false;
        for (unsigned i = 1; i < length; ++i) {
            if (!trail(p[i])) return false;
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        p += length;
        if (!text) continue;
        if (code < 0x10000) {
            *text += static_cast<char16_t>(code);
        } else {
            code -= 0x10000;
            *text += static_cast<char16_t>(0xD800 + (code >> 10));
            *text += static_cast<char16_t>(0xDC00 + (code & 0x3FFu));
        }
    }
    return true;
}

// Stops at a NUL unit; an odd last byte is half a unit and is left out.
std::u16string Utf16ToText(std::string_view bytes, bool bigEndian, bool& cut) {
    const std::size_t units = bytes.size() / 2;
    cut = bytes.size() % 2 != 0;
    std::u16string text;
    text.reserve(units);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < units; ++i, p += 2) {
        const auto unit =
            static_cast<char16_t>(bigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
        if (unit == 0) {
            cut = true;
            break;
        }
        text += unit;
    }
    return text;
}

// Every CR, LF and CR LF becomes one CR LF.
std::u16string WithCrLf(const std::u16string& text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 32);
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            out += c;
            continue;
        }
        out += u"\r\n";
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    }
    return out;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Writes the run of ASCII units at p as bytes to out; returns its length. Most notes are mostly
// ASCII, and every AutoSave keystroke encodes the whole note.
std::size_t CopyAscii(const char16_t* p, const char16_t* end, char* out) {
    const char16_t* const start = p;
#if defined(__SSE2__)
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    while (end - p >= 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        const __m128i high = _mm_and_si128(_mm_or_si128(a, b), nonAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (p - start)), _mm_packus_epi16(a, b));
        p += 16;
    }
#endif
    for (; p < end && *p < 0x80; ++p) out[p - start] = static_cast<char>(*p);
    return static_cast<std::size_t>(p - start);
}

// At least size bytes in the buffer, which never shrinks: after the first save of a note the
// saves of its keystrokes neither allocate nor clear memory.
char* Room(std::string& buffer, std::size_t size) {
    if (buffer.size() < size) buffer.resize(size);
    return buffer.data();
}

// A surrogate without its partner has no UTF-8 form: it is written as U+FFFD. Needs three bytes
// of room a unit; returns the end of what it wrote.
char* WriteUtf8(std::u16string_view text, char* out) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const std::size_t ascii = CopyAscii(p, end, out);
        p += ascii;
        out += ascii;
        if (p == end) break;
        unsigned code = *p++;
        if (IsHighSurrogate(static_cast<char16_t>(code)) && p < end && IsLowSurrogate(*p))
            code = 0x10000 + ((code - 0xD800) << 10) + (*p++ - 0xDC00u);
        else if (IsHighSurrogate(static_cast<char16_t>(code)) ||
                 IsLowSurrogate(static_cast<char16_t>(code)))
            code = kReplacement;
        if (code < 0x800) {
            *out++ = static_cast<char>(0xC0 | (code >> 6));
        } else {
            if (code < 0x10000) {
                *out++ = static_cast<char>(0xE0 | (code >> 12));
            } else {
                *out++ = static_cast<char>(0xF0 | (code >> 18));
                *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            }
            *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        }
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

char* WriteUtf16(std::u16string_view text, bool bigEndian, char* out) {
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        *out++ = bigEndian ? high : low;
        *out++ = bigEndian ? low : high;
    }
    return out;
}

// Bytes the code page made that would read back as other text: valid UTF-8, a mark.
bool ReadsBackOtherwise(std::string_view bytes) {
    return StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark) ||
           Utf8ToText(bytes, nullptr);
}

}  // namespace

Decoded Decode(std::string_view bytes, const CodePage& ansi) {
    Decoded note;
    std::u16string text;
    if (StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark)) {
        const bool bigEndian = StartsWith(bytes, kUtf16BeMark);
        note.encoding = bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le;
        text = Utf16ToText(bytes.substr(2), bigEndian, note.cut);
    } else {
        const std::size_t nul = bytes.find('\0');
        note.cut = nul != std::string_view::npos;
        bytes = bytes.substr(0, nul);
        if (StartsWith(bytes, kUtf8Mark) && Utf8ToText(bytes.substr(kUtf8Mark.size()), &text)) {
            note.encoding = Encoding::Utf8Mark;
        } else if (IsAscii(bytes)) {
            text.assign(bytes.begin(), bytes.end());
        } else if (Utf8ToText(bytes, &text)) {
            note.encoding = Encoding::Utf8;
        } else {
            // Broken UTF-8 with or without its mark loads as ANSI: every byte stays.
            text = ansi.ToText(bytes);
        }
    }
    note.text = WithCrLf(text);
    return note;
}

std::string_view Encode(std::u16string_view text, Encoding& encoding, const CodePage& ansi,
                        std::string& buffer) {
    if (text.empty()) return {};
    const std::size_t n = text.size();
    if (encoding == Encoding::Ansi) {
        if (CopyAscii(text.data(), text.data() + n, Room(buffer, n)) == n)
            return {buffer.data(), n};
        if (ansi.ToBytes(text, buffer) && !ReadsBackOtherwise(buffer)) return buffer;
        encoding = Encoding::Utf8Mark;
    }
    const auto start = [&](std::string_view mark, std::size_t room) {
        return std::copy(mark.begin(), mark.end(), Room(buffer, mark.size() + room));
    };
    char* end = nullptr;
    switch (encoding) {
        case Encoding::Utf8:
            end = WriteUtf8(text, start({}, 3 * n));
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool bigEndian = encoding == Encoding::Utf16Be;
            end =
                WriteUtf16(text, bigEndian, start(bigEndian ? kUtf16BeMark : kUtf16LeMark, 2 * n));
            break;
        }
        default:
            end = WriteUtf8(text, start(kUtf8Mark, 3 * n));
            break;
    }
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

}  // namespace notecodec
