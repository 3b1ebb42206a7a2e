#pragma once
// Byte streams the file store reads from and writes to: an abstract base, memory and file streams.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/error.h"

class EStreamError : public bj::Error {
public:
    using bj::Error::Error;
};

enum class TSeekOrigin { Begin, Current, End };

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Returns the number of bytes transferred; fewer than asked means the end was reached.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size();

    std::int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::Begin); }

    // All-or-nothing forms: a short transfer throws.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies exactly count bytes from source's current position.
    void CopyFrom(TStream& source, std::int64_t count);

    std::uint32_t ReadUInt32();
    void WriteUInt32(std::uint32_t value);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<char> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }

    void Clear();
    const std::vector<char>& Bytes() const { return bytes_; }
    // Hands the bytes over and leaves the stream empty.
    std::vector<char> TakeBytes();

private:
    std::vector<char> bytes_;
    std::size_t position_ = 0;
};

class TFileStream : public TStream {
public:
    enum class TMode { OpenRead, CreateTruncate };

    TFileStream(const std::string& fileName, TMode mode);
    ~TFileStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

    // Closing flushes; a failed flush (disk full) is reported here, not lost in the destructor.
    void Close();

private:
    std::FILE* file_ = nullptr;
    std::string fileName_;
};

// Reads a whole file; throws EStreamError when it cannot be opened or read.
std::vector<char> ReadWholeFile(const std::string& fileName);
