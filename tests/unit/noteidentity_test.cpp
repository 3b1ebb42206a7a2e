// "Is it still the note I know": size and time decide, the content only where they cannot.
#include "app/noteidentity.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using noteidentity::Change;
using noteidentity::FileFacts;

constexpr std::uint64_t kSecond = 10'000'000;
constexpr std::uint64_t kFat = 6'000 * kSecond;  // on a 2 s step, as FAT stores times
constexpr std::uint64_t kFine = kFat + 1234567;  // as NTFS and Unix file systems store them

TEST(NoteIdentity, SizeAndTimeDecideAndTheContentOnlyWhereTheyCannot) {
    const FileFacts none{};
    const FileFacts fat{true, 10, kFat}, fine{true, 10, kFine};
    const std::uint64_t mine = 1, theirs = 2;
    struct {
        const char* what;
        FileFacts known;
        std::uint64_t knownAt;
        FileFacts now;
        std::optional<std::uint64_t> nowHash;
        Change expected;
        bool hashRead;
    } rows[] = {
        {"no note then, none now", none, kFine, none, mine, Change::None, false},
        {"a note appeared", none, kFine, fine, mine, Change::Elsewhere, false},
        {"deleted", fine, kFine, none, mine, Change::Deleted, false},
        {"other size", fine, kFine, {true, 11, kFine}, mine, Change::Elsewhere, false},
        {"other time", fine, kFine, {true, 10, kFine + 1}, mine, Change::Elsewhere, false},
        {"fine time, same facts", fine, kFine, fine, theirs, Change::None, false},
        {"fine time ahead of our clock", fine, kFine - 5, fine, theirs, Change::Elsewhere, true},
        {"FAT, same tick, other bytes", fat, kFat + kSecond, fat, theirs, Change::Elsewhere, true},
        {"FAT, same tick, same bytes", fat, kFat + kSecond, fat, mine, Change::None, true},
        {"FAT, same tick, unreadable", fat, kFat, fat, std::nullopt, Change::Elsewhere, true},
        {"FAT, tick past when known", fat, kFat + 2 * kSecond, fat, theirs, Change::None, false},
        {"exFAT, same tick",
         {true, 10, kFat + 100'000},
         kFat + 100'001,
         {true, 10, kFat + 100'000},
         theirs,
         Change::Elsewhere,
         true},
    };
    for (const auto& row : rows) {
        noteidentity::KnownNote known;
        known.Remember(row.known, row.knownAt, [&] { return std::optional(mine); });
        bool read = false;
        EXPECT_EQ(known.Check(row.now, row.knownAt + 1,
                              [&] {
                                  read = true;
                                  return row.nowHash;
                              }),
                  row.expected)
            << row.what;
        EXPECT_EQ(read, row.hashRead) << row.what;
    }
}

TEST(NoteIdentity, SameBytesSeenAfterTheTickSettleTheTime) {
    noteidentity::KnownNote known;
    const FileFacts fat{true, 10, kFat};
    int reads = 0;
    auto mine = [&] { return ++reads, std::optional<std::uint64_t>(7); };
    known.Remember(fat, kFat, mine);
    reads = 0;
    EXPECT_EQ(known.Check(fat, kFat + kSecond, mine), Change::None);
    EXPECT_EQ(known.Check(fat, kFat + 3 * kSecond, mine), Change::None);
    EXPECT_EQ(reads, 2) << "within the tick every check reads";
    EXPECT_EQ(known.Check(fat, kFat + 4 * kSecond, mine), Change::None);
    EXPECT_EQ(reads, 2) << "settled once the tick had passed";
}

TEST(NoteIdentity, HashTellsOneByteAnywhere) {
    const std::string note(100, 'a');
    for (size_t at : {size_t{0}, size_t{31}, size_t{32}, size_t{99}}) {
        std::string other = note;
        other[at] = 'b';
        EXPECT_NE(noteidentity::HashBytes(note), noteidentity::HashBytes(other)) << at;
    }
    EXPECT_NE(noteidentity::HashBytes(note), noteidentity::HashBytes(note + '\0'));
}

}  // namespace
