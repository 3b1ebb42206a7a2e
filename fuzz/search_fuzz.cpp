// The memo search against a plain quadratic search that follows the same rules.
// Input: an option byte, a pattern length byte, two range bytes, then the pattern and the memo,
// one byte a character out of a small alphabet of letters in both cases, separators and
// surrogate halves.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "components/memosearch/searchengine.h"
#include "fuzz/fuzzcheck.h"

namespace {

constexpr std::size_t npos = std::u16string_view::npos;

constexpr char16_t kAlphabet[16] = {u'a',   u'A',   u'b',   u' ',   u'_',   u'.',   0x00E9, 0x00C9,
                                    0x013A, 0x0139, 0x0138, 0x00FF, 0x0178, 0x4E2D, 0xD83D, 0xDE00};

bool MatchesAt(std::u16string_view pattern, std::u16string_view memo, std::size_t at,
               bool matchCase) {
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        const char16_t a = memo[at + k];
        const char16_t b = pattern[k];
        if (matchCase ? a != b : bj::FoldCase(a) != bj::FoldCase(b)) return false;
    }
    return true;
}

bool WholeWordAt(std::u16string_view memo, std::size_t at, std::size_t length) {
    const bool before = at == 0 || !bj::IsWordChar(memo[at - 1]);
    const bool after = at + length == memo.size() || !bj::IsWordChar(memo[at + length]);
    return before && after;
}

bool HalvesACharacter(std::u16string_view memo, std::size_t at) {
    return at > 0 && at < memo.size() && memo[at - 1] >= 0xD800 && memo[at - 1] <= 0xDBFF &&
           memo[at] >= 0xDC00 && memo[at] <= 0xDFFF;
}

// A rejected whole-word candidate is skipped whole: the next try starts after its end. One that
// would halve a character is passed by one unit.
std::size_t ReferenceForward(std::u16string_view pattern, std::u16string_view memo,
                             std::size_t first, std::size_t last, bj::FindOptions options) {
    if (last > memo.size()) last = memo.size();
    const std::size_t m = pattern.size();
    if (m == 0) return npos;
    const bool matchCase = (options & bj::frMatchCase) != 0;
    const bool wholeWord = (options & bj::frWholeWord) != 0;
    std::size_t s = first;
    while (s + m <= last) {
        if (!MatchesAt(pattern, memo, s, matchCase) || HalvesACharacter(memo, s) ||
            HalvesACharacter(memo, s + m)) {
            ++s;
            continue;
        }
        if (!wholeWord || WholeWordAt(memo, s, m)) return s;
        s += m;
    }
    return npos;
}

// Going up, the search goes on among matches that end before the rejected one starts.
std::size_t ReferenceBackward(std::u16string_view pattern, std::u16string_view memo,
                              std::size_t first, std::size_t last, bj::FindOptions options) {
    if (last > memo.size()) last = memo.size();
    const std::size_t m = pattern.size();
    if (m == 0) return npos;
    const bool matchCase = (options & bj::frMatchCase) != 0;
    const bool wholeWord = (options & bj::frWholeWord) != 0;
    std::size_t end = last;
    while (end >= first + m) {
        const std::size_t s = end - m;
        if (!MatchesAt(pattern, memo, s, matchCase) || HalvesACharacter(memo, s) ||
            HalvesACharacter(memo, end)) {
            --end;
            continue;
        }
        if (!wholeWord || WholeWordAt(memo, s, m)) return s;
        end = s;
    }
    return npos;
}

std::size_t OneBased(std::size_t offset) {
    return offset == npos ? 0 : offset + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint8_t flags = data[0];
    bj::FindOptions options = 0;
    if (flags & 1) options |= bj::frMatchCase;
    if (flags & 2) options |= bj::frWholeWord;
    if (flags & 4) options |= bj::frDown;
    std::u16string rest;
    for (std::size_t i = 4; i < size; ++i) rest += kAlphabet[data[i] % 16];
    const std::size_t patternLength = std::min<std::size_t>(data[1] % 24, rest.size());
    const std::u16string_view pattern = std::u16string_view(rest).substr(0, patternLength);
    const std::u16string_view memo = std::u16string_view(rest).substr(patternLength);
    // Ranges may reach past the memo: the search clamps them.
    const std::size_t a = data[2] * (memo.size() + 2) / 255;
    const std::size_t b = data[3] * (memo.size() + 2) / 255;

    FUZZ_CHECK(bj::SearchForward(pattern, memo, options) ==
               OneBased(ReferenceForward(pattern, memo, 0, memo.size(), options)));
    FUZZ_CHECK(bj::SearchBackward(pattern, memo, options) ==
               OneBased(ReferenceBackward(pattern, memo, 0, memo.size(), options)));
    FUZZ_CHECK(bj::FindForwardIn(pattern, memo, a, b, options) ==
               ReferenceForward(pattern, memo, a, b, options));
    FUZZ_CHECK(bj::FindBackwardIn(pattern, memo, a, b, options) ==
               ReferenceBackward(pattern, memo, a, b, options));

    // F3 with the same text continues from the selection [a, a + b).
    bj::SearchState previous;
    previous.searchString.assign(pattern);
    bj::LocateRequest request;
    request.memoText = memo;
    request.selStart = a;
    request.selLength = b;
    request.dialogText = pattern;
    request.options = options;
    const bj::LocateOutcome outcome = bj::LocateMatch(previous, request);
    const std::size_t selStart = std::min(a, memo.size());
    const std::size_t selEnd = selStart + std::min(b, memo.size() - selStart);
    const std::size_t expected = (options & bj::frDown) != 0
                                     ? ReferenceForward(pattern, memo, selEnd, memo.size(), options)
                                     : ReferenceBackward(pattern, memo, 0, selStart, options);
    FUZZ_CHECK(outcome.found == (expected != npos));
    if (outcome.found) {
        FUZZ_CHECK(outcome.selStart == expected);
        FUZZ_CHECK(outcome.selLength == pattern.size());
        FUZZ_CHECK(outcome.state.foundPos == static_cast<std::ptrdiff_t>(expected));
    } else {
        FUZZ_CHECK(!outcome.message.empty());
        FUZZ_CHECK(outcome.state.foundPos == -1);
    }
    return 0;
}
