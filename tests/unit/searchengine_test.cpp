#include "components/memosearch/searchengine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace bj {
namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr FindOptions kWhole = frWholeWord;
constexpr FindOptions kCase = frMatchCase;

TEST(SearchEngine, WordCharsAndShortCuts) {
    std::size_t members = 0;
    for (int c = 0; c < 256; ++c) {
        const bool listed = WordChars.find(static_cast<char>(c)) != npos;
        EXPECT_EQ(IsWordChar(static_cast<char>(c)), listed) << c;
        members += listed ? 1 : 0;
    }
    EXPECT_EQ(members, 63u);

    EXPECT_EQ(MakeShortCut('A', true, false, false), 8257);
    EXPECT_EQ(MakeShortCut('A', false, false, true), 32833);
    EXPECT_EQ(MakeShortCut(0x146, false, false, false), 0x46) << "only the low byte is the key";
}

TEST(SearchEngine, SearchBothWays) {
    struct Row {
        const char* pattern;
        std::string text;
        FindOptions options;
        std::size_t forward, backward;  // 1-based, 0 = none
    };
    const Row rows[] = {
        {"cat", "concat cats cat", kWhole, 13, 13},
        {"cat", "concat cats cat", 0, 4, 13},
        {"cat", std::string(1, '\xE9') + "cat\xC9", kWhole, 2, 2},  // high bytes end words
        // A part of a word stays a part after the word's other part was rejected.
        {"cat", "catcat cat", kWhole, 8, 8},
        // The search resumes beyond the whole rejected candidate.
        {"a.a", "ba.a.a ", kWhole, 0, 4},
        {"a.a", " a.a.ab", kWhole, 2, 0},
        {"a.a", "ba.a.a ", 0, 2, 4},
        // Case folding is ASCII only.
        {"Note", "NOTE note Note", 0, 1, 11},
        {"Note", "NOTE note Note", kCase, 11, 11},
        {"caf\xE9", "CAF\xC9 caf\xE9", 0, 6, 6},
        {"[", "{", 0, 0, 0},
        // Sizes, including runs longer than one vector step.
        {"", "abc", 0, 0, 0},
        {"a", "", 0, 0, 0},
        {"x", std::string(40, 'a') + " x", kWhole, 42, 42},
        {"ab", std::string(40, 'a') + "b" + std::string(40, 'a'), 0, 40, 40},
        {"bb", std::string(40, 'b'), 0, 1, 39},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << '"' << row.pattern << "\" in \"" << row.text
                                        << "\" options " << row.options);
        EXPECT_EQ(SearchForward(row.pattern, row.text, row.options), row.forward);
        EXPECT_EQ(SearchBackward(row.pattern, row.text, row.options), row.backward);
    }
}

TEST(SearchEngine, RangesJudgeWordsByTheWholeMemo) {
    // A range that starts or ends inside a word never makes a part of that word look whole.
    EXPECT_EQ(FindForwardIn("cat", "concat cat", 3, 10, kWhole), 7u);
    EXPECT_EQ(FindForwardIn("cat", "concat cat", 3, 10, 0), 3u);
    EXPECT_EQ(FindBackwardIn("cat", "cats cat", 0, 3, kWhole), npos);
    // Ends beyond the memo are clamped; an empty or reversed range finds nothing.
    EXPECT_EQ(FindForwardIn("cat", "cat cat", 1, 100, kWhole), 4u);
    EXPECT_EQ(FindBackwardIn("cat", "cat cat", 0, 100, kWhole), 4u);
    EXPECT_EQ(FindForwardIn("cat", "cat", 5, 2, 0), npos);
    EXPECT_EQ(FindBackwardIn("ab", "abab", 1, 3, 0), npos);
    EXPECT_EQ(FindBackwardIn("ab", "abab", 1, 4, 0), 2u);
}

TEST(SearchEngine, LocateMatchCases) {
    const std::string memo = "note one note two NOTE";  // notes at 0, 9 and 18
    struct Row {
        const char* name;
        const char* previous;  // SearchString before the call
        std::string memo;
        std::size_t selStart, selLength;
        std::string find;
        FindOptions options;
        std::ptrdiff_t found;  // start of the selection made, -1 none
        std::ptrdiff_t startPos;
        char message;  // 'N' not found, 'M' no more
    };
    const Row rows[] = {
        {"new search down ignores the caret", "", memo, 12, 0, "note", frDown, 0, -1, 0},
        {"new search up starts at the end", "", memo, 3, 0, "note", 0, 18, -1, 0},
        {"changed text is a new search", "note", memo, 9, 4, "two", frDown, 14, -1, 0},
        {"continued up before the selection", "note", memo, 18, 4, "note", 0, 9, 18, 0},
        {"continued up may end at the selection", "note", memo, 13, 0, "note", 0, 9, 13, 0},
        {"continued down past the last", "note", memo, 18, 4, "note", frDown, -1, 22, 'M'},
        {"new search finding nothing", "note", memo, 0, 4, "xyz", frDown, -1, -1, 'N'},
        {"empty memo", "", "", 0, 0, "note", frDown, -1, -1, 'N'},
        {"percent signs are shown as typed", "", memo, 0, 0, "100%s %d", frDown, -1, -1, 'N'},
        {"caret inside a word, down", "cat", "concat cat", 3, 0, "cat", frDown | kWhole, 7, 3, 0},
        {"selection beyond the memo", "note", "note", 10, 5, "note", frDown, -1, 4, 'M'},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SearchState previous;
        previous.searchString = row.previous;
        previous.foundPos = previous.searchString.empty() ? -1 : 0;
        previous.startPos = 0;
        const LocateOutcome outcome =
            LocateMatch(previous, {row.memo, row.selStart, row.selLength, row.find, row.options});

        EXPECT_EQ(outcome.found, row.found >= 0);
        EXPECT_EQ(outcome.state.foundPos, row.found);
        EXPECT_EQ(outcome.state.searchString, row.find);
        EXPECT_EQ(outcome.state.startPos, row.startPos);
        if (row.found >= 0) {
            EXPECT_EQ(outcome.selStart, static_cast<std::size_t>(row.found));
            EXPECT_EQ(outcome.selLength, row.find.size());
        }
        std::string message;
        if (row.message == 'N') message = "Search string \"" + row.find + "\" not found.";
        if (row.message == 'M') message = "No more instances of \"" + row.find + "\" found.";
        EXPECT_EQ(outcome.message, message);
    }
}

// A plain rendering of the two searches: every start tried in order, whole-word candidates
// rejected together with their whole length, word edges judged by the whole memo.
bool RefMatchAt(const std::string& p, const std::string& memo, std::size_t s, bool matchCase) {
    const auto fold = [&](char c) {
        return !matchCase && c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    };
    for (std::size_t k = 0; k < p.size(); ++k)
        if (fold(memo[s + k]) != fold(p[k])) return false;
    return true;
}

bool RefWholeWord(const std::string& memo, std::size_t s, std::size_t m) {
    return (s == 0 || !IsWordChar(memo[s - 1])) &&
           (s + m == memo.size() || !IsWordChar(memo[s + m]));
}

std::size_t RefForward(const std::string& p, const std::string& memo, std::size_t first,
                       std::size_t last, FindOptions options) {
    if (p.empty()) return npos;
    for (std::size_t s = first; s + p.size() <= last; ++s) {
        if (!RefMatchAt(p, memo, s, options & kCase)) continue;
        if (!(options & kWhole) || RefWholeWord(memo, s, p.size())) return s;
        s += p.size() - 1;
    }
    return npos;
}

std::size_t RefBackward(const std::string& p, const std::string& memo, std::size_t first,
                        std::size_t last, FindOptions options) {
    if (p.empty() || last < first + p.size()) return npos;
    for (std::size_t s = last - p.size() + 1; s-- > first;) {
        if (!RefMatchAt(p, memo, s, options & kCase)) continue;
        if (!(options & kWhole) || RefWholeWord(memo, s, p.size())) return s;
        if (s < first + p.size()) return npos;
        s -= p.size() - 1;
    }
    return npos;
}

// Long runs of one letter make nearly every start a candidate that fails late; the search
// must still find exactly what the plain one finds.
TEST(SearchEngine, AgreesWithPlainSearchOnPeriodicTexts) {
    std::mt19937 rng(7);
    for (int i = 0; i < 60; ++i) {
        std::string text(2000 + rng() % 2000, 'a');
        for (char& c : text) {
            const unsigned roll = rng() % 400;
            c = roll == 0 ? 'b' : roll == 1 ? ' ' : roll < 40 ? 'A' : 'a';
        }
        const std::size_t half = 5 + rng() % 30;
        std::string pattern = std::string(half, 'a') + "b" + std::string(half, 'a');
        if (i % 3 == 0) pattern = std::string(2 * half, 'a');
        if (i % 3 == 1 && rng() % 2) pattern[rng() % pattern.size()] = 'A';
        const FindOptions options = (i % 2 ? kCase : 0) | (i / 2 % 2 ? kWhole : 0);
        SCOPED_TRACE("case " + std::to_string(i));

        const std::size_t first = rng() % 100;
        const std::size_t last = text.size() - rng() % 100;
        ASSERT_EQ(FindForwardIn(pattern, text, first, last, options),
                  RefForward(pattern, text, first, last, options));
        ASSERT_EQ(FindBackwardIn(pattern, text, first, last, options),
                  RefBackward(pattern, text, first, last, options));
    }

    // The single match sits at every distance from where the search switches to linear time.
    const std::string pattern = std::string(20, 'a') + "b" + std::string(20, 'a');
    for (std::size_t at = 0; at < 500; ++at) {
        std::string text(500, 'a');
        text[at] = 'b';
        const std::size_t start = at >= 20 && at + 21 <= text.size() ? at - 19 : 0;
        ASSERT_EQ(SearchForward(pattern, text, 0), start) << at;
        ASSERT_EQ(SearchBackward(pattern, text, 0), start) << at;
    }
}

}  // namespace
}  // namespace bj
