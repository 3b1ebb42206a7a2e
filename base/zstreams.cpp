#include "base/zstreams.h"

#include <algorithm>
#include <limits>

namespace {
const char kZlibError[] = "error";
const char kInvalidOperation[] = "Invalid stream operation";
const char kDataEndsEarly[] = "error";
constexpr std::size_t kCopyChunk = 65536;
}  // namespace

TCustomZStream::TCustomZStream(TStream& stream)
    : stream_(stream), streamPosition_(stream.Position()), buffer_(kBufferSize) {}

void TCustomZStream::RestorePosition() {
    if (stream_.Position() != streamPosition_) stream_.SetPosition(streamPosition_);
}

void TCustomZStream::Progress() {
    if (OnProgress) OnProgress(*this);
}

int TCustomZStream::Check(int zlibResult) {
    if (zlibResult < 0) throw ECompressionError(kZlibError);
    return zlibResult;
}

void TCustomZStream::InvalidOperation() {
    throw ECompressionError(kInvalidOperation);
}

TDecompressionStream::TDecompressionStream(TStream& source) : TCustomZStream(source) {
    z_.next_in = buffer_.data();
    z_.avail_in = 0;
    Check(inflateInit(&z_));
}

TDecompressionStream::~TDecompressionStream() {
    // Hand back the bytes read ahead, so that the source stands right after the zlib stream.
    if (z_.avail_in != 0) {
        try {
            RestorePosition();
            stream_.Seek(-static_cast<std::int64_t>(z_.avail_in), TSeekOrigin::Current);
        } catch (const std::exception&) {
            // A source that cannot move back simply stays where it is.
        }
    }
    inflateEnd(&z_);
}

std::size_t TDecompressionStream::Read(void* buffer, std::size_t count) {
    Bytef* output = static_cast<Bytef*>(buffer);
    std::size_t done = 0;
    while (done < count && !ended_) {
        const std::size_t part = std::min(count - done, kMaxChunk);
        z_.next_out = output + done;
        z_.avail_out = static_cast<uInt>(part);
        while (z_.avail_out > 0) {
            if (z_.avail_in == 0) {
                RestorePosition();
                z_.next_in = buffer_.data();
                z_.avail_in = static_cast<uInt>(stream_.Read(buffer_.data(), kBufferSize));
                RememberPosition();
                Progress();
            }
            // With no input left inflate reports Z_BUF_ERROR once it cannot progress, so
            // truncated data throws instead of waiting for bytes that never come.
            const int result = Check(inflate(&z_, Z_NO_FLUSH));
            if (result == Z_STREAM_END) {
                ended_ = true;
                break;
            }
            if (result == Z_NEED_DICT) throw ECompressionError(kZlibError);
        }
        done += part - z_.avail_out;
    }
    return done;
}

std::size_t TDecompressionStream::Write(const void* /*buffer*/, std::size_t /*count*/) {
    throw ECompressionError(kInvalidOperation);
}

std::int64_t TDecompressionStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    const std::int64_t position = static_cast<std::int64_t>(z_.total_out);
    std::int64_t skip = -1;
    if (origin == TSeekOrigin::Current) skip = offset;
    if (origin == TSeekOrigin::Begin) skip = offset - position;
    if (skip < 0) throw ECompressionError(kInvalidOperation);
    std::vector<char> discard(static_cast<std::size_t>(std::min<std::int64_t>(skip, 8192)));
    while (skip > 0) {
        const std::size_t part = static_cast<std::size_t>(
            std::min<std::int64_t>(skip, static_cast<std::int64_t>(discard.size())));
        if (Read(discard.data(), part) != part) throw ECompressionError(kInvalidOperation);
        skip -= static_cast<std::int64_t>(part);
    }
    return static_cast<std::int64_t>(z_.total_out);
}

std::int64_t TDecompressionStream::Size() {
    throw ECompressionError(kInvalidOperation);
}

void UnpackTo(TStream& packed, TStream& dest) {
    TDecompressionStream inflater(packed);
    unsigned char prefix[4];
    if (inflater.Read(prefix, sizeof prefix) != sizeof prefix) {
        throw ECompressionError(kDataEndsEarly);
    }
    std::uint32_t left =
        static_cast<std::uint32_t>(prefix[0]) | static_cast<std::uint32_t>(prefix[1]) << 8 |
        static_cast<std::uint32_t>(prefix[2]) << 16 | static_cast<std::uint32_t>(prefix[3]) << 24;
    std::vector<char> chunk(std::min<std::size_t>(left, kCopyChunk));
    while (left > 0) {
        const std::size_t part = std::min<std::size_t>(left, chunk.size());
        // A zlib stream that ends before its length prefix is satisfied is damaged.
        if (inflater.Read(chunk.data(), part) != part) throw ECompressionError(kDataEndsEarly);
        dest.WriteBuffer(chunk.data(), part);
        left -= static_cast<std::uint32_t>(part);
    }
    // Reading on to the end lets zlib check the trailing Adler-32; content beyond the
    // announced length is damage as well.
    char extra;
    if (inflater.Read(&extra, 1) != 0 || !inflater.AtStreamEnd()) {
        throw ECompressionError(kDataEndsEarly);
    }
}
