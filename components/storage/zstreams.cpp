#include "components/storage/zstreams.h"

#include <algorithm>
#include <limits>

namespace {

const char kZlibError[] = "error";
const char kInvalidOperation[] = "Invalid stream operation";

int Check(int zlibResult) {
    if (zlibResult < 0) throw ECompressionError(kZlibError);
    return zlibResult;
}

// zlib counts in uInt; feed it in pieces that fit.
constexpr std::size_t kMaxChunk = std::numeric_limits<uInt>::max();

}  // namespace

TCustomZStream::TCustomZStream(TStream& stream)
    : stream_(stream), streamPosition_(stream.Position()), buffer_(kBufferSize) {}

void TCustomZStream::RestorePosition() {
    if (stream_.Position() != streamPosition_) stream_.SetPosition(streamPosition_);
}

void TCustomZStream::Progress() {
    if (OnProgress) OnProgress(*this);
}

TCompressionStream::TCompressionStream(int level, TStream& dest) : TCustomZStream(dest) {
    Check(deflateInit2(&z_, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
    z_.next_out = buffer_.data();
    z_.avail_out = static_cast<uInt>(kBufferSize);
}

TCompressionStream::~TCompressionStream() {
    if (!finished_) {
        try {
            Finish();
        } catch (const std::exception&) {
            // A destructor cannot report; callers that care call Finish() themselves.
        }
    }
    deflateEnd(&z_);
}

void TCompressionStream::FlushBuffer() {
    const std::size_t used = kBufferSize - z_.avail_out;
    if (used != 0) {
        RestorePosition();
        stream_.WriteBuffer(buffer_.data(), used);
        RememberPosition();
    }
    z_.next_out = buffer_.data();
    z_.avail_out = static_cast<uInt>(kBufferSize);
    Progress();
}

std::size_t TCompressionStream::Read(void* /*buffer*/, std::size_t /*count*/) {
    throw ECompressionError(kInvalidOperation);
}

std::size_t TCompressionStream::Write(const void* buffer, std::size_t count) {
    if (finished_) throw ECompressionError(kInvalidOperation);
    const Bytef* input = static_cast<const Bytef*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        const std::size_t part = std::min(left, kMaxChunk);
        z_.next_in = const_cast<Bytef*>(input);
        z_.avail_in = static_cast<uInt>(part);
        while (z_.avail_in > 0) {
            Check(deflate(&z_, Z_NO_FLUSH));
            if (z_.avail_out == 0) FlushBuffer();
        }
        input += part;
        left -= part;
    }
    return count;
}

std::int64_t TCompressionStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    if (offset == 0 && origin == TSeekOrigin::Current)
        return static_cast<std::int64_t>(z_.total_in);
    throw ECompressionError(kInvalidOperation);
}

std::int64_t TCompressionStream::Size() {
    throw ECompressionError(kInvalidOperation);
}

void TCompressionStream::Finish() {
    if (finished_) return;
    finished_ = true;
    z_.next_in = nullptr;
    z_.avail_in = 0;
    while (Check(deflate(&z_, Z_FINISH)) != Z_STREAM_END) FlushBuffer();
    FlushBuffer();
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
