#include "components/memosearch/searchengine.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bj {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Verification may cost this many bytes plus twice the distance scanned before the search
// gives up on the fast filter and finishes in linear time (periodic texts like "aaaa...").
constexpr std::size_t kVerifySlack = 1024;

constexpr bool IsAsciiLetter(unsigned char c) {
    return static_cast<unsigned>(c | 0x20u) - 'a' < 26u;
}

bool IsWholeWordAt(std::string_view memo, std::size_t start, std::size_t length) {
    const std::size_t end = start + length;
    return (start == 0 || !IsWordChar(memo[start - 1])) &&
           (end == memo.size() || !IsWordChar(memo[end]));
}

// Text byte b matches pattern position k when (b | fold_[k]) == value_[k]. Ignoring case,
// a letter's fold is 0x20 and its value the lower case, which accepts exactly both cases
// of that ASCII letter; every other byte, é and É included, must be equal.
class Matcher {
public:
    Matcher(std::string_view pattern, bool matchCase, std::size_t origin)
        : m_(pattern.size()), value_(pattern), fold_(pattern.size(), 0), origin_(origin) {
        if (matchCase) return;
        for (std::size_t k = 0; k < m_; ++k) {
            const auto c = static_cast<unsigned char>(pattern[k]);
            if (IsAsciiLetter(c)) {
                value_[k] = static_cast<char>(c | 0x20u);
                fold_[k] = 0x20;
            }
        }
    }

    // Lowest start of a match lying inside t[from, to), npos if none.
    std::size_t FindFirst(const unsigned char* t, std::size_t from, std::size_t to);
    // Highest start of a match lying inside t[from, to), npos if none.
    std::size_t FindLast(const unsigned char* t, std::size_t from, std::size_t to);

private:
    bool Accepts(unsigned char b, std::size_t k) const {
        return static_cast<unsigned char>(b | fold_[k]) == static_cast<unsigned char>(value_[k]);
    }

    // Bytes that matched before the first mismatch; m_ for a match.
    std::size_t MatchedAt(const unsigned char* s) const {
        std::size_t k = 0;
        while (k < m_ && Accepts(s[k], k)) ++k;
        return k;
    }

    // Counts the work of a failed candidate at distance bytes from the origin; true once
    // the filter is no longer paying for itself.
    bool OverBudget(std::size_t cost, std::size_t distance) {
        work_ += cost;
        if (work_ > 2 * distance + kVerifySlack) linear_ = true;
        return linear_;
    }

    const std::vector<std::size_t>& Failure(bool reversed);
    std::size_t FindFirstLinear(const unsigned char* t, std::size_t from, std::size_t to);
    std::size_t FindLastLinear(const unsigned char* t, std::size_t from, std::size_t to);

    std::size_t m_;
    std::string value_;
    std::vector<unsigned char> fold_;
    std::size_t origin_;  // where the whole search began, for the budget
    std::size_t work_ = 0;
    bool linear_ = false;
    std::vector<std::size_t> failure_;
    std::vector<std::size_t> reversedFailure_;
};

// Knuth-Morris-Pratt failure table over the pattern, read backwards when reversed.
const std::vector<std::size_t>& Matcher::Failure(bool reversed) {
    std::vector<std::size_t>& fail = reversed ? reversedFailure_ : failure_;
    if (!fail.empty()) return fail;
    const auto at = [&](std::size_t i) { return value_[reversed ? m_ - 1 - i : i]; };
    fail.assign(m_, 0);
    std::size_t k = 0;
    for (std::size_t i = 1; i < m_; ++i) {
        while (k > 0 && at(i) != at(k)) k = fail[k - 1];
        if (at(i) == at(k)) ++k;
        fail[i] = k;
    }
    return fail;
}

std::size_t Matcher::FindFirstLinear(const unsigned char* t, std::size_t from, std::size_t to) {
    const std::vector<std::size_t>& fail = Failure(false);
    std::size_t k = 0;
    for (std::size_t i = from; i < to; ++i) {
        while (k > 0 && !Accepts(t[i], k)) k = fail[k - 1];
        if (Accepts(t[i], k)) ++k;
        if (k == m_) return i + 1 - m_;
    }
    return npos;
}

std::size_t Matcher::FindLastLinear(const unsigned char* t, std::size_t from, std::size_t to) {
    const std::vector<std::size_t>& fail = Failure(true);
    std::size_t k = 0;
    for (std::size_t i = to; i-- > from;) {
        while (k > 0 && !Accepts(t[i], m_ - 1 - k)) k = fail[k - 1];
        if (Accepts(t[i], m_ - 1 - k)) ++k;
        if (k == m_) return i;
    }
    return npos;
}

// Candidates are starts whose first and last bytes both match; sixteen starts are tested at
// once where SSE2 is there. Only candidates go through the full comparison.
std::size_t Matcher::FindFirst(const unsigned char* t, std::size_t from, std::size_t to) {
    if (to < from || to - from < m_) return npos;
    if (linear_) return FindFirstLinear(t, from, to);
    const std::size_t lastStart = to - m_;
    const unsigned char* tailOf = t + (m_ - 1);
    const unsigned char f0 = fold_[0];
    const unsigned char fL = fold_[m_ - 1];
    const auto v0 = static_cast<unsigned char>(value_[0]);
    const auto vL = static_cast<unsigned char>(value_[m_ - 1]);
    std::size_t s = from;
#if defined(__SSE2__)
    const __m128i fold0 = _mm_set1_epi8(static_cast<char>(f0));
    const __m128i value0 = _mm_set1_epi8(static_cast<char>(v0));
    const __m128i foldL = _mm_set1_epi8(static_cast<char>(fL));
    const __m128i valueL = _mm_set1_epi8(static_cast<char>(vL));
    for (; s + 15 <= lastStart; s += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + s));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tailOf + s));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(heads, fold0), value0),
                                          _mm_cmpeq_epi8(_mm_or_si128(tails, foldL), valueL));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        while (mask != 0) {
            const std::size_t c = s + static_cast<std::size_t>(__builtin_ctz(mask));
            const std::size_t matched = MatchedAt(t + c);
            if (matched == m_) return c;
            if (OverBudget(matched + 1, c - origin_)) return FindFirstLinear(t, c + 1, to);
            mask &= mask - 1;
        }
    }
#endif
    for (; s <= lastStart; ++s) {
        if (static_cast<unsigned char>(t[s] | f0) != v0 ||
            static_cast<unsigned char>(tailOf[s] | fL) != vL)
            continue;
        const std::size_t matched = MatchedAt(t + s);
        if (matched == m_) return s;
        if (OverBudget(matched + 1, s - origin_)) return FindFirstLinear(t, s + 1, to);
    }
    return npos;
}

std::size_t Matcher::FindLast(const unsigned char* t, std::size_t from, std::size_t to) {
    if (to < from || to - from < m_) return npos;
    // A match starting below c ends before c + m_ - 1.
    const auto rest = [&](std::size_t c) { return FindLastLinear(t, from, c + m_ - 1); };
    if (linear_) return rest(to - m_ + 1);
    const unsigned char* tailOf = t + (m_ - 1);
    const unsigned char f0 = fold_[0];
    const unsigned char fL = fold_[m_ - 1];
    const auto v0 = static_cast<unsigned char>(value_[0]);
    const auto vL = static_cast<unsigned char>(value_[m_ - 1]);
    std::size_t s = to - m_ + 1;  // starts below s are still to be tried
#if defined(__SSE2__)
    const __m128i fold0 = _mm_set1_epi8(static_cast<char>(f0));
    const __m128i value0 = _mm_set1_epi8(static_cast<char>(v0));
    const __m128i foldL = _mm_set1_epi8(static_cast<char>(fL));
    const __m128i valueL = _mm_set1_epi8(static_cast<char>(vL));
    for (; s - from >= 16; s -= 16) {
        const std::size_t base = s - 16;
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + base));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tailOf + base));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(heads, fold0), value0),
                                          _mm_cmpeq_epi8(_mm_or_si128(tails, foldL), valueL));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        while (mask != 0) {
            const auto bit = static_cast<unsigned>(31 - __builtin_clz(mask));
            const std::size_t c = base + bit;
            const std::size_t matched = MatchedAt(t + c);
            if (matched == m_) return c;
            if (OverBudget(matched + 1, origin_ - c)) return rest(c);
            mask &= ~(1u << bit);
        }
    }
#endif
    while (s > from) {
        --s;
        if (static_cast<unsigned char>(t[s] | f0) != v0 ||
            static_cast<unsigned char>(tailOf[s] | fL) != vL)
            continue;
        const std::size_t matched = MatchedAt(t + s);
        if (matched == m_) return s;
        if (OverBudget(matched + 1, origin_ - s)) return rest(s);
    }
    return npos;
}

std::string FillIn(std::string_view text, std::string_view value) {
    std::string result(text);
    const std::size_t at = result.find("%s");
    if (at != std::string::npos) result.replace(at, 2, value);
    return result;
}

}  // namespace

std::size_t FindForwardIn(std::string_view pattern, std::string_view memo, std::size_t first,
                          std::size_t last, FindOptions options) {
    last = std::min(last, memo.size());
    if (pattern.empty() || first >= last || last - first < pattern.size()) return npos;
    Matcher matcher(pattern, (options & frMatchCase) != 0, first);
    const auto* t = reinterpret_cast<const unsigned char*>(memo.data());
    std::size_t from = first;
    for (;;) {
        const std::size_t s = matcher.FindFirst(t, from, last);
        if (s == npos || (options & frWholeWord) == 0 || IsWholeWordAt(memo, s, pattern.size()))
            return s;
        // Past the whole rejected candidate: one overlapping it is not tried.
        from = s + pattern.size();
    }
}

std::size_t FindBackwardIn(std::string_view pattern, std::string_view memo, std::size_t first,
                           std::size_t last, FindOptions options) {
    last = std::min(last, memo.size());
    if (pattern.empty() || first >= last || last - first < pattern.size()) return npos;
    Matcher matcher(pattern, (options & frMatchCase) != 0, last);
    const auto* t = reinterpret_cast<const unsigned char*>(memo.data());
    std::size_t to = last;
    for (;;) {
        const std::size_t s = matcher.FindLast(t, first, to);
        if (s == npos || (options & frWholeWord) == 0 || IsWholeWordAt(memo, s, pattern.size()))
            return s;
        to = s;
    }
}

std::size_t SearchForward(std::string_view pattern, std::string_view text, FindOptions options) {
    const std::size_t s = FindForwardIn(pattern, text, 0, text.size(), options);
    return s == npos ? 0 : s + 1;
}

std::size_t SearchBackward(std::string_view pattern, std::string_view text, FindOptions options) {
    const std::size_t s = FindBackwardIn(pattern, text, 0, text.size(), options);
    return s == npos ? 0 : s + 1;
}

LocateOutcome LocateMatch(const SearchState& previous, const LocateRequest& request) {
    LocateOutcome outcome;
    SearchState& state = outcome.state;
    state = previous;
    const std::string_view memo = request.memoText;
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
