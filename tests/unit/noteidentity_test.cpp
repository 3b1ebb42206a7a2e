// "Is it still the note I know": size and time decide, the content only where they cannot.
#include "app/noteidentity.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using noteidentity::Change;
using noteidentity::FileFacts;
using Hash = std::optional<std::uint64_t>;

constexpr std::uint64_t kSecond = 10'000'000;
constexpr std::uint64_t kFat = 6'000 * kSecond;   // on a 2 s step, as FAT stores times
constexpr std::uint64_t kFine = kFat + 1234567;   // as NTFS and Unix file systems store them
constexpr std::uint64_t kExFat = kFat + 100'000;  // on a 10 ms step

TEST(NoteIdentity, SizeAndTimeDecideAndTheContentOnlyWhereTheyCannot) {
    const FileFacts none{}, fat{true, 4, kFat}, fine{true, 4, kFine}, exFat{true, 4, kExFat};
    // One byte apart, at the end: where a hash that skips the tail would miss it.
    const Hash mine = noteidentity::HashBytes("note"), theirs = noteidentity::HashBytes("notE");
    struct {
        const char* what;
        FileFacts known;
        std::uint64_t knownAt;
        FileFacts now;
        Hash nowHash;
        Change expected;
        bool hashRead;
    } rows[] = {
        {"no note then, none now", none, kFine, none, mine, Change::None, false},
        {"a note appeared", none, kFine, fine, mine, Change::Elsewhere, false},
        {"deleted", fine, kFine, none, mine, Change::Deleted, false},
        {"other size", fine, kFine, {true, 5, kFine}, mine, Change::Elsewhere, false},
        {"other time", fine, kFine, {true, 4, kFine + 1}, mine, Change::Elsewhere, false},
        {"fine time, same facts", fine, kFine, fine, theirs, Change::None, false},
        {"fine time ahead of our clock", fine, kFine - 5, fine, theirs, Change::Elsewhere, true},
        {"FAT, same tick, other bytes", fat, kFat + kSecond, fat, theirs, Change::Elsewhere, true},
        {"FAT, same tick, same bytes", fat, kFat + kSecond, fat, mine, Change::None, true},
        {"FAT, same tick, unreadable", fat, kFat, fat, std::nullopt, Change::Elsewhere, true},
        {"FAT, tick past when known", fat, kFat + 2 * kSecond, fat, theirs, Change::None, false},
        {"exFAT, same tick", exFat, kExFat + 1, exFat, theirs, Change::Elsewhere, true},
    };
    for (const auto& row : rows) {
        noteidentity::KnownNote known;
        known.Remember(row.known, row.knownAt, [&] { return mine; });
        bool read = false;
        const auto now = [&] { return read = true, row.nowHash; };
        EXPECT_EQ(known.Check(row.now, row.knownAt + 1, now), row.expected) << row.what;
        EXPECT_EQ(read, row.hashRead) << row.what;
    }
}

TEST(NoteIdentity, SameBytesSeenAfterTheTickSettleTheTime) {
    noteidentity::KnownNote known;
    const FileFacts fat{true, 4, kFat};
    int reads = 0;
    const auto mine = [&] { return ++reads, Hash(7); };
    known.Remember(fat, kFat, mine);
    for (const std::uint64_t at : {kFat + kSecond, kFat + 3 * kSecond, kFat + 4 * kSecond})
        EXPECT_EQ(known.Check(fat, at, mine), Change::None);
    EXPECT_EQ(reads, 3) << "read when known and within the tick, no more once it had passed";
}

}  // namespace
