#include "components/storage/filestore.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "base/filesys.h"
#include "base/zstreams.h"

namespace {

const char kDuplicatedName[] = "Duplicated stored item name";
const char kStoredItemDamaged[] = "Stored item data damaged";

constexpr std::uint16_t kStoreVersion = 0x0102;

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string FormatRatio(std::int64_t size, std::int64_t original, char decimalSeparator) {
    if (original == 0) return "100%";
    // Hundredths of a percent, rounded half up; sizes stay far below the overflow. Integer
    // arithmetic keeps the C library's formatter (tens of KiB) out of the program.
    const std::int64_t hundredths = (size * 20000 + original) / (2 * original);
    const std::int64_t fraction = hundredths % 100;
    return std::to_string(hundredths / 100) + decimalSeparator +
           static_cast<char>('0' + fraction / 10) + static_cast<char>('0' + fraction % 10) + "%";
}

}  // namespace

TFileStoreItem::TFileStoreItem(TFileStoreItems& collection, TNotifyEvent onCreate)
    : OnCreate(std::move(onCreate)), collection_(collection), name_(collection.UnusedName()) {
    if (OnCreate) OnCreate(*this);
}

TFileStoreItem::~TFileStoreItem() {
    data_.Clear();
    if (OnDestroy) OnDestroy(*this);
}

TFileStore& TFileStoreItem::Store() const {
    return collection_.Store();
}

void TFileStoreItem::SetName(const std::string& name) {
    if (SameText(name, name_)) return;
    if (collection_.NameTaken(name, this)) throw EFileStoreError(kDuplicatedName);
    name_ = name;
}

void TFileStoreItem::SetFileName(const std::string& fileName) {
    if (Store().Loading()) fileName_ = fileName;
}

void TFileStoreItem::SetFileSize(std::int32_t fileSize) {
    if (Store().Loading()) fileSize_ = fileSize;
}

std::string TFileStoreItem::Ratio(char decimalSeparator) const {
    return FormatRatio(Size(), FileSize(), decimalSeparator);
}

void TFileStoreItem::SaveToStream(TStream* dest) {
    if (dest == nullptr) return;
    data_.SetPosition(0);
    if (OnBeforeSave) OnBeforeSave(*this, *dest);
    if (compression_ != clNone && data_.Size() != 0) {
        UnpackTo(data_, *dest);
    } else {
        dest->CopyFrom(data_, data_.Size());
    }
    if (OnAfterSave) OnAfterSave(*this);
}

void TFileStoreItem::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, TFileStream::TMode::CreateTruncate);
    SaveToStream(&file);
    file.Close();
}

void TFileStoreItem::ReadStoredItem(TStream& stream) {
    data_.Clear();
    const std::uint32_t count = stream.ReadUInt32();
    // Checked before allocating: a damaged count must not ask for gigabytes.
    if (count > stream.Size() - stream.Position()) throw EFileStoreError(kStoredItemDamaged);
    data_.CopyFrom(stream, count);
}

void TFileStoreItem::WriteStoredItem(TStream& stream) const {
    const std::vector<char>& bytes = data_.Bytes();
    stream.WriteUInt32(static_cast<std::uint32_t>(bytes.size()));
    stream.WriteBuffer(bytes.data(), bytes.size());
}

TFileStoreItem* TFileStoreItems::Items(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

TFileStoreItem& TFileStoreItems::Add(TFileStoreItem::TNotifyEvent onCreate) {
    // The private constructor keeps items inside a collection.
    items_.push_back(
        std::unique_ptr<TFileStoreItem>(new TFileStoreItem(*this, std::move(onCreate))));
    return *items_.back();
}

void TFileStoreItems::Clear() {
    items_.clear();
}

void TFileStoreItems::Assign(const TFileStoreItems& source) {
    if (&source == this) return;
    Clear();
    TFileStore::TLoadingScope loading(store_);
    for (const auto& from : source.items_) {
        TFileStoreItem& to = Add();
        to.OnDestroy = from->OnDestroy;
        to.OnBeforeLoad = from->OnBeforeLoad;
        to.OnBeforeSave = from->OnBeforeSave;
        to.OnAfterLoad = from->OnAfterLoad;
        to.OnAfterSave = from->OnAfterSave;
        to.TakePackedCompression(from->Compression());
        to.SetTag(from->Tag());
        to.SetName(from->Name());
        to.SetFileName(from->FileName());
        to.SetFileSize(from->FileSize());
        to.data_.WriteBuffer(from->Data().data(), from->Data().size());
    }
}

std::string TFileStoreItems::UnusedName() const {
    // One pass over the names: among k items the lowest free number is at most k + 1.
    static const std::string kPrefix = "FileStoreItem";
    const std::size_t limit = items_.size() + 1;
    // The prefix is all letters, which differ from their other case in one bit only.
    const auto sameLetter = [](char a, char b) { return (a | 0x20) == (b | 0x20); };
    std::vector<char> taken(limit + 1);
    for (const auto& item : items_) {
        const std::string& name = item->Name();
        if (name.size() <= kPrefix.size() || name[kPrefix.size()] == '0' ||
            !std::equal(kPrefix.begin(), kPrefix.end(), name.begin(), sameLetter))
            continue;
        std::size_t n = 0;
        for (std::size_t i = kPrefix.size(); i < name.size() && n <= limit; ++i) {
            const bool digit = name[i] >= '0' && name[i] <= '9';
            n = digit ? n * 10 + static_cast<std::size_t>(name[i] - '0') : limit + 1;
        }
        if (n <= limit) taken[n] = true;
    }
    std::size_t n = 1;
    while (taken[n]) ++n;
    return kPrefix + std::to_string(n);
}

bool TFileStoreItems::NameTaken(const std::string& name, const TFileStoreItem* except) const {
    return std::any_of(items_.begin(), items_.end(), [&](const auto& item) {
        return item.get() != except && SameText(item->Name(), name);
    });
}

std::int64_t TFileStore::OriginalSize() const {
    std::int64_t sum = 0;
    for (int i = 0; i < items_.Count(); ++i) sum += items_.Items(i)->FileSize();
    return sum;
}

std::int64_t TFileStore::Size() const {
    std::int64_t sum = 0;
    for (int i = 0; i < items_.Count(); ++i) sum += items_.Items(i)->Size();
    return sum;
}

std::string TFileStore::Ratio(char decimalSeparator) const {
    return FormatRatio(Size(), OriginalSize(), decimalSeparator);
}

std::string TFileStore::Version() const {
    return std::to_string(kStoreVersion >> 8) + "." + std::to_string(kStoreVersion & 0xFF);
}

bool TFileStore::ExtractAll(const std::string& path) {
    bool result = true;
    for (int i = 0; i < items_.Count(); ++i) {
        TFileStoreItem& item = *items_.Items(i);
        std::string targetDir = IncludeTrailingPathDelimiter(path);
        std::string targetName = item.FileName();
        bool canExtract = true;
        if (OnBeforeExtract) OnBeforeExtract(*this, targetDir, targetName, canExtract);
        if (!canExtract) continue;
        // The folder asked for is made sure of, not the one a handler may have chosen.
        if (!ForceDirectories(path)) continue;
        try {
            item.SaveToFile(targetDir + targetName);
        } catch (const std::exception&) {
            // One item's failure must not keep the others from being written.
            if (OnExtractError) OnExtractError(*this, path, item.FileName());
            result = false;
            continue;
        }
        if (OnAfterExtract) OnAfterExtract(*this, targetDir, targetName);
    }
    return result;
}
