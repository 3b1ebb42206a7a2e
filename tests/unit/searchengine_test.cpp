#include "components/memosearch/searchengine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace bj {
namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr FindOptions kWhole = frWholeWord;
constexpr FindOptions kCase = frMatchCase;

TEST(SearchEngine, WordCharsAreDigitsLettersAndUnderscore) {
    struct Row {
        char c;
        bool word;
    };
    const Row rows[] = {
        {'0', true},     {'9', true},     {'A', true},  {'Z', true},   {'a', true},
        {'z', true},     {'_', true},     {'/', false}, {':', false},  {'@', false},
        {'[', false},    {'`', false},    {'{', false}, {' ', false},  {'\r', false},
        {'\n', false},   {'-', false},    {'.', false}, {'\0', false}, {'\xE9', false},
        {'\xC9', false}, {'\x7F', false},
    };
    for (const Row& row : rows) EXPECT_EQ(IsWordChar(row.c), row.word) << int(row.c);

    std::size_t members = 0;
    for (int c = 0; c < 256; ++c) {
        const bool listed = WordChars.find(static_cast<char>(c)) != std::string_view::npos;
        EXPECT_EQ(IsWordChar(static_cast<char>(c)), listed) << c;
        members += listed ? 1 : 0;
    }
    EXPECT_EQ(members, 63u);
}

TEST(SearchEngine, ShortCutValues) {
    struct Row {
        unsigned key;
        bool shift, ctrl, alt;
        ShortCut expected;
    };
    const Row rows[] = {
        {'F', false, true, false, 16454}, {0x72, false, false, false, 114},
        {'A', true, false, false, 8257},  {'A', false, false, true, 32833},
        {'S', true, true, true, 57427},   {0x146, false, false, false, 0x46},
    };
    for (const Row& row : rows)
        EXPECT_EQ(MakeShortCut(row.key, row.shift, row.ctrl, row.alt), row.expected) << row.key;
    EXPECT_EQ(kShortCutCtrlF, 16454);
    EXPECT_EQ(kShortCutF3, 114);
}

struct SearchRow {
    const char* pattern;
    std::string text;
    FindOptions options;
    std::size_t expected;  // 1-based, 0 = none
};

TEST(SearchEngine, SearchForwardCases) {
    const SearchRow rows[] = {
        // whole words
        {"cat", "concat", kWhole, 0},
        {"cat", "concat", 0, 4},
        {"cat", "cats", kWhole, 0},
        {"cat", "cat_1", kWhole, 0},
        {"cat", "1cat", kWhole, 0},
        {"cat", "cat.", kWhole, 1},
        {"cat", "(cat)", kWhole, 2},
        {"cat", "cat", kWhole, 1},
        {"cat", "the cat", kWhole, 5},
        {"cat", "concat cats cat", kWhole, 13},
        {"cat", "line\r\ncat\r\n", kWhole, 7},
        {"cat",
         "\xE9"
         "cat\xC9",
         kWhole, 2},
        // a part of a word stays a part even after the word's first part was rejected
        {"cat", "catcat", kWhole, 0},
        {"cat", "catcat cat", kWhole, 8},
        // the search resumes beyond the whole rejected candidate
        {"a.a", "ba.a.a ", kWhole, 0},
        {"a.a", "ba.a.a ", 0, 2},
        {"a", "banana a", kWhole, 8},
        // ASCII-only case folding
        {"Note", "NOTE note", 0, 1},
        {"Note", "NOTE note Note", kCase, 11},
        {"note", "NOTE", kCase, 0},
        {"caf\xE9", "CAF\xC9 caf\xE9", 0, 6},
        {"CAF\xC9", "caf\xE9", 0, 0},
        {"@", "`", 0, 0},
        {"[", "{", 0, 0},
        {"_", "\x7F", 0, 0},
        {"A1", "xa1", kWhole, 0},
        {"A1", "x a1", kWhole, 3},
        // sizes
        {"a", "", 0, 0},
        {"", "abc", 0, 0},
        {"", "", 0, 0},
        {"abcd", "abc", 0, 0},
        {"abc", "abc", kWhole, 1},
        {"abc", "xabc", 0, 2},
        {"x", std::string(40, 'a') + " x", kWhole, 42},
        {"x", std::string(40, 'a') + "x", kWhole, 0},
        {"ab", std::string(40, 'a') + "b" + std::string(40, 'a'), 0, 40},
    };
    for (const SearchRow& row : rows)
        EXPECT_EQ(SearchForward(row.pattern, row.text, row.options), row.expected)
            << '"' << row.pattern << "\" in \"" << row.text << "\" options " << row.options;
}

TEST(SearchEngine, SearchBackwardCases) {
    const SearchRow rows[] = {
        {"a", "a banana", kWhole, 1},
        {"a", "a banana", 0, 8},
        {"cat", "cat concat", kWhole, 1},
        {"cat", "cat concat", 0, 8},
        {"cat", "catcat", kWhole, 0},
        {"cat", "cat catcat", kWhole, 1},
        {"cat", "(cat) cats", kWhole, 2},
        {"a.a", " a.a.ab", kWhole, 0},
        {"a.a", " a.a.ab", 0, 4},
        {"note", "note NOTE x", 0, 6},
        {"note", "note NOTE x", kCase, 1},
        {"\xE9", "\xE9\xC9", 0, 1},
        {"abcd", "abc", 0, 0},
        {"a", "", 0, 0},
        {"", "abc", 0, 0},
        {"ab", "ab" + std::string(40, 'b'), 0, 1},
        {"bb", std::string(40, 'b'), 0, 39},
    };
    for (const SearchRow& row : rows)
        EXPECT_EQ(SearchBackward(row.pattern, row.text, row.options), row.expected)
            << '"' << row.pattern << "\" in \"" << row.text << "\" options " << row.options;
}

TEST(SearchEngine, RangesJudgeWordsByTheWholeMemo) {
    struct Row {
        bool forward;
        const char* pattern;
        const char* memo;
        std::size_t first, last;
        FindOptions options;
        std::size_t expected;  // 0-based offset in memo
    };
    const Row rows[] = {
        {true, "cat", "concat cat", 3, 10, kWhole, 7},
        {true, "cat", "concat cat", 3, 10, 0, 3},
        {true, "cat", "concat", 3, 6, kWhole, npos},
        {false, "cat", "cats cat", 0, 3, kWhole, npos},
        {false, "cat", "cats cat", 0, 3, 0, 0},
        {false, "cat", "cat cats", 0, 7, kWhole, 0},
        {true, "cat", "cat cat", 1, 100, kWhole, 4},
        {false, "cat", "cat cat", 0, 100, kWhole, 4},
        {true, "cat", "cat", 3, 3, 0, npos},
        {true, "cat", "cat", 5, 2, 0, npos},
        {false, "ab", "abab", 1, 4, 0, 2},
        {false, "ab", "abab", 0, 3, 0, 0},
        {false, "ab", "abab", 1, 3, 0, npos},
    };
    for (const Row& row : rows) {
        const std::size_t got =
            row.forward ? FindForwardIn(row.pattern, row.memo, row.first, row.last, row.options)
                        : FindBackwardIn(row.pattern, row.memo, row.first, row.last, row.options);
        EXPECT_EQ(got, row.expected) << row.pattern << " in " << row.memo << " [" << row.first
                                     << ", " << row.last << ") forward " << row.forward;
    }
}

TEST(SearchEngine, LocateMatchCases) {
    const std::string memo = "note one note two NOTE";  // notes at 0, 9 and 18
    struct Row {
        const char* name;
        std::string previous;  // SearchString before the call
        std::string memo;
        std::size_t selStart, selLength;
        std::string dialogText;
        FindOptions options;
        bool found;
        std::size_t selection;  // start of the selection made when found
        std::ptrdiff_t startPos;
        std::string message;
    };
    const Row rows[] = {
        {"new search down ignores the caret", "", memo, 12, 0, "note", frDown, true, 0, -1, ""},
        {"new search up starts at the end", "", memo, 3, 0, "note", 0, true, 18, -1, ""},
        {"new search matching case", "", memo, 0, 0, "NOTE", frDown | kCase, true, 18, -1, ""},
        {"changed text is a new search", "note", memo, 9, 4, "two", frDown, true, 14, -1, ""},
        {"continued down after the selection", "note", memo, 0, 4, "note", frDown, true, 9, 4, ""},
        {"continued down from a moved caret", "note", memo, 12, 0, "note", frDown, true, 18, 12,
         ""},
        {"continued up before the selection", "note", memo, 18, 4, "note", 0, true, 9, 18, ""},
        {"continued up may end at the selection", "note", memo, 13, 0, "note", 0, true, 9, 13, ""},
        {"continued down past the last", "note", memo, 18, 4, "note", frDown, false, 0, 22,
         "No more instances of \"note\" found."},
        {"continued up before the first", "note", memo, 0, 4, "note", 0, false, 0, 0,
         "No more instances of \"note\" found."},
        {"new search finding nothing", "note", memo, 0, 4, "xyz", frDown, false, 0, -1,
         "Search string \"xyz\" not found."},
        {"empty memo", "", "", 0, 0, "note", frDown, false, 0, -1,
         "Search string \"note\" not found."},
        {"percent signs are shown as typed", "", memo, 0, 0, "100%s %d", frDown, false, 0, -1,
         "Search string \"100%s %d\" not found."},
        {"caret inside a word, whole word down", "cat", "concat cat", 3, 0, "cat", frDown | kWhole,
         true, 7, 3, ""},
        {"caret inside a word, whole word up", "cat", "cats cat", 3, 0, "cat", kWhole, false, 0, 3,
         "No more instances of \"cat\" found."},
        {"selection beyond a shortened memo", "note", "note", 10, 5, "note", frDown, false, 0, 4,
         "No more instances of \"note\" found."},
        {"selection beyond a shortened memo, up", "note", "note", 10, 5, "note", 0, true, 0, 4, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SearchState previous;
        previous.searchString = row.previous;
        previous.foundPos = row.previous.empty() ? -1 : 0;
        previous.startPos = 0;
        LocateRequest request;
        request.memoText = row.memo;
        request.selStart = row.selStart;
        request.selLength = row.selLength;
        request.dialogText = row.dialogText;
        request.options = row.options;
        const LocateOutcome outcome = LocateMatch(previous, request);

        EXPECT_EQ(outcome.found, row.found);
        EXPECT_EQ(outcome.state.searchString, row.dialogText);
        EXPECT_EQ(outcome.state.startPos, row.startPos);
        EXPECT_EQ(outcome.message, row.message);
        if (row.found) {
            EXPECT_EQ(outcome.selStart, row.selection);
            EXPECT_EQ(outcome.selLength, row.dialogText.size());
            EXPECT_EQ(outcome.state.foundPos, static_cast<std::ptrdiff_t>(row.selection));
        } else {
            EXPECT_EQ(outcome.state.foundPos, -1);
        }
    }
}

// The search-again key as the component drives it: each found match becomes the selection.
TEST(SearchEngine, LocateMatchRepeatedWalksEveryMatchThenStops) {
    const std::string memo = "Cat cat concat\r\ncat. CAT";
    struct Row {
        FindOptions options;
        std::vector<std::size_t> expected;
    };
    const Row rows[] = {
        {frDown, {0, 4, 11, 16, 21}},
        {frDown | kWhole, {0, 4, 16, 21}},
        {frDown | kWhole | kCase, {4, 16}},
        {kWhole, {21, 16, 4, 0}},
        {0, {21, 16, 11, 4, 0}},
    };
    for (const Row& row : rows) {
        SearchState state;
        std::size_t selStart = 7, selLength = 0;
        std::vector<std::size_t> found;
        std::string message;
        for (int i = 0; i < 10 && message.empty(); ++i) {
            const LocateOutcome outcome =
                LocateMatch(state, {memo, selStart, selLength, "cat", row.options});
            state = outcome.state;
            message = outcome.message;
            if (outcome.found) {
                found.push_back(outcome.selStart);
                selStart = outcome.selStart;
                selLength = outcome.selLength;
            }
        }
        EXPECT_EQ(found, row.expected) << "options " << row.options;
        EXPECT_EQ(message, "No more instances of \"cat\" found.") << "options " << row.options;
    }
}

// A plain rendering of the two searches: every start tried in order, whole-word candidates
// rejected together with their whole length, word edges judged by the whole memo.
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool RefMatchAt(const std::string& p, const std::string& memo, std::size_t s, bool matchCase) {
    for (std::size_t k = 0; k < p.size(); ++k) {
        const char a = matchCase ? memo[s + k] : Upper(memo[s + k]);
        const char b = matchCase ? p[k] : Upper(p[k]);
        if (a != b) return false;
    }
    return true;
}

bool RefWholeWord(const std::string& memo, std::size_t s, std::size_t m) {
    const auto word = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' ||
               (c >= 'a' && c <= 'z');
    };
    return (s == 0 || !word(memo[s - 1])) && (s + m == memo.size() || !word(memo[s + m]));
}

std::size_t RefForward(const std::string& p, const std::string& memo, std::size_t first,
                       std::size_t last, FindOptions options) {
    if (p.empty()) return npos;
    std::size_t from = first;
    for (;;) {
        std::size_t s = from;
        while (s + p.size() <= last && !RefMatchAt(p, memo, s, options & kCase)) ++s;
        if (s + p.size() > last) return npos;
        if (!(options & kWhole) || RefWholeWord(memo, s, p.size())) return s;
        from = s + p.size();
    }
}

std::size_t RefBackward(const std::string& p, const std::string& memo, std::size_t first,
                        std::size_t last, FindOptions options) {
    if (p.empty()) return npos;
    std::size_t to = last;
    for (;;) {
        if (to < first + p.size()) return npos;
        std::size_t s = to - p.size() + 1;
        bool hit = false;
        while (s > first && !hit) hit = RefMatchAt(p, memo, --s, options & kCase);
        if (!hit) return npos;
        if (!(options & kWhole) || RefWholeWord(memo, s, p.size())) return s;
        to = s;
    }
}

std::string RandomText(std::mt19937& rng, const std::string& alphabet, std::size_t length) {
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length, ' ');
    for (char& c : text) c = alphabet[pick(rng)];
    return text;
}

// Half the patterns are cut from the text with their letter case shaken, so matches occur.
std::string RandomPattern(std::mt19937& rng, const std::string& text, const std::string& alphabet,
                          std::size_t maxLength) {
    const std::size_t length = std::uniform_int_distribution<std::size_t>(0, maxLength)(rng);
    if (text.size() < length || rng() % 2 == 0) return RandomText(rng, alphabet, length);
    std::string cut = text.substr(rng() % (text.size() - length + 1), length);
    for (char& c : cut)
        if (rng() % 3 == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
    return cut;
}

TEST(SearchEngine, AgreesWithPlainSearchOnRandomTexts) {
    std::mt19937 rng(20240611);
    const std::string alphabet = "abAB _.@`\xE9\xC9";
    const FindOptions optionSets[] = {0, kCase, kWhole, kCase | kWhole};
    for (int i = 0; i < 4000; ++i) {
        const std::size_t length = rng() % 8 == 0 ? rng() % 200 : rng() % 40;
        const std::string text = RandomText(rng, alphabet, length);
        const std::string pattern = RandomPattern(rng, text, alphabet, 4);
        const FindOptions options = optionSets[rng() % 4];
        SCOPED_TRACE("pattern \"" + pattern + "\" text \"" + text + "\" options " +
                     std::to_string(options));

        const std::size_t forward = RefForward(pattern, text, 0, text.size(), options);
        const std::size_t backward = RefBackward(pattern, text, 0, text.size(), options);
        ASSERT_EQ(SearchForward(pattern, text, options), forward == npos ? 0 : forward + 1);
        ASSERT_EQ(SearchBackward(pattern, text, options), backward == npos ? 0 : backward + 1);

        const std::size_t first = rng() % (text.size() + 1);
        const std::size_t last = first + rng() % (text.size() - first + 1);
        SCOPED_TRACE("range " + std::to_string(first) + ".." + std::to_string(last));
        ASSERT_EQ(FindForwardIn(pattern, text, first, last, options),
                  RefForward(pattern, text, first, last, options));
        ASSERT_EQ(FindBackwardIn(pattern, text, first, last, options),
                  RefBackward(pattern, text, first, last, options));
    }
}

// Long runs of one letter make nearly every start a candidate that fails late; the search
// must still find exactly what the plain one finds.
TEST(SearchEngine, AgreesWithPlainSearchOnPeriodicTexts) {
    std::mt19937 rng(7);
    const FindOptions optionSets[] = {0, kCase, kWhole, kCase | kWhole};
    for (int i = 0; i < 60; ++i) {
        std::string text(2000 + rng() % 2000, 'a');
        for (char& c : text) {
            const unsigned roll = rng() % 400;
            if (roll == 0) c = 'b';
            if (roll == 1) c = ' ';
            if (roll < 40 && roll > 1) c = 'A';
        }
        const std::size_t half = 5 + rng() % 30;
        std::string pattern = std::string(half, 'a') + "b" + std::string(half, 'a');
        if (i % 3 == 0) pattern = std::string(2 * half, 'a');
        if (i % 3 == 1 && rng() % 2) pattern[rng() % pattern.size()] = 'A';
        const FindOptions options = optionSets[i % 4];
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

    const std::string text = std::string(3000, 'a') + "b" + std::string(3000, 'a');
    EXPECT_EQ(SearchForward(pattern, text, 0), 2981u);
    EXPECT_EQ(SearchBackward(pattern, text, 0), 2981u);
    EXPECT_EQ(SearchForward(pattern, text, kWhole), 0u);
    EXPECT_EQ(SearchForward(pattern, text + "x" + pattern, kCase), 2981u);
}

}  // namespace
}  // namespace bj
