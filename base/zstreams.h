#pragma once
// Stream adaptors over zlib: the only way the file store reaches deflate and inflate.
// Each adaptor has a file of its own, so a program that only reads links no compressor.

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "base/error.h"
#include "base/stream.h"

class ECompressionError : public bj::Error {
public:
    using bj::Error::Error;
};

// Shared by both adaptors: the compressed-side buffer and the remembered position in the
// underlying stream, which someone else may move between our calls.
class TCustomZStream : public TStream {
public:
    static constexpr std::size_t kBufferSize = 65536;

    // Called after each exchange of the compressed buffer with the underlying stream.
    std::function<void(TCustomZStream&)> OnProgress;

protected:
    explicit TCustomZStream(TStream& stream);
    void RestorePosition();
    void RememberPosition() { streamPosition_ = stream_.Position(); }
    void Progress();
    // Throws ECompressionError on a zlib failure; passes other results through.
    static int Check(int zlibResult);
    [[noreturn]] static void InvalidOperation();
    // zlib counts in uInt; it is fed in pieces that fit.
    static constexpr std::size_t kMaxChunk = std::numeric_limits<uInt>::max();

    TStream& stream_;
    std::int64_t streamPosition_;
    std::vector<Bytef> buffer_;
    z_stream z_{};
};

class TCompressionStream : public TCustomZStream {
public:
    // level is zlib's: 1..9 or -1 for its default.
    TCompressionStream(int level, TStream& dest);
    ~TCompressionStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Answers only the query of the current position: the count of bytes written in so far.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;

    // Ends the zlib stream in Dest. The destructor does this too, but cannot report failures.
    void Finish();

private:
    void FlushBuffer();

    bool finished_ = false;
};

class TDecompressionStream : public TCustomZStream {
public:
    explicit TDecompressionStream(TStream& source);
    ~TDecompressionStream() override;

    // Returns fewer bytes than asked only at the end of the zlib stream; truncated or corrupt
    // input throws ECompressionError.
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Forward only: the position query, and moves ahead by reading.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;

    bool AtStreamEnd() const { return ended_; }

private:
    bool ended_ = false;
};

// Bytes packed the way a stored item holds them: their count (4 bytes, little-endian), then a
// zlib stream of them. Unpacking checks both the count and zlib's own checksum.
void PackTo(TStream& source, std::int64_t length, int level, TStream& dest);
void UnpackTo(TStream& packed, TStream& dest);
