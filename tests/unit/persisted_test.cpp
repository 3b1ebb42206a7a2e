#include "app/persisted.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/unit/filestore_testutil.h"

namespace {

// Hand-built container pieces, independent of the writer.
std::string U32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}
std::string I64(std::uint64_t v) {
    return U32(std::uint32_t(v)) + U32(std::uint32_t(v >> 32));
}
std::string Counted(const std::string& bytes) {
    return U32(static_cast<std::uint32_t>(bytes.size())) + bytes;
}
std::string Prop(const std::string& name, char type, const std::string& value) {
    return std::string(1, static_cast<char>(name.size())) + name + type + value;
}
const std::string kEnd(1, '\0');

std::string Container(const std::string& components) {
    return "BJPD\x01" + components + kEnd;
}
std::string StoreWith(const std::string& items, std::uint32_t count = 1) {
    return Container(Prop("FileStore1", 'O', Prop("StoredItems", 'L', U32(count) + items) + kEnd));
}
std::string RouterWith(const std::string& properties) {
    return Container(Prop("HelpRouter1", 'O', properties + kEnd));
}

struct Targets {
    TFileStore store;
    THelpContextMap map;
    THelpRouterSettings router;
    void Read(const std::string& bytes) {
        ReadMainFormData(bytes.data(), bytes.size(), store, map, router);
    }
};

auto Tie(const THelpRouterSettings& r) {
    return std::tie(r.HelpType, r.ShowType, r.Helpfile, r.CHMPopupTopics, r.ValidateID);
}

void Load(TFileStoreItem& item, TCompressionLevel level, const std::vector<char>& file) {
    item.SetCompression(level);
    TMemoryStream source(file);
    item.LoadFromStream(&source);
}

TEST(PersistedData, RoundTripKeepsEveryPersistedValue) {
    TempDir dir;
    const std::vector<char> chm = HelpLikePayload(136068);
    TFileStore store;
    TFileStoreItem& help = store.StoredItems().Add();
    Load(help, clFastest, chm);
    TFileStoreItem& raw = store.StoredItems().Add();
    Load(raw, clNone, {'r', 'a', 'w'});
    raw.SetTag(-5);
    raw.SetName("Extra");
    store.StoredItems().Add().SetTag(7);  // empty, default level: neither value is written
    {
        TFileStore::TLoadingScope loading(store);
        help.SetFileName("BriskJot.chm");
        raw.SetFileName("raw.bin");
        raw.SetFileSize(3);
    }
    THelpContextMap map;
    WriteTextFile(dir / "p.hhp", "[MAP]\nIDH_A=3\nIDH_B=8\n");
    map.SetFileName(dir / "p.hhp");
    const THelpRouterSettings router{"htHTMLhelp", "stMain", "x.hlp", "pop.txt", true};
    const std::vector<char> bytes = WriteMainFormData(store, map, router, ',');

    Targets read;
    read.store.StoredItems().Add().SetName("Replaced");
    read.Read(std::string(bytes.begin(), bytes.end()));

    ASSERT_EQ(read.store.StoredItems().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        TFileStoreItem &want = *store.Items(i), &got = *read.store.Items(i);
        EXPECT_EQ(std::tie(got.Name(), got.FileName(), got.Data()),
                  std::tie(want.Name(), want.FileName(), want.Data()));
        EXPECT_EQ(std::make_tuple(got.Compression(), got.Tag(), got.FileSize()),
                  std::make_tuple(want.Compression(), want.Tag(), want.FileSize()));
    }
    TMemoryStream extracted;
    read.store.Items(0)->SaveToStream(&extracted);
    EXPECT_EQ(extracted.TakeBytes(), chm);
    EXPECT_EQ(read.map.FileName(), map.FileName());
    EXPECT_EQ(read.map.FileData(), map.FileData());
    EXPECT_EQ(Tie(read.router), Tie(router));

    // Outside loading, the read names and file names follow the usual rules again.
    read.store.Items(0)->SetFileName("other.chm");
    EXPECT_EQ(read.store.Items(0)->FileName(), "BriskJot.chm");
    EXPECT_THROW(read.store.Items(1)->SetName("fileSTOREitem1"), EFileStoreError);
}

TEST(PersistedData, StoreSumsAndVersionComeFromTheItemsNotTheData) {
    const std::string item =
        Prop("Compression", 'E', Counted("clNone")) + Prop("Tag", 'I', I64(0)) +
        Prop("Name", 'S', Counted("FileStoreItem1")) +
        Prop("FileName", 'S', Counted("BriskJot.chm")) + Prop("FileSize", 'I', I64(5)) +
        Prop("Size", 'I', I64(999)) + Prop("Ratio", 'S', Counted("1,00%")) +
        Prop("StoredItem", 'X', Counted(Counted("chm"))) + kEnd;
    const std::string store =
        Prop("OriginalSize", 'I', I64(136068)) + Prop("Ratio", 'S', Counted("94,46%")) +
        Prop("Size", 'I', I64(128530)) + Prop("StoredItems", 'L', U32(1) + item) +
        Prop("Version", 'S', Counted("1.1")) + kEnd;
    Targets read;
    read.Read(Container(Prop("FileStore1", 'O', store)));

    EXPECT_EQ(read.store.Version(), "1.2");
    EXPECT_EQ(read.store.OriginalSize(), 5);
    EXPECT_EQ(read.store.Size(), 3);
    TempDir dir;
    EXPECT_TRUE(read.store.ExtractAll(dir.Path()));
    EXPECT_EQ(ReadBytes(dir / "BriskJot.chm"), (std::vector<char>{'c', 'h', 'm'}));
    // Components the data leaves out keep their defaults.
    EXPECT_EQ(Tie(read.router), Tie(THelpRouterSettings()));
    EXPECT_TRUE(read.map.FileData().empty());
}

TEST(PersistedData, DamagedDataIsRejectedAndChangesNothing) {
    std::string deep = kEnd;
    for (int i = 0; i < 20; ++i) deep = Prop("x", 'O', deep) + kEnd;
    std::vector<std::string> cases = {
        Container("") + "x",  // bytes after the end
        RouterWith(Prop("Helpfile", 'Q', "")),
        StoreWith("", 0xFFFFFFFFu),
        Container(Prop("HelpRouter1", 'O', deep)),
        Container(Prop("Form1", 'O', kEnd)),
        Container(Prop("HelpRouter1", 'O', kEnd) + Prop("HelpRouter1", 'O', kEnd)),
        RouterWith(Prop("ValidateID", 'B', "\x02")),
        RouterWith(Prop("HelpType", 'E', Counted("htFancy"))),
        RouterWith(Prop("Colour", 'I', I64(1))),
        StoreWith(Prop("Tag", 'I', I64(1LL << 40)) + kEnd),
        StoreWith(Prop("Compression", 'E', Counted("clTurbo")) + kEnd),
        StoreWith(Prop("Name", 'S', Counted("A")) + kEnd + Prop("Name", 'S', Counted("a")) + kEnd,
                  2),
        StoreWith(Prop("StoredItem", 'X', Counted(U32(10) + "abc")) + kEnd),
        StoreWith(Prop("StoredItem", 'X', Counted("ab")) + kEnd),
        Container(
            Prop("HelpContextMap1", 'O', Prop("FileData", 'X', Counted(U32(~7u) + "x")) + kEnd)),
        StoreWith(std::string(1000, '\0'), 1000),  // a thousand empty items in a kilobyte
    };
    // A file name that would write outside the folder the store is extracted into.
    for (const char* name : {"..\\BriskJot.exe", "sub/x.chm", "C:x.chm", ".. "})
        cases.push_back(StoreWith(Prop("FileName", 'S', Counted(name)) + kEnd));
    // Every cut of a whole container is damaged too.
    TFileStore store;
    Load(store.StoredItems().Add(), clDefault, HelpLikePayload(300));
    const std::vector<char> whole = WriteMainFormData(store, THelpContextMap(), {}, '.');
    for (std::size_t size = 0; size < whole.size(); ++size)
        cases.push_back(std::string(whole.data(), size));

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        Targets targets;
        targets.store.StoredItems().Add().SetName("Keep");
        {
            THelpContextMap::TLoadingScope loading(targets.map);
            targets.map.SetFileName("keep.hhp");
        }
        targets.router.HelpType = "htMixedMode";
        EXPECT_THROW(targets.Read(cases[i]), EPersistedDataError);
        ASSERT_EQ(targets.store.StoredItems().Count(), 1);
        EXPECT_EQ(targets.store.Items(0)->Name(), "Keep");
        EXPECT_EQ(targets.map.FileName(), "keep.hhp");
        EXPECT_EQ(targets.router.HelpType, "htMixedMode");
    }
}

}  // namespace
