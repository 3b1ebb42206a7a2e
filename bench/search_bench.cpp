// F3 over a memo of 16 Mi characters (UTF-16, as the edit control keeps them) of word lines:
// the one real match lies near the far end, so both sides scan nearly all the bytes. The
// baseline is glibc memmem over the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <string_view>

#include "bench/ratio.h"
#include "components/memosearch/searchengine.h"

namespace {

using bj::FindOptions;

constexpr std::size_t kMemoSize = 16u << 20;
constexpr std::size_t kTailRoom = 200;  // the match sits this far from the end (or the start)
constexpr const char16_t kWritten[] = u"BriskJot";
constexpr std::size_t kWrittenBytes = sizeof kWritten - sizeof kWritten[0];

// Vocabulary with many near misses of the match: words that share its first and last letters
// or its parts.
const char16_t* const kWords[] = {
    u"the",          u"brisk",      u"jot",           u"Brisk",       u"Jot",
    u"bracket",      u"basket",     u"birthright",    u"note",        u"notes",
    u"memo",         u"of",         u"and",           u"to",          u"a",
    u"in",           u"is",         u"that",          u"it",          u"for",
    u"Bright",       u"Bust",       u"blot",          u"bought",      u"jotting",
    u"brisket",      u"Biscuit",    u"remind",        u"call",        u"buy",
    u"milk",         u"at",         u"meeting",       u"tomorrow",    u"2pm",
    u"e-mail",       u"phone",      u"(draft)",       u"done.",       u"list:",
    u"caf\u00E9",    u"na\u00EFve", u"\u00C9t\u00E9", u"Z\u00FCrich", u"\u2192",
    u"\u4E2D\u6587",
};

const std::u16string& Memo() {
    static const std::u16string memo = [] {
        std::u16string text;
        text.reserve(kMemoSize + 64);
        std::mt19937 rng(42);
        const std::size_t words = sizeof kWords / sizeof kWords[0];
        while (text.size() < kMemoSize) {
            const unsigned count = 4 + rng() % 9;
            for (unsigned i = 0; i < count; ++i) {
                if (i > 0) text += u' ';
                text += kWords[rng() % words];
            }
            text += u"\r\n";
        }
        text.resize(kMemoSize);
        const std::u16string line = u"\r\ncall " + std::u16string(kWritten) + u" now\r\n";
        text.replace(kTailRoom, line.size(), line);
        text.replace(kMemoSize - kTailRoom, line.size(), line);
        return text;
    }();
    return memo;
}

// The memo's offset of the match that memmem finds first from `from`.
std::size_t MemmemFrom(std::size_t from) {
    const std::u16string& memo = Memo();
    const auto* bytes = reinterpret_cast<const char*>(memo.data());
    const void* hit = memmem(bytes + 2 * from, 2 * (memo.size() - from), kWritten, kWrittenBytes);
    return hit == nullptr ? 0 : static_cast<std::size_t>(static_cast<const char*>(hit) - bytes) / 2;
}

void Baseline(benchmark::State& state) {
    const std::size_t expected = kMemoSize - kTailRoom + 7;
    for (auto _ : state) {
        const std::size_t found = MemmemFrom(kTailRoom + 16);
        if (found != expected) state.SkipWithError("baseline missed the match");
        benchmark::DoNotOptimize(found);
    }
}

// F3 with the selection on the match near the start: a continued search over the rest.
void SearchAgain(benchmark::State& state, const char16_t* pattern, FindOptions options) {
    const std::u16string_view memo = Memo();
    const std::size_t first = kTailRoom + 7;
    const bool down = (options & bj::frDown) != 0;
    const std::size_t expected = down ? kMemoSize - kTailRoom + 7 : first;
    bj::SearchState previous;
    previous.searchString = pattern;
    bj::LocateRequest request;
    request.memoText = memo;
    request.selStart = down ? first : kMemoSize - kTailRoom + 7;
    request.selLength = previous.searchString.size();
    request.dialogText = pattern;
    request.options = options;
    for (auto _ : state) {
        const bj::LocateOutcome outcome = bj::LocateMatch(previous, request);
        if (!outcome.found || outcome.selStart != expected)
            state.SkipWithError("search missed the match");
        benchmark::DoNotOptimize(outcome.selStart);
    }
}

// Nearly every start of a run of one letter looks like a candidate and fails late.
const std::u16string& Periodic() {
    static const std::u16string text = std::u16string(kMemoSize, u'a');
    return text;
}
const std::u16string kPeriodicPattern = std::u16string(31, u'a') + u"b" + std::u16string(32, u'a');

void PeriodicBaseline(benchmark::State& state) {
    const std::u16string& text = Periodic();
    for (auto _ : state) {
        const void* hit = memmem(text.data(), 2 * text.size(), kPeriodicPattern.data(),
                                 2 * kPeriodicPattern.size());
        if (hit != nullptr) state.SkipWithError("baseline found a match");
        benchmark::DoNotOptimize(hit);
    }
}

void PeriodicBackward(benchmark::State& state) {
    const std::u16string& text = Periodic();
    for (auto _ : state) {
        const std::size_t found = bj::SearchBackward(kPeriodicPattern, text, 0);
        if (found != 0) state.SkipWithError("search found a match");
        benchmark::DoNotOptimize(found);
    }
}

constexpr FindOptions kDown = bj::frDown;
constexpr FindOptions kCase = bj::frMatchCase;
constexpr FindOptions kWhole = bj::frWholeWord;

BENCHMARK(Baseline)->Name("F3MatchCase/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SearchAgain, mc, kWritten, kDown | kCase)
    ->Name("F3MatchCase/briskjot")
    ->Unit(benchmark::kMicrosecond);
BJ_RATIO_TARGET("F3MatchCase", 1.5);

BENCHMARK(Baseline)->Name("F3MatchCaseWholeWord/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SearchAgain, mcww, kWritten, kDown | kCase | kWhole)
    ->Name("F3MatchCaseWholeWord/briskjot")
    ->Unit(benchmark::kMicrosecond);
BJ_RATIO_TARGET("F3MatchCaseWholeWord", 1.5);

BENCHMARK(Baseline)->Name("F3AnyCase/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SearchAgain, ic, u"briskjot", kDown)
    ->Name("F3AnyCase/briskjot")
    ->Unit(benchmark::kMicrosecond);
BJ_RATIO_TARGET("F3AnyCase", 3.0);

BENCHMARK(Baseline)->Name("F3AnyCaseWholeWord/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SearchAgain, icww, u"briskjot", kDown | kWhole)
    ->Name("F3AnyCaseWholeWord/briskjot")
    ->Unit(benchmark::kMicrosecond);
BJ_RATIO_TARGET("F3AnyCaseWholeWord", 3.0);

// Upward from the match near the end to the one near the start: the same bytes, backwards.
BENCHMARK(Baseline)->Name("F3UpAnyCaseWholeWord/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SearchAgain, upicww, u"briskjot", kWhole)
    ->Name("F3UpAnyCaseWholeWord/briskjot")
    ->Unit(benchmark::kMicrosecond);
BJ_RATIO_TARGET("F3UpAnyCaseWholeWord", 3.0);

BENCHMARK(PeriodicBaseline)->Name("PeriodicUp/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(PeriodicBackward)->Name("PeriodicUp/briskjot")->Unit(benchmark::kMicrosecond);
BJ_RATIO_TARGET("PeriodicUp", 2.0);

}  // namespace
