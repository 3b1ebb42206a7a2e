#pragma once
// The memo search without a window: option bits, word characters, the two search
// directions, and the find-next step that TMemoSearch applies to its memo.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bj {

// Bits of the component's option set (not the FINDREPLACE flag values).
using FindOptions = std::uint32_t;
constexpr FindOptions frDown = 1u << 0;
constexpr FindOptions frFindNext = 1u << 1;
constexpr FindOptions frMatchCase = 1u << 5;
constexpr FindOptions frWholeWord = 1u << 11;

// Virtual key in the low byte, plus 8192 Shift, 16384 Ctrl, 32768 Alt; 0 means none.
using ShortCut = std::uint16_t;
constexpr ShortCut kShortCutShift = 8192;
constexpr ShortCut kShortCutCtrl = 16384;
constexpr ShortCut kShortCutAlt = 32768;

constexpr ShortCut MakeShortCut(unsigned virtualKey, bool shift, bool ctrl, bool alt) {
    return static_cast<ShortCut>((virtualKey & 0xFFu) | (shift ? kShortCutShift : 0u) |
                                 (ctrl ? kShortCutCtrl : 0u) | (alt ? kShortCutAlt : 0u));
}

constexpr ShortCut kShortCutCtrlF = 16454;
constexpr ShortCut kShortCutF3 = 114;
static_assert(kShortCutCtrlF == MakeShortCut('F', false, true, false), "Ctrl+F");
static_assert(kShortCutF3 == MakeShortCut(0x72 /* VK_F3 */, false, false, false), "F3");

// Letters and digits of the Latin, Greek and Cyrillic scripts, their combining accents and
// the underscore make words; everything else (blanks, punctuation, line breaks, symbols,
// ideographs, characters beyond the first plane) separates them.
bool IsWordChar(char16_t c);

// The lower case of an ASCII or accented Latin letter (Latin-1 Supplement and Latin
// Extended-A); any other character as it is.
char16_t FoldCase(char16_t c);

// Searches on UTF-16 text. A match never starts or ends inside a surrogate pair.
// 1-based position of Pattern in Text, or 0. Honours frMatchCase and frWholeWord; the ends of
// Text count as word boundaries.
std::size_t SearchForward(std::u16string_view pattern, std::u16string_view text,
                          FindOptions options);
std::size_t SearchBackward(std::u16string_view pattern, std::u16string_view text,
                           FindOptions options);

// Lowest (FindForwardIn) or highest (FindBackwardIn) 0-based offset in memo of a match
// lying wholly inside memo[first, last), npos if none. Word boundaries are judged by
// the memo's real neighbouring characters, so a range that starts or ends inside a word
// never makes a part of that word look whole.
std::size_t FindForwardIn(std::u16string_view pattern, std::u16string_view memo, std::size_t first,
                          std::size_t last, FindOptions options);
std::size_t FindBackwardIn(std::u16string_view pattern, std::u16string_view memo, std::size_t first,
                           std::size_t last, FindOptions options);

// What the component remembers between searches.
struct SearchState {
    std::u16string searchString;   // SearchString
    std::ptrdiff_t foundPos = -1;  // FoundPos: offset of the last match in the memo, -1 none
    std::ptrdiff_t startPos = -1;  // StartPos: where a continued search ran from, -1 new search
};

struct LocateRequest {
    std::u16string_view memoText;  // fetched once from the control; never copied
    std::size_t selStart = 0;
    std::size_t selLength = 0;
    std::u16string_view dialogText;  // the dialog's text to find
    FindOptions options = frDown;
};

struct LocateOutcome {
    SearchState state;
    bool found = false;
    std::size_t selStart = 0;  // selection to make when found
    std::size_t selLength = 0;
    std::u16string message;  // text of the "Search Results" box when not found
};

constexpr const char* kSearchResultsCaption = "Search Results";
constexpr const char* kNotFoundText = "Search string \"%s\" not found.";
constexpr const char* kNoMoreText = "No more instances of \"%s\" found.";

// One find-next step. A dialog text that differs from the previous SearchString starts a
// new search over the whole memo; the same text again continues from the selection:
// after it going down, before it going up.
LocateOutcome LocateMatch(const SearchState& previous, const LocateRequest& request);

}  // namespace bj
