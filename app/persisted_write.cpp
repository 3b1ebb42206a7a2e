// Writing the main window's persisted data: the authoring tool's side, apart from the reader
// so that the program carries none of it.
#include <cstdint>
#include <cstring>
#include <limits>

#include "app/persisted.h"
#include "app/persisted_format.h"

namespace {

using namespace persisted_format;

class TWriter {
public:
    TWriter() {
        bytes_.insert(bytes_.end(), kMagic, kMagic + sizeof kMagic);
        bytes_.push_back(static_cast<char>(kFormatVersion));
    }

    void Int(const char* name, std::int64_t value) {
        Name(name, vtInt);
        const auto bits = static_cast<std::uint64_t>(value);
        for (int shift = 0; shift < 64; shift += 8)
            bytes_.push_back(static_cast<char>(bits >> shift));
    }
    void Bool(const char* name, bool value) {
        Name(name, vtBool);
        bytes_.push_back(value ? 1 : 0);
    }
    void Text(const char* name, const std::string& value) {
        Counted(name, vtText, value.data(), value.size());
    }
    void Ident(const char* name, const std::string& value) {
        Counted(name, vtIdent, value.data(), value.size());
    }
    void Binary(const char* name, const std::vector<char>& value) {
        Counted(name, vtBinary, value.data(), value.size());
    }
    void BeginObject(const char* name) { Name(name, vtObject); }
    void BeginList(const char* name, std::size_t count) {
        Name(name, vtList);
        UInt32(count);
    }
    void EndObject() { bytes_.push_back(0); }
    std::vector<char> Take() { return std::move(bytes_); }

private:
    void Name(const char* name, TValueType type) {
        const std::size_t length = std::strlen(name);
        bytes_.push_back(static_cast<char>(length));
        bytes_.insert(bytes_.end(), name, name + length);
        bytes_.push_back(type);
    }
    void UInt32(std::size_t value) {
        if (value > std::numeric_limits<std::uint32_t>::max())
            throw EPersistedDataError("Value too large");
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<char>(value >> shift));
    }
    void Counted(const char* name, TValueType type, const char* data, std::size_t size) {
        Name(name, type);
        UInt32(size);
        bytes_.insert(bytes_.end(), data, data + size);
    }

    std::vector<char> bytes_;
};

std::vector<char> StoredItemValue(const TFileStoreItem& item) {
    TMemoryStream value;
    item.WriteStoredItem(value);
    return value.TakeBytes();
}

std::vector<char> FileDataValue(const THelpContextMap& map) {
    TMemoryStream value;
    map.WriteFileData(value);
    return value.TakeBytes();
}

}  // namespace

std::vector<char> WriteMainFormData(const TFileStore& store, const THelpContextMap& contextMap,
                                    const THelpRouterSettings& router, char decimalSeparator) {
    TWriter writer;

    writer.BeginObject(kFileStoreName);
    writer.Int("OriginalSize", store.OriginalSize());
    writer.Text("Ratio", store.Ratio(decimalSeparator));
    writer.Int("Size", store.Size());
    const TFileStoreItems& items = store.StoredItems();
    writer.BeginList("StoredItems", static_cast<std::size_t>(items.Count()));
    for (int i = 0; i < items.Count(); ++i) {
        const TFileStoreItem& item = *items.Items(i);
        if (item.Compression() != clDefault)
            writer.Ident("Compression", kCompressionNames[item.Compression()]);
        writer.Int("Tag", item.Tag());
        writer.Text("Name", item.Name());
        writer.Text("FileName", item.FileName());
        writer.Int("FileSize", item.FileSize());
        writer.Int("Size", item.Size());
        writer.Text("Ratio", item.Ratio(decimalSeparator));
        if (!item.Data().empty()) writer.Binary("StoredItem", StoredItemValue(item));
        writer.EndObject();
    }
    writer.Text("Version", store.Version());
    writer.EndObject();

    writer.BeginObject(kContextMapName);
    writer.Text("FileName", contextMap.FileName());
    if (!contextMap.FileData().empty()) writer.Binary("FileData", FileDataValue(contextMap));
    writer.EndObject();

    writer.BeginObject(kRouterName);
    writer.Ident("HelpType", router.HelpType);
    writer.Ident("ShowType", router.ShowType);
    writer.Text("Helpfile", router.Helpfile);
    writer.Text("CHMPopupTopics", router.CHMPopupTopics);
    writer.Bool("ValidateID", router.ValidateID);
    writer.EndObject();

    writer.EndObject();
    return writer.Take();
}
