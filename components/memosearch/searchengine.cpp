#include "components/memosearch/searchengine.h"

#include <algorithm>
#include <array>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bj {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;

// Verification may cost this many units plus twice the distance scanned before the search
// gives up on the fast filter and finishes in linear time (periodic texts like "aaaa...").
constexpr std::size_t kVerifySlack = 1024;

constexpr char16_t kFoldedBelow = 0x180;

constexpr char16_t FoldLatin(char16_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x178) return 0xFF;  // Y with diaeresis: its small letter sits in Latin-1
    // Latin Extended-A pairs its letters capital then small, except around the two i's and
    // the kra, where the pairs start on odd code points; U+0130, U+0131 and U+017F fold to
    // letters of other lengths and stay as they are.
    const bool evenCapital =
        (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (evenCapital && c % 2 == 0) return c + 1;
    if (oddCapital && c % 2 == 1) return c + 1;
    return c;
}

constexpr std::array<char16_t, kFoldedBelow> MakeFoldTable() {
    std::array<char16_t, kFoldedBelow> table{};
    for (char16_t c = 0; c < kFoldedBelow; ++c) table[c] = FoldLatin(c);
    return table;
}
constexpr std::array<char16_t, kFoldedBelow> kFold = MakeFoldTable();

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// True when offset at lies between the two halves of one character.
bool SplitsPair(std::u16string_view memo, std::size_t at) {
    return at > 0 && at < memo.size() && IsHighSurrogate(memo[at - 1]) && IsLowSurrogate(memo[at]);
}

bool IsWholeWordAt(std::u16string_view memo, std::size_t start, std::size_t length) {
    const std::size_t end = start + length;
    return (start == 0 || !IsWordChar(memo[start - 1])) &&
           (end == memo.size() || !IsWordChar(memo[end]));
}

// The other case of c, or c when it has none.
char16_t OtherCase(char16_t c) {
    const char16_t folded = FoldCase(c);
    const std::array<char16_t, 4> candidates = {
        static_cast<char16_t>(c ^ 0x20), static_cast<char16_t>(c - 1), static_cast<char16_t>(c + 1),
        static_cast<char16_t>(c == 0xFF ? 0x178 : 0xFF)};
    const auto other = std::find_if(candidates.begin(), candidates.end(),
                                    [&](char16_t u) { return u != c && FoldCase(u) == folded; });
    return other == candidates.end() ? c : *other;
}

// Text unit u is a candidate for pattern position k when (u | mask_[k]) == value_[k]: with
// the mask the bits in which the two cases of the letter differ, both pass (and perhaps a
// few other units, which the full comparison of folded units then turns away).
class Matcher {
public:
    Matcher(std::u16string_view pattern, bool matchCase, std::size_t origin)
        : m_(pattern.size()), folded_(pattern), matchCase_(matchCase), origin_(origin) {
        if (matchCase) return;
        std::transform(folded_.begin(), folded_.end(), folded_.begin(), FoldCase);
        const auto filterFor = [](char16_t c, char16_t& mask, char16_t& value) {
            mask = static_cast<char16_t>(c ^ OtherCase(c));
            value = static_cast<char16_t>(c | mask);
        };
        filterFor(pattern[0], mask0_, value0_);
        filterFor(pattern[m_ - 1], maskL_, valueL_);
    }

    // Lowest start of a match lying inside t[from, to), npos if none.
    std::size_t FindFirst(const char16_t* t, std::size_t from, std::size_t to);
    // Highest start of a match lying inside t[from, to), npos if none.
    std::size_t FindLast(const char16_t* t, std::size_t from, std::size_t to);

private:
    bool Accepts(char16_t u, std::size_t k) const {
        if (!matchCase_ && u < kFoldedBelow) u = kFold[u];
        return u == folded_[k];
    }
    bool Candidate(const char16_t* s) const {
        return static_cast<char16_t>(s[0] | mask0_) == value0_ &&
               static_cast<char16_t>(s[m_ - 1] | maskL_) == valueL_;
    }

    // Units that matched before the first mismatch; m_ for a match.
    std::size_t MatchedAt(const char16_t* s) const {
        std::size_t k = 0;
        while (k < m_ && Accepts(s[k], k)) ++k;
        return k;
    }

    // Counts the work of a failed candidate at distance units from the origin; true once
    // the filter is no longer paying for itself.
    bool OverBudget(std::size_t cost, std::size_t distance) {
        work_ += cost;
        if (work_ > 2 * distance + kVerifySlack) linear_ = true;
        return linear_;
    }

    const std::vector<std::size_t>& Failure(bool reversed);
    std::size_t FindFirstLinear(const char16_t* t, std::size_t from, std::size_t to);
    std::size_t FindLastLinear(const char16_t* t, std::size_t from, std::size_t to);

    std::size_t m_;
    std::u16string folded_;
    bool matchCase_;
    char16_t mask0_ = 0, value0_ = folded_[0], maskL_ = 0, valueL_ = folded_[m_ - 1];
    std::size_t origin_;  // where the whole search began, for the budget
    std::size_t work_ = 0;
    bool linear_ = false;
    std::vector<std::size_t> failure_;
    std::vector<std::size_t> reversedFailure_;
};

// Knuth-Morris-Pratt failure table over the folded pattern, read backwards when reversed.
const std::vector<std::size_t>& Matcher::Failure(bool reversed) {
    std::vector<std::size_t>& fail = reversed ? reversedFailure_ : failure_;
    if (!fail.empty()) return fail;
    const auto at = [&](std::size_t i) { return folded_[reversed ? m_ - 1 - i : i]; };
    fail.assign(m_, 0);
    std::size_t k = 0;
    for (std::size_t i = 1; i < m_; ++i) {
        while (k > 0 && at(i) != at(k)) k = fail[k - 1];
        if (at(i) == at(k)) ++k;
        fail[i] = k;
    }
    return fail;
}

std::size_t Matcher::FindFirstLinear(const char16_t* t, std::size_t from, std::size_t to) {
    const std::vector<std::size_t>& fail = Failure(false);
    std::size_t k = 0;
    for (std::size_t i = from; i < to; ++i) {
        while (k > 0 && !Accepts(t[i], k)) k = fail[k - 1];
        if (Accepts(t[i], k)) ++k;
        if (k == m_) return i + 1 - m_;
    }
    return npos;
}

std::size_t Matcher::FindLastLinear(const char16_t* t, std::size_t from, std::size_t to) {
    const std::vector<std::size_t>& fail = Failure(true);
    std::size_t k = 0;
    for (std::size_t i = to; i-- > from;) {
        while (k > 0 && !Accepts(t[i], m_ - 1 - k)) k = fail[k - 1];
        if (Accepts(t[i], m_ - 1 - k)) ++k;
        if (k == m_) return i;
    }
    return npos;
}

#if defined(__SSE2__)
// One bit per start s..s+7 whose first and last units pass the filter, in the even bits.
struct CandidateFilter {
    __m128i mask0, value0, maskL, valueL;
    unsigned At(const char16_t* heads, const char16_t* tails) const {
        const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(heads));
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tails));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(h, mask0), value0),
                                          _mm_cmpeq_epi16(_mm_or_si128(l, maskL), valueL));
        return static_cast<unsigned>(_mm_movemask_epi8(hit)) & 0x5555u;
    }
};
#endif

// Candidates are starts whose first and last units pass the filter; eight starts are tested
// at once where SSE2 is there. Only candidates go through the full comparison.
std::size_t Matcher::FindFirst(const char16_t* t, std::size_t from, std::size_t to) {
    if (to < from || to - from < m_) return npos;
    if (linear_) return FindFirstLinear(t, from, to);
    const std::size_t lastStart = to - m_;
    std::size_t s = from;
#if defined(__SSE2__)
    const CandidateFilter filter{
        _mm_set1_epi16(static_cast<short>(mask0_)), _mm_set1_epi16(static_cast<short>(value0_)),
        _mm_set1_epi16(static_cast<short>(maskL_)), _mm_set1_epi16(static_cast<short>(valueL_))};
    for (; s + 7 <= lastStart; s += 8) {
        auto mask = filter.At(t + s, t + s + m_ - 1);
        while (mask != 0) {
            const std::size_t c = s + static_cast<std::size_t>(__builtin_ctz(mask)) / 2;
            const std::size_t matched = MatchedAt(t + c);
            if (matched == m_) return c;
            if (OverBudget(matched + 1, c - origin_)) return FindFirstLinear(t, c + 1, to);
            mask &= mask - 1;
        }
    }
#endif
    for (; s <= lastStart; ++s) {
        if (!Candidate(t + s)) continue;
        const std::size_t matched = MatchedAt(t + s);
        if (matched == m_) return s;
        if (OverBudget(matched + 1, s - origin_)) return FindFirstLinear(t, s + 1, to);
    }
    return npos;
}

std::size_t Matcher::FindLast(const char16_t* t, std::size_t from, std::size_t to) {
    if (to < from || to - from < m_) return npos;
    // A match starting below c ends before c + m_ - 1.
    const auto rest = [&](std::size_t c) { return FindLastLinear(t, from, c + m_ - 1); };
    if (linear_) return rest(to - m_ + 1);
    std::size_t s = to - m_ + 1;  // starts below s are still to be tried
#if defined(__SSE2__)
    const CandidateFilter filter{
        _mm_set1_epi16(static_cast<short>(mask0_)), _mm_set1_epi16(static_cast<short>(value0_)),
        _mm_set1_epi16(static_cast<short>(maskL_)), _mm_set1_epi16(static_cast<short>(valueL_))};
    for (; s - from >= 8; s -= 8) {
        const std::size_t base = s - 8;
        auto mask = filter.At(t + base, t + base + m_ - 1);
        while (mask != 0) {
            const auto bit = static_cast<unsigned>(31 - __builtin_clz(mask));
            const std::size_t c = base + bit / 2;
            const std::size_t matched = MatchedAt(t + c);
            if (matched == m_) return c;
            if (OverBudget(matched + 1, origin_ - c)) return rest(c);
            mask &= ~(1u << bit);
        }
    }
#endif
    while (s > from) {
        --s;
        if (!Candidate(t + s)) continue;
        const std::size_t matched = MatchedAt(t + s);
        if (matched == m_) return s;
        if (OverBudget(matched + 1, origin_ - s)) return rest(s);
    }
    return npos;
}

std::u16string FillIn(const char* text, std::u16string_view value) {
    std::u16string result(text, text + std::char_traits<char>::length(text));
    const std::size_t at = result.find(u"%s");
    if (at != std::u16string::npos) result.replace(at, 2, value);
    return result;
}

// Why a match found at s is passed over: 'w' not a whole word, 'p' it halves a character.
char Rejection(std::u16string_view memo, std::size_t s, std::size_t m, FindOptions options) {
    if (SplitsPair(memo, s) || SplitsPair(memo, s + m)) return 'p';
    if ((options & frWholeWord) != 0 && !IsWholeWordAt(memo, s, m)) return 'w';
    return 0;
}

}  // namespace

bool IsWordChar(char16_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' ||
               (c >= 'a' && c <= 'z');
    if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c <= 0x2AF) return c != 0xD7 && c != 0xF7;  // Latin letters
    if (c >= 0x300 && c <= 0x36F) return true;      // combining accents
    if (c >= 0x370 && c <= 0x52F) return c != 0x37E && c != 0x387 && (c < 0x482 || c > 0x489);
    return c >= 0x1E00 && c <= 0x1EFF;  // Latin Extended Additional
}

char16_t FoldCase(char16_t c) {
    return c < kFoldedBelow ? kFold[c] : c;
}

std::size_t FindForwardIn(std::u16string_view pattern, std::u16string_view memo, std::size_t first,
                          std::size_t last, FindOptions options) {
    last = std::min(last, memo.size());
    if (pattern.empty() || first >= last || last - first < pattern.size()) return npos;
    Matcher matcher(pattern, (options & frMatchCase) != 0, first);
    std::size_t from = first;
    for (;;) {
        const std::size_t s = matcher.FindFirst(memo.data(), from, last);
        if (s == npos) return s;
        const char why = Rejection(memo, s, pattern.size(), options);
        if (why == 0) return s;
        // Past the whole rejected word: one overlapping it is not tried.
        from = why == 'w' ? s + pattern.size() : s + 1;
    }
}

std::size_t FindBackwardIn(std::u16string_view pattern, std::u16string_view memo, std::size_t first,
                           std::size_t last, FindOptions options) {
    last = std::min(last, memo.size());
    if (pattern.empty() || first >= last || last - first < pattern.size()) return npos;
    Matcher matcher(pattern, (options & frMatchCase) != 0, last);
    std::size_t to = last;
    for (;;) {
        const std::size_t s = matcher.FindLast(memo.data(), first, to);
        if (s == npos) return s;
        const char why = Rejection(memo, s, pattern.size(), options);
        if (why == 0) return s;
        to = why == 'w' ? s : s + pattern.size() - 1;
    }
}

std::size_t SearchForward(std::u16string_view pattern, std::u16string_view text,
                          FindOptions options) {
    const std::size_t s = FindForwardIn(pattern, text, 0, text.size(), options);
    return s == npos ? 0 : s + 1;
}

std::size_t SearchBackward(std::u16string_view pattern, std::u16string_view text,
                           FindOptions options) {
    const std::size_t s = FindBackwardIn(pattern, text, 0, text.size(), options);
    return s == npos ? 0 : s + 1;
}
LocateOutcome LocateMatch(const SearchState& previous, const LocateRequest& request) {
    LocateOutcome outcome;
    SearchState& state = outcome.state;
    state = previous;
    const std::u16string_view memo = request.memoText;
    const bool down = (request.options & frDown) != 0;

    if (state.searchString != request.dialogText) {
        state.foundPos = -1;
        state.startPos = -1;
        state.searchString.assign(request.dialogText);
    } else {
        const std::size_t selStart = std::min(request.selStart, memo.size());
        const std::size_t selLength = std::min(request.selLength, memo.size() - selStart);
        state.startPos = static_cast<std::ptrdiff_t>(down ? selStart + selLength : selStart);
    }

    std::size_t first = 0;
    std::size_t last = memo.size();
    if (state.startPos > -1) {
        if (down)
            first = static_cast<std::size_t>(state.startPos);
        else
            last = static_cast<std::size_t>(state.startPos);
    }
    const std::size_t match =
        down ? FindForwardIn(state.searchString, memo, first, last, request.options)
             : FindBackwardIn(state.searchString, memo, first, last, request.options);
    if (match == npos) {
        state.foundPos = -1;
        outcome.message =
            FillIn(state.startPos == -1 ? kNotFoundText : kNoMoreText, state.searchString);
        return outcome;
    }
    state.foundPos = static_cast<std::ptrdiff_t>(match);
    outcome.found = true;
    outcome.selStart = match;
    outcome.selLength = state.searchString.size();
    return outcome;
}

}  // namespace bj
