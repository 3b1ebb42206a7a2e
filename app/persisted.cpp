#include "app/persisted.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "app/persisted_format.h"
#include "components/help/helpcommands.h"

namespace {

using namespace persisted_format;

constexpr int kMaxDepth = 8;
// The program carries one item; data holding many more is not ours.
constexpr std::size_t kMaxStoredItems = 16;

[[noreturn]] void Damaged(const std::string& what) {
    throw EPersistedDataError("Persisted data damaged: " + what);
}

// ---- reading: the whole container is parsed and checked before any target changes

struct TValue;
struct TProperty;
using TObject = std::vector<TProperty>;

struct TValue {
    char type = 0;
    std::int64_t integer = 0;
    std::string bytes;  // text, identifier or binary
    TObject object;
    std::vector<TObject> list;
};

struct TProperty {
    std::string name;
    TValue value;
};

class TParser {
public:
    TParser(const char* data, std::size_t size) : data_(data), size_(size) {}

    TObject Container() {
        if (size_ < sizeof kMagic + 1 || std::memcmp(data_, kMagic, sizeof kMagic) != 0) {
            Damaged("not a BriskJot data block");
        }
        at_ = sizeof kMagic;
        if (Byte() != kFormatVersion) Damaged("unknown format");
        TObject root = Object(0);
        if (at_ != size_) Damaged("bytes after the end");
        return root;
    }

private:
    std::size_t Left() const { return size_ - at_; }

    unsigned char Byte() {
        if (Left() < 1) Damaged("unexpected end");
        return static_cast<unsigned char>(data_[at_++]);
    }

    std::uint64_t Unsigned(int bytes) {
        if (Left() < static_cast<std::size_t>(bytes)) Damaged("unexpected end");
        std::uint64_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            value =
                value << 8 | static_cast<unsigned char>(data_[at_ + static_cast<std::size_t>(i)]);
        }
        at_ += static_cast<std::size_t>(bytes);
        return value;
    }

    std::string Counted() {
        const std::uint64_t length = Unsigned(4);
        // Checked before allocating: a damaged length must not ask for gigabytes.
        if (length > Left()) Damaged("length beyond the end");
        std::string bytes(data_ + at_, static_cast<std::size_t>(length));
        at_ += static_cast<std::size_t>(length);
        return bytes;
    }

    TObject Object(int depth) {
        if (depth > kMaxDepth) Damaged("nested too deeply");
        TObject object;
        for (;;) {
            const std::size_t nameLength = Byte();
            if (nameLength == 0) return object;
            if (nameLength > Left()) Damaged("name beyond the end");
            TProperty property;
            property.name.assign(data_ + at_, nameLength);
            at_ += nameLength;
            property.value = Value(depth);
            object.push_back(std::move(property));
        }
    }

    TValue Value(int depth) {
        TValue value;
        value.type = static_cast<char>(Byte());
        switch (value.type) {
            case vtInt:
                value.integer = static_cast<std::int64_t>(Unsigned(8));
                break;
            case vtBool: {
                const unsigned char flag = Byte();
                if (flag > 1) Damaged("bad Boolean");
                value.integer = flag;
                break;
            }
            case vtText:
            case vtIdent:
            case vtBinary:
                value.bytes = Counted();
                break;
            case vtObject:
                value.object = Object(depth + 1);
                break;
            case vtList: {
                const std::uint64_t count = Unsigned(4);
                // Every object body takes at least its end byte.
                if (count > Left()) Damaged("list longer than the data");
                for (std::uint64_t i = 0; i < count; ++i) value.list.push_back(Object(depth + 1));
                break;
            }
            default:
                Damaged("unknown value type");
        }
        return value;
    }

    const char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

const TValue& Expect(const TProperty& property, char type) {
    if (property.value.type != type) Damaged("wrong type of " + property.name);
    return property.value;
}

std::int32_t Int32(const TProperty& property) {
    const std::int64_t value = Expect(property, vtInt).integer;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        Damaged(property.name + " out of range");
    }
    return static_cast<std::int32_t>(value);
}

template <std::size_t N, typename Names>
std::string Identifier(const TProperty& property, const Names (&names)[N]) {
    const std::string& ident = Expect(property, vtIdent).bytes;
    for (std::size_t i = 0; i < N; ++i) {
        if (ident == names[i]) return ident;
    }
    Damaged("unknown " + property.name + " " + ident);
}

void ReadItem(const TObject& object, TFileStoreItem& item) {
    for (const TProperty& property : object) {
        const std::string& name = property.name;
        if (name == "Compression") {
            const std::string level = Identifier(property, kCompressionNames);
            for (int i = clNone; i <= clMax; ++i) {
                if (level == kCompressionNames[i])
                    item.TakePackedCompression(static_cast<TCompressionLevel>(i));
            }
        } else if (name == "Tag") {
            item.SetTag(Int32(property));
        } else if (name == "Name") {
            item.SetName(Expect(property, vtText).bytes);
        } else if (name == "FileName") {
            // The name is written into the folder it is extracted to, and nowhere else.
            const std::string& fileName = Expect(property, vtText).bytes;
            if (fileName.find_first_of("\\/:") != std::string::npos ||
                fileName.find("..") != std::string::npos)
                Damaged("file name " + fileName);
            item.SetFileName(fileName);
        } else if (name == "FileSize") {
            item.SetFileSize(Int32(property));
        } else if (name == "Size") {
            Int32(property);  // reported from the held data, never taken
        } else if (name == "Ratio") {
            Expect(property, vtText);
        } else if (name == "StoredItem") {
            const std::string& bytes = Expect(property, vtBinary).bytes;
            TMemoryStream value(std::vector<char>(bytes.begin(), bytes.end()));
            item.ReadStoredItem(value);
            if (value.Position() != value.Size()) Damaged("StoredItem length");
        } else {
            Damaged("unknown item property " + name);
        }
    }
}

void ReadStore(const TObject& object, TFileStore& store) {
    TFileStore::TLoadingScope loading(store);
    for (const TProperty& property : object) {
        const std::string& name = property.name;
        if (name == "OriginalSize" || name == "Size") {
            Expect(property, vtInt);  // sums of the items, never taken
        } else if (name == "Ratio" || name == "Version") {
            Expect(property, vtText);  // the store reports its own
        } else if (name == "StoredItems") {
            const std::vector<TObject>& items = Expect(property, vtList).list;
            // Counted over the store: the list may come more than once.
            if (items.size() >
                kMaxStoredItems - static_cast<std::size_t>(store.StoredItems().Count()))
                Damaged("too many stored items");
            for (const TObject& item : items) ReadItem(item, store.StoredItems().Add());
        } else {
            Damaged("unknown store property " + name);
        }
    }
}

void ReadContextMap(const TObject& object, THelpContextMap& map) {
    THelpContextMap::TLoadingScope loading(map);
    for (const TProperty& property : object) {
        if (property.name == "FileName") {
            map.TakeFileName(Expect(property, vtText).bytes);
        } else if (property.name == "FileData") {
            const std::string& bytes = Expect(property, vtBinary).bytes;
            TMemoryStream value(std::vector<char>(bytes.begin(), bytes.end()));
            map.ReadFileData(value);
            if (value.Position() != value.Size()) Damaged("FileData length");
        } else {
            Damaged("unknown context map property " + property.name);
        }
    }
}

void ReadRouter(const TObject& object, THelpRouterSettings& router) {
    for (const TProperty& property : object) {
        const std::string& name = property.name;
        if (name == "HelpType") {
            router.HelpType = Identifier(property, kHelpTypeNames);
        } else if (name == "ShowType") {
            router.ShowType = Identifier(property, kShowTypeNames);
        } else if (name == "Helpfile") {
            router.Helpfile = Expect(property, vtText).bytes;
        } else if (name == "CHMPopupTopics") {
            router.CHMPopupTopics = Expect(property, vtText).bytes;
        } else if (name == "ValidateID") {
            router.ValidateID = Expect(property, vtBool).integer != 0;
        } else {
            Damaged("unknown router property " + name);
        }
    }
}

}  // namespace

void ReadMainFormData(const void* data, std::size_t size, TFileStore& store,
                      THelpContextMap& contextMap, THelpRouterSettings& router) {
    if (data == nullptr) Damaged("no data");
    const TObject root = TParser(static_cast<const char*>(data), size).Container();

    TFileStore newStore;
    THelpContextMap newMap;
    THelpRouterSettings newRouter;
    try {
        std::vector<std::string> seen;
        for (const TProperty& component : root) {
            const TObject& object = Expect(component, vtObject).object;
            for (const std::string& name : seen) {
                if (name == component.name) Damaged(name + " twice");
            }
            seen.push_back(component.name);
            if (component.name == kFileStoreName) {
                ReadStore(object, newStore);
            } else if (component.name == kContextMapName) {
                ReadContextMap(object, newMap);
            } else if (component.name == kRouterName) {
                ReadRouter(object, newRouter);
            } else {
                Damaged("unknown component " + component.name);
            }
        }
    } catch (const EFileStoreError& error) {
        Damaged(error.what());
    } catch (const EHelpContextMapError& error) {
        Damaged(error.what());
    } catch (const EStreamError& error) {
        Damaged(error.what());
    }

    store.SetStoredItems(newStore.StoredItems());
    contextMap.AssignData(newMap);
    router = newRouter;
}
