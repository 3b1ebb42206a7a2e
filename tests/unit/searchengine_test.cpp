#include "components/memosearch/searchengine.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace bj {
namespace {

constexpr FindOptions kWhole = frWholeWord;

TEST(SearchEngine, WordCharsCaseFoldingAndShortCuts) {
    const std::pair<char16_t, bool> words[] = {
        {u'a', true},       {u'Z', true},       {u'_', true},       {u'0', true},
        {u'\u00E9', true},  {u'\u0142', true},  {u'\u03B1', true},  {u'\u0436', true},
        {u'\u0301', true},  {u' ', false},      {u'-', false},      {u'\u00D7', false},
        {u'\u00F7', false}, {u'\u00AB', false}, {u'\u4E2D', false}, {0xD83D, false},
    };
    for (const auto& [c, word] : words) EXPECT_EQ(IsWordChar(c), word) << std::hex << c;
    const std::pair<char16_t, char16_t> folds[] = {
        {u'A', u'a'},           {u'a', u'a'},           {u'\u00C9', u'\u00E9'},
        {u'\u00D7', u'\u00D7'}, {u'\u00DF', u'\u00DF'}, {u'\u0100', u'\u0101'},
        {u'\u0139', u'\u013A'}, {u'\u0138', u'\u0138'}, {u'\u0178', u'\u00FF'},
        {u'\u0130', u'\u0130'}, {u'\u017D', u'\u017E'}, {u'\u0410', u'\u0410'},
    };
    for (const auto& [c, folded] : folds) EXPECT_EQ(FoldCase(c), folded) << std::hex << c;
    EXPECT_EQ(MakeShortCut('A', true, false, false), 8257);
    EXPECT_EQ(MakeShortCut(0x146, false, false, false), 0x46) << "only the low byte is the key";
}

TEST(SearchEngine, SearchBothWays) {
    // Ranges, empty texts and random texts are left to the fuzz replay against a plain search.
    const std::tuple<std::u16string, std::u16string, FindOptions, std::size_t, std::size_t> rows[] =
        {
            {u"cat", u"concat cats cat", kWhole, 13, 13},
            {u"cat", u"\u4E2Dcat\u3002", kWhole, 2, 2},  // ideographs and their stops end words
            {u"caf", u"caf\u00E9 caf", kWhole, 6, 6},    // accented letters do not
            // The search resumes beyond the whole rejected candidate.
            {u"a.a", u"ba.a.a ", kWhole, 0, 4},
            // Accented Latin letters match in either case.
            {u"caf\u00E9", u"CAF\u00C9 caf\u00E9", 0, 1, 6},
            {u"caf\u00E9", u"CAF\u00C9 caf\u00E9", frMatchCase, 6, 6},
            {u"\u0141\u00F3d\u017A", u"\u0142\u00D3D\u0179!", kWhole, 1, 1},
            {u"\u00FF", u"\u0178\u0139", 0, 1, 1},
            {u"\u013A", u"\u0139\u0138\u013B", 0, 1, 1},
            // Never half a character: the lone low surrogate is found, not the one in a pair.
            {std::u16string(1, 0xDE00), u"\U0001F600\xDE00", 0, 3, 3},
            {std::u16string(1, 0xD83D), u"\U0001F600\xD83D", 0, 3, 3},
        };
    for (const auto& [pattern, text, options, forward, backward] : rows) {
        SCOPED_TRACE(testing::Message() << "row with forward " << forward);
        EXPECT_EQ(SearchForward(pattern, text, options), forward);  // 1-based, 0 = none
        EXPECT_EQ(SearchBackward(pattern, text, options), backward);
    }
    // The single match sits at every distance from where the search switches to linear time.
    const std::u16string pattern = std::u16string(20, u'a') + u"b" + std::u16string(20, u'a');
    for (std::size_t at = 0; at < 500; ++at) {
        std::u16string text(500, u'a');
        text[at] = u'b';
        const std::size_t start = at >= 20 && at + 21 <= text.size() ? at - 19 : 0;
        ASSERT_EQ(SearchForward(pattern, text, 0), start) << at;
        ASSERT_EQ(SearchBackward(pattern, text, 0), start) << at;
    }
}

TEST(SearchEngine, LocateMatchStateAndMessages) {
    const std::u16string memo = u"note one note two NOTE";  // notes at 0, 9 and 18
    struct Row {
        const char16_t* previous;  // SearchString before the call
        std::size_t selStart, selLength;
        std::u16string find;
        FindOptions options;
        std::ptrdiff_t found, startPos;  // found: start of the selection made, -1 none
        char message;                    // 'N' not found, 'M' no more
    };
    const Row rows[] = {
        {u"", 12, 0, u"note", frDown, 0, -1, 0},  // a new search ignores the caret
        {u"note", 18, 4, u"note", 0, 9, 18, 0},
        {u"note", 18, 4, u"note", frDown, -1, 22, 'M'},
        {u"note", 0, 4, u"100%s \u00E9", frDown, -1, -1, 'N'},  // shown as typed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.selStart << " " << row.options);
        SearchState previous;
        previous.searchString = row.previous;
        previous.foundPos = previous.searchString.empty() ? -1 : 0;
        previous.startPos = 0;
        const LocateOutcome outcome =
            LocateMatch(previous, {memo, row.selStart, row.selLength, row.find, row.options});
        EXPECT_EQ(outcome.state.foundPos, row.found);
        EXPECT_TRUE(outcome.state.searchString == row.find);
        EXPECT_EQ(outcome.state.startPos, row.startPos);
        if (row.found >= 0) {
            EXPECT_EQ(outcome.selStart, static_cast<std::size_t>(row.found));
        }
        std::u16string message;
        if (row.message == 'N') message = u"Search string \"" + row.find + u"\" not found.";
        if (row.message == 'M') message = u"No more instances of \"" + row.find + u"\" found.";
        EXPECT_TRUE(outcome.message == message);
    }
}

}  // namespace
}  // namespace bj
