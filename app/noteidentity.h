#pragma once
// Whether the note file on disk is still the one this program last read or wrote.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace noteidentity {

// What the folder listing says about the file; times in 100 ns steps, as file times count.
struct FileFacts {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
};

enum class Change { None, Elsewhere, Deleted };

// Tells versions of a note apart; not a guard against anyone forging one.
std::uint64_t HashBytes(std::string_view bytes);

// The hash of the file's bytes, asked for only where size and time cannot tell; none when the
// file cannot be read.
using ContentHash = std::function<std::optional<std::uint64_t>()>;

class KnownNote {
public:
    // now is the clock as it was before the facts were taken.
    void Remember(const FileFacts& facts, std::uint64_t now, const ContentHash& hash);
    Change Check(const FileFacts& facts, std::uint64_t now, const ContentHash& hash);

private:
    // A write in the same tick as the one we know may have left size and time as they were.
    bool TimeCanTell() const;

    FileFacts facts_;
    std::uint64_t since_ = 0;
    std::uint64_t hash_ = 0;
};

}  // namespace noteidentity
