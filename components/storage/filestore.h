#pragma once
// TFileStore carries whole files in memory, normally deflated, and writes them out on request.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/stream.h"

enum TCompressionLevel { clNone, clFastest, clDefault, clMax };

class EFileStoreError : public bj::Error {
public:
    using bj::Error::Error;
};

class TFileStore;
class TFileStoreItems;

class TFileStoreItem {
public:
    using TNotifyEvent = std::function<void(TFileStoreItem&)>;
    using TStreamEvent = std::function<void(TFileStoreItem&, TStream&)>;

    ~TFileStoreItem();
    TFileStoreItem(const TFileStoreItem&) = delete;
    TFileStoreItem& operator=(const TFileStoreItem&) = delete;

    TFileStore& Store() const;

    TCompressionLevel Compression() const { return compression_; }
    // Outside loading, a new level recompresses the held data.
    void SetCompression(TCompressionLevel level);
    // The level of bytes taken in already packed at it (read from a store, copied from an
    // item). Unlike SetCompression it never repacks, so a reader does not carry the
    // compressor along.
    void TakePackedCompression(TCompressionLevel level) { compression_ = level; }
    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t tag) { tag_ = tag; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    const std::string& FileName() const { return fileName_; }
    // Taken only while the store is loading; ignored otherwise.
    void SetFileName(const std::string& fileName);
    std::int32_t FileSize() const { return fileSize_; }
    void SetFileSize(std::int32_t fileSize);
    std::int32_t Size() const { return static_cast<std::int32_t>(data_.Bytes().size()); }
    // Size of FileSize in percent with two decimals, "100%" while FileSize is 0.
    std::string Ratio(char decimalSeparator) const;
    const std::vector<char>& Data() const { return data_.Bytes(); }

    // Writes the file's bytes, uncompressed, at dest's position; nothing without dest.
    void SaveToStream(TStream* dest);
    // Creates or truncates fileName.
    void SaveToFile(const std::string& fileName);
    // Replaces the held data with all of source, compressed at the item's level.
    void LoadFromStream(TStream* source);

    // The persisted "StoredItem" value: a 4-byte count, then the held bytes.
    void ReadStoredItem(TStream& stream);
    void WriteStoredItem(TStream& stream) const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TStreamEvent OnBeforeLoad;
    TStreamEvent OnBeforeSave;
    TNotifyEvent OnAfterLoad;
    TNotifyEvent OnAfterSave;

private:
    friend class TFileStoreItems;
    TFileStoreItem(TFileStoreItems& collection, TNotifyEvent onCreate);

    TFileStoreItems& collection_;
    TCompressionLevel compression_ = clDefault;
    std::int32_t tag_ = 0;
    std::string name_;
    std::string fileName_;
    std::int32_t fileSize_ = 0;
    TMemoryStream data_;
};

class TFileStoreItems {
public:
    explicit TFileStoreItems(TFileStore& store) : store_(store) {}
    TFileStoreItems(const TFileStoreItems&) = delete;
    TFileStoreItems& operator=(const TFileStoreItems&) = delete;

    TFileStore& Store() const { return store_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // The item at index, or nullptr outside 0..Count()-1.
    TFileStoreItem* Items(int index) const;

    // onCreate becomes the item's OnCreate and runs at the end of its construction.
    TFileStoreItem& Add(TFileStoreItem::TNotifyEvent onCreate = nullptr);
    void Clear();
    // Replaces these items with copies of source's.
    void Assign(const TFileStoreItems& source);

private:
    friend class TFileStoreItem;
    std::string UnusedName() const;
    bool NameTaken(const std::string& name, const TFileStoreItem* except) const;

    TFileStore& store_;
    std::vector<std::unique_ptr<TFileStoreItem>> items_;
};

class TFileStore {
public:
    using TExtractEvent =
        std::function<void(TFileStore&, const std::string& path, const std::string& fileName)>;
    using TBeforeExtractEvent = std::function<void(TFileStore&, std::string& path,
                                                   std::string& fileName, bool& canExtract)>;

    // While one of these lives the store takes persisted values as they are.
    class TLoadingScope {
    public:
        explicit TLoadingScope(TFileStore& store) : store_(store) { ++store_.loading_; }
        ~TLoadingScope() { --store_.loading_; }
        TLoadingScope(const TLoadingScope&) = delete;
        TLoadingScope& operator=(const TLoadingScope&) = delete;

    private:
        TFileStore& store_;
    };

    TFileStore() : items_(*this) {}
    TFileStore(const TFileStore&) = delete;
    TFileStore& operator=(const TFileStore&) = delete;

    TFileStoreItems& StoredItems() { return items_; }
    const TFileStoreItems& StoredItems() const { return items_; }
    void SetStoredItems(const TFileStoreItems& items) { items_.Assign(items); }
    TFileStoreItem* Items(int index) const { return items_.Items(index); }

    std::int64_t OriginalSize() const;
    std::int64_t Size() const;
    std::string Ratio(char decimalSeparator) const;
    std::string Version() const;

    bool Loading() const { return loading_ > 0; }

    // Writes every item into the folder path; true when no item failed. An empty path throws
    // EInOutError at the first item that is to be written.
    bool ExtractAll(const std::string& path);

    TExtractEvent OnExtractError;
    TBeforeExtractEvent OnBeforeExtract;
    TExtractEvent OnAfterExtract;

private:
    TFileStoreItems items_;
    int loading_ = 0;
};
