#include "base/stream.h"

#include <algorithm>
#include <cstring>

namespace {

const char kReadError[] = "Stream read error";
const char kWriteError[] = "Stream write error";
const char kInvalidSeek[] = "Invalid stream operation";

}  // namespace

std::int64_t TStream::Size() {
    const std::int64_t position = Position();
    const std::int64_t size = Seek(0, TSeekOrigin::End);
    Seek(position, TSeekOrigin::Begin);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EStreamError(kReadError);
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EStreamError(kWriteError);
}

void TStream::CopyFrom(TStream& source, std::int64_t count) {
    std::vector<char> chunk(static_cast<std::size_t>(std::min<std::int64_t>(count, 65536)));
    while (count > 0) {
        const std::size_t part = static_cast<std::size_t>(
            std::min<std::int64_t>(count, static_cast<std::int64_t>(chunk.size())));
        source.ReadBuffer(chunk.data(), part);
        WriteBuffer(chunk.data(), part);
        count -= static_cast<std::int64_t>(part);
    }
}

std::uint32_t TStream::ReadUInt32() {
    unsigned char bytes[4];
    ReadBuffer(bytes, sizeof bytes);
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void TStream::WriteUInt32(std::uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    WriteBuffer(bytes, sizeof bytes);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= bytes_.size()) return 0;
    const std::size_t part = std::min(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, part);
    position_ += part;
    return part;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == TSeekOrigin::Current) base = static_cast<std::int64_t>(position_);
    if (origin == TSeekOrigin::End) base = static_cast<std::int64_t>(bytes_.size());
    const std::int64_t target = base + offset;
    if (target < 0) throw EStreamError(kInvalidSeek);
    position_ = static_cast<std::size_t>(target);
    return target;
}

void TMemoryStream::Clear() {
    bytes_.clear();
    position_ = 0;
}

std::vector<char> TMemoryStream::TakeBytes() {
    std::vector<char> bytes;
    bytes.swap(bytes_);
    position_ = 0;
    return bytes;
}

TFileStream::TFileStream(const std::string& fileName, TMode mode) : fileName_(fileName) {
    file_ = std::fopen(fileName.c_str(), mode == TMode::OpenRead ? "rb" : "wb");
    if (file_ == nullptr) {
        throw EStreamError(
            (mode == TMode::OpenRead ? "Cannot open file \"" : "Cannot create file \"") + fileName +
            "\"");
    }
}

TFileStream::~TFileStream() {
    // Close() reports failures; here they have nowhere to go.
    if (file_ != nullptr) std::fclose(file_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    if (file_ == nullptr) throw EStreamError(kReadError);
    const std::size_t done = std::fread(buffer, 1, count, file_);
    if (done < count && std::ferror(file_)) throw EStreamError(kReadError);
    return done;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    if (file_ == nullptr) throw EStreamError(kWriteError);
    return std::fwrite(buffer, 1, count, file_);
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    if (file_ == nullptr) throw EStreamError(kInvalidSeek);
    const int whence = origin == TSeekOrigin::Begin
                           ? SEEK_SET
                           : (origin == TSeekOrigin::Current ? SEEK_CUR : SEEK_END);
    // Stored files are limited to 32-bit sizes, so long offsets suffice on every target.
    if (!(origin == TSeekOrigin::Current && offset == 0) &&
        std::fseek(file_, static_cast<long>(offset), whence) != 0) {
        throw EStreamError(kInvalidSeek);
    }
    const long position = std::ftell(file_);
    if (position < 0) throw EStreamError(kInvalidSeek);
    return position;
}

void TFileStream::Close() {
    if (file_ == nullptr) return;
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) throw EStreamError("Cannot write file \"" + fileName_ + "\"");
}

std::vector<char> ReadWholeFile(const std::string& fileName) {
    TFileStream file(fileName, TFileStream::TMode::OpenRead);
    TMemoryStream bytes;
    std::vector<char> chunk(65536);
    for (;;) {
        const std::size_t done = file.Read(chunk.data(), chunk.size());
        if (done == 0) break;
        bytes.WriteBuffer(chunk.data(), done);
    }
    return bytes.TakeBytes();
}
