#include "app/noteidentity.h"

#include <cstring>

namespace noteidentity {

namespace {

constexpr std::uint64_t kTwoSeconds = 20'000'000;  // FAT keeps write times to 2 s
constexpr std::uint64_t kTenMs = 100'000;          // exFAT to 10 ms

// A time on a whole step of a coarse file system most likely came from one. Finer ones give a
// later write a later time, but for one in the same tick of the clock: a chance let pass, as
// hashing after every save would cost each AutoSave keystroke a read of the whole note.
std::uint64_t Granularity(std::uint64_t writeTime) {
    if (writeTime % kTwoSeconds == 0) return kTwoSeconds;
    if (writeTime % kTenMs == 0) return kTenMs;
    return 0;
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

}  // namespace

std::uint64_t HashBytes(std::string_view bytes) {
    // Four lanes keep the multiplier busy: a megabyte note hashes in a fraction of its save.
    std::uint64_t lanes[4] = {bytes.size(), 1, 2, 3};
    size_t i = 0;
    for (; i + 32 <= bytes.size(); i += 32)
        for (size_t lane = 0; lane < 4; ++lane) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i + lane * 8, 8);
            lanes[lane] = Mix(lanes[lane], word);
        }
    std::uint64_t h = lanes[0];
    for (int lane = 1; lane < 4; ++lane) h = Mix(h, lanes[lane]);
    for (; i < bytes.size(); ++i) h = Mix(h, static_cast<unsigned char>(bytes[i]));
    return h;
}

void KnownNote::Remember(const FileFacts& facts, std::uint64_t now, const ContentHash& hash) {
    facts_ = facts;
    since_ = now;
    hash_ = facts.exists && !TimeCanTell() ? hash().value_or(0) : 0;
}

bool KnownNote::TimeCanTell() const {
    return since_ >= facts_.writeTime + Granularity(facts_.writeTime);
}

Change KnownNote::Check(const FileFacts& facts, std::uint64_t now, const ContentHash& hash) {
    if (!facts.exists) return facts_.exists ? Change::Deleted : Change::None;
    if (!facts_.exists || facts.size != facts_.size || facts.writeTime != facts_.writeTime)
        return Change::Elsewhere;
    if (TimeCanTell()) return Change::None;
    // What cannot be read cannot be shown to be ours.
    if (hash() != hash_) return Change::Elsewhere;
    // The same bytes still: from now on a later write shows in the time, once its tick is past.
    since_ = now;
    return Change::None;
}

}  // namespace noteidentity
