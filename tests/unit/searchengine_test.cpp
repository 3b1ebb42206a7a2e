#include "components/memosearch/searchengine.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>

namespace bj {
namespace {

constexpr FindOptions kWhole = frWholeWord;

TEST(SearchEngine, WordCharsAndShortCuts) {
    for (int c = 0; c < 256; ++c) {
        const bool word = (c < 128 && std::isalnum(c)) || c == '_';
        EXPECT_EQ(IsWordChar(static_cast<char>(c)), word) << c;
        EXPECT_EQ(WordChars.find(static_cast<char>(c)) != std::string_view::npos, word) << c;
    }
    EXPECT_EQ(MakeShortCut('A', true, false, false), 8257);
    EXPECT_EQ(MakeShortCut(0x146, false, false, false), 0x46) << "only the low byte is the key";
}

TEST(SearchEngine, SearchBothWays) {
    // Ranges, empty texts and random texts are left to the fuzz replay against a plain search.
    const std::tuple<const char*, std::string, FindOptions, std::size_t, std::size_t> rows[] = {
        {"cat", "concat cats cat", kWhole, 13, 13},
        {"cat", std::string(1, '\xE9') + "cat\xC9", kWhole, 2, 2},  // high bytes end words
        // The search resumes beyond the whole rejected candidate.
        {"a.a", "ba.a.a ", kWhole, 0, 4},
        // Case folding is ASCII only.
        {"caf\xE9", "CAF\xC9 caf\xE9", 0, 6, 6},
    };
    for (const auto& [pattern, text, options, forward, backward] : rows) {
        SCOPED_TRACE(testing::Message() << '"' << pattern << "\" in \"" << text << '"');
        EXPECT_EQ(SearchForward(pattern, text, options), forward);  // 1-based, 0 = none
        EXPECT_EQ(SearchBackward(pattern, text, options), backward);
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

TEST(SearchEngine, LocateMatchStateAndMessages) {
    const std::string memo = "note one note two NOTE";  // notes at 0, 9 and 18
    struct Row {
        const char* previous;  // SearchString before the call
        std::size_t selStart, selLength;
        std::string find;
        FindOptions options;
        std::ptrdiff_t found, startPos;  // found: start of the selection made, -1 none
        char message;                    // 'N' not found, 'M' no more
    };
    const Row rows[] = {
        {"", 12, 0, "note", frDown, 0, -1, 0},  // a new search ignores the caret
        {"note", 18, 4, "note", 0, 9, 18, 0},
        {"note", 18, 4, "note", frDown, -1, 22, 'M'},
        {"note", 0, 4, "100%s %d", frDown, -1, -1, 'N'},  // percent signs shown as typed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.find << " at " << row.selStart);
        SearchState previous;
        previous.searchString = row.previous;
        previous.foundPos = previous.searchString.empty() ? -1 : 0;
        previous.startPos = 0;
        const LocateOutcome outcome =
            LocateMatch(previous, {memo, row.selStart, row.selLength, row.find, row.options});
        EXPECT_EQ(outcome.state.foundPos, row.found);
        EXPECT_EQ(outcome.state.searchString, row.find);
        EXPECT_EQ(outcome.state.startPos, row.startPos);
        if (row.found >= 0) {
            EXPECT_EQ(outcome.selStart, static_cast<std::size_t>(row.found));
        }
        std::string message;
        if (row.message == 'N') message = "Search string \"" + row.find + "\" not found.";
        if (row.message == 'M') message = "No more instances of \"" + row.find + "\" found.";
        EXPECT_EQ(outcome.message, message);
    }
}

}  // namespace
}  // namespace bj
