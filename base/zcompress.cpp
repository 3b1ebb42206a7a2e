// The compressing adaptor: only programs that write a store link it.
#include <algorithm>

#include "base/zstreams.h"

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
    InvalidOperation();
}

std::size_t TCompressionStream::Write(const void* buffer, std::size_t count) {
    if (finished_) InvalidOperation();
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
    InvalidOperation();
}

std::int64_t TCompressionStream::Size() {
    InvalidOperation();
}

void TCompressionStream::Finish() {
    if (finished_) return;
    finished_ = true;
    z_.next_in = nullptr;
    z_.avail_in = 0;
    while (Check(deflate(&z_, Z_FINISH)) != Z_STREAM_END) FlushBuffer();
    FlushBuffer();
}

void PackTo(TStream& source, std::int64_t length, int level, TStream& dest) {
    TCompressionStream deflater(level, dest);
    deflater.WriteUInt32(static_cast<std::uint32_t>(length));
    deflater.CopyFrom(source, length);
    deflater.Finish();
}
