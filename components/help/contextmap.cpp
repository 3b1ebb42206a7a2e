#include "components/help/contextmap.h"

#include <cstdint>

namespace {

const char kFileDataDamaged[] = "Help context data damaged";

std::int32_t GetInt32(const std::vector<char>& bytes, std::size_t at) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) {
        bits = bits << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return static_cast<std::int32_t>(bits);
}

}  // namespace

std::vector<THelpContext> THelpContextMap::Contexts() const {
    std::vector<THelpContext> contexts;
    for (std::size_t at = 0; at + 8 <= fileData_.size(); at += 8) {
        contexts.push_back({GetInt32(fileData_, at), GetInt32(fileData_, at + 4)});
    }
    return contexts;
}

void THelpContextMap::ReadFileData(TStream& stream) {
    fileData_.clear();
    const std::uint32_t count = stream.ReadUInt32();
    // Checked before allocating; a count that is no whole number of pairs is damage too.
    if (count % 8 != 0 || count > stream.Size() - stream.Position()) {
        throw EHelpContextMapError(kFileDataDamaged);
    }
    std::vector<char> bytes(count);
    stream.ReadBuffer(bytes.data(), bytes.size());
    fileData_.swap(bytes);
}

void THelpContextMap::AssignData(const THelpContextMap& source) {
    fileName_ = source.fileName_;
    list_ = source.list_;
    fileData_ = source.fileData_;
}

void THelpContextMap::WriteFileData(TStream& stream) const {
    stream.WriteUInt32(static_cast<std::uint32_t>(fileData_.size()));
    stream.WriteBuffer(fileData_.data(), fileData_.size());
}
