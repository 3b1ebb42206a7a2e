// Putting data into an item, packed at its level: the only part of the store that
// compresses, apart so that a program that only reads and extracts links no compressor.
#include <limits>

#include "base/zstreams.h"
#include "components/storage/filestore.h"

namespace {

const char kFileTooLarge[] = "File too large to store";

int ZlibLevel(TCompressionLevel level) {
    switch (level) {
        case clFastest:
            return 1;
        case clMax:
            return 9;
        default:
            return -1;
    }
}

}  // namespace

void TFileStoreItem::SetCompression(TCompressionLevel level) {
    if (Store().Loading()) {
        compression_ = level;
        return;
    }
    if (level == compression_) return;
    TMemoryStream plain;
    SaveToStream(&plain);
    compression_ = level;
    LoadFromStream(&plain);
}

void TFileStoreItem::LoadFromStream(TStream* source) {
    if (source == nullptr || source->Size() == 0) {
        data_.Clear();
        return;
    }
    source->SetPosition(0);
    if (OnBeforeLoad) OnBeforeLoad(*this, *source);
    const std::int64_t length = source->Size();
    if (length > std::numeric_limits<std::int32_t>::max()) throw EFileStoreError(kFileTooLarge);
    // Built aside, so that a failing source leaves the old data in place.
    TMemoryStream packed;
    if (compression_ != clNone) {
        PackTo(*source, length, ZlibLevel(compression_), packed);
        fileSize_ = static_cast<std::int32_t>(length);
    } else {
        packed.CopyFrom(*source, length);
    }
    data_.Clear();
    data_.WriteBuffer(packed.Bytes().data(), packed.Bytes().size());
    if (OnAfterLoad) OnAfterLoad(*this);
}
