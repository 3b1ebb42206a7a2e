#include "components/storage/filestore.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "base/filesys.h"
#include "tests/unit/filestore_testutil.h"

namespace {

using Bytes = std::vector<char>;

Bytes Prefixed(std::uint32_t length, Bytes bytes) {
    bytes.insert(bytes.begin(),
                 {char(length), char(length >> 8), char(length >> 16), char(length >> 24)});
    return bytes;
}

// zlib's one-shot calls serve as the independent reference for the held format.
Bytes Deflated(const Bytes& plain) {
    uLongf size = compressBound(plain.size());
    Bytes packed(size);
    EXPECT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                              reinterpret_cast<const Bytef*>(plain.data()), plain.size(), 1));
    packed.resize(size);
    return packed;
}

Bytes Inflated(const Bytes& packed, std::size_t plainSize) {
    Bytes plain(plainSize + 1);
    uLongf size = plain.size();
    EXPECT_EQ(Z_OK, uncompress(reinterpret_cast<Bytef*>(plain.data()), &size,
                               reinterpret_cast<const Bytef*>(packed.data()), packed.size()));
    plain.resize(size);
    return plain;
}

// Adds an item holding `held` the way stored data puts it there: as it is, never repacked.
TFileStoreItem& Held(TFileStore& store, TCompressionLevel level, const Bytes& held,
                     const std::string& fileName = "", std::int32_t fileSize = 0) {
    TFileStoreItem& item = store.StoredItems().Add();
    TFileStore::TLoadingScope loading(store);
    item.SetCompression(level);
    item.SetFileName(fileName);
    item.SetFileSize(fileSize);
    TMemoryStream value;
    value.WriteUInt32(static_cast<std::uint32_t>(held.size()));
    value.WriteBuffer(held.data(), held.size());
    value.SetPosition(0);
    item.ReadStoredItem(value);
    return item;
}

Bytes Saved(TFileStoreItem& item) {
    TMemoryStream out;
    item.SaveToStream(&out);
    return out.TakeBytes();
}

TEST(FileStore, EveryLevelHoldsItsFormatAndRoundTrips) {
    const std::tuple<TCompressionLevel, std::size_t, std::string> cases[] = {
        {clNone, 1000, ""},
        {clFastest, 1, "\x78\x01"},
        {clDefault, 70000, "\x78\x9C"},
        {clMax, 200000, "\x78\xDA"},
    };
    for (const auto& [level, size, header] : cases) {
        SCOPED_TRACE(testing::Message() << "level " << level << " size " << size);
        const Bytes file = HelpLikePayload(size);
        TFileStore store;
        TFileStoreItem& item = store.StoredItems().Add();
        item.SetCompression(level);
        TMemoryStream source(file);
        item.LoadFromStream(&source);
        EXPECT_EQ(item.FileSize(), level == clNone ? 0 : static_cast<std::int32_t>(size));
        // Raw data is held as it is; packed data is a length prefix and the file, deflated.
        const Bytes held = item.Data();
        EXPECT_EQ(std::string(held.begin(), held.begin() + header.size()), header);
        EXPECT_EQ(level == clNone ? held : Inflated(held, size + 4),
                  level == clNone ? file : Prefixed(static_cast<std::uint32_t>(size), file));
        EXPECT_EQ(Saved(item), file);

        // A new level repacks the held data and leaves the file as it was; while loading, a
        // level is only recorded, as the held bytes are taken to be in that form already.
        item.SetCompression(level == clMax ? clNone : clMax);
        EXPECT_EQ(Saved(item), file);
        item.SetCompression(level);
        EXPECT_EQ(item.Data(), held);
        {
            TFileStore::TLoadingScope loading(store);
            item.SetCompression(level == clNone ? clFastest : clNone);
        }
        EXPECT_EQ(item.Data(), held);
    }
}

TEST(FileStore, ExtractAllWritesFilesAndConfinesDamageToItsItem) {
    const Bytes content = HelpLikePayload(5000);
    const Bytes good = Deflated(Prefixed(5000, content));
    Bytes badChecksum = good, wantsDictionary = good;
    badChecksum[badChecksum.size() - 1] ^= 0x55;
    wantsDictionary[1] = 0x20;  // a valid header asking for a preset dictionary
    const Bytes damaged[] = {
        Bytes(good.begin(), good.end() - 10),
        badChecksum,
        wantsDictionary,
        Bytes(content.begin(), content.begin() + 300),  // not zlib
        Deflated(Prefixed(9000, content)),              // prefix longer than content
        Deflated(Prefixed(100, content)),               // content longer than prefix
        Deflated({'\x05', '\x00'}),                     // no room for the prefix
    };
    TempDir dir;
    TFileStore store;
    Held(store, clFastest, Deflated(Prefixed(3, {'a', 'b', 'c'})), "good.chm");
    for (const Bytes& held : damaged) Held(store, clFastest, held, "bad.chm");
    Held(store, clMax, Deflated(Prefixed(0, {})), "empty.chm");
    Held(store, clNone, {'r', 'a', 'w'}, "raw.bin");
    // Existing files are truncated, not overwritten in place.
    WriteTextFile(dir / "nested/deeper/good.chm", std::string(5000, 'x'));

    std::vector<std::string> errors;
    store.OnExtractError = [&](TFileStore&, const std::string& path, const std::string& name) {
        errors.push_back(path + "|" + name);
    };
    const std::string target = dir / "nested/deeper";  // no trailing delimiter
    EXPECT_FALSE(store.ExtractAll(target));
    EXPECT_EQ(ReadBytes(target + "/good.chm"), (Bytes{'a', 'b', 'c'}));
    EXPECT_TRUE(ReadBytes(target + "/empty.chm").empty());
    EXPECT_EQ(ReadBytes(target + "/raw.bin"), (Bytes{'r', 'a', 'w'}));
    EXPECT_EQ(errors, std::vector<std::string>(std::size(damaged), target + "|bad.chm"));
}

TEST(FileStore, ExtractAllFolderRules) {
    TempDir dir;
    TFileStore store;
    Held(store, clNone, {'h', 'i'}, "BriskJot.chm");
    EXPECT_THROW(store.ExtractAll(""), EInOutError) << "an empty path fails once there is an item";
    // A handler may redirect an item or veto it; the folder made is the one asked for.
    store.OnBeforeExtract = [&](TFileStore&, std::string& path, std::string& name, bool&) {
        path = dir / "made/";
        name = "renamed.chm";
    };
    EXPECT_TRUE(store.ExtractAll(dir / "made"));
    EXPECT_EQ(ReadBytes(dir / "made/renamed.chm"), (Bytes{'h', 'i'}));
    std::filesystem::remove(dir / "made/renamed.chm");
    WriteTextFile(dir / "blocker", "a file where a folder should be");
    EXPECT_TRUE(store.ExtractAll(dir / "blocker/sub")) << "an uncreatable folder skips silently";
    EXPECT_FALSE(std::filesystem::exists(dir / "made/renamed.chm"));
}

TEST(FileStore, ItemNamesAndRatio) {
    TFileStore store;
    TFileStoreItems& items = store.StoredItems();
    TFileStoreItem& first = items.Add();
    TFileStoreItem& second = items.Add();
    first.SetName("HELP");
    EXPECT_EQ(items.Add().Name(), "FileStoreItem1") << "the lowest free number is reused";
    EXPECT_THROW(second.SetName("help"), EFileStoreError);
    EXPECT_EQ(items.Items(-1), nullptr);
    EXPECT_EQ(items.Items(items.Count()), nullptr);

    // Among thousands: a number is taken in any letter case, but only as written ("05" is not 5).
    TFileStore many;
    for (int i = 0; i < 3000; ++i) many.StoredItems().Add();
    many.Items(4)->SetName("FileStoreItem05");
    many.Items(9)->SetName("fileSTOREitem5");
    EXPECT_EQ(many.StoredItems().Add().Name(), "FileStoreItem10");
    EXPECT_EQ(many.StoredItems().Add().Name(), "FileStoreItem3001");

    TFileStore sized;
    TFileStoreItem& item = Held(sized, clFastest, Bytes(128530));
    EXPECT_EQ(item.Ratio(','), "100%") << "FileSize still 0: no division by zero";
    item.SetFileSize(136068);
    EXPECT_EQ(item.FileSize(), 0) << "FileSize is taken only while loading";
    EXPECT_EQ(Held(sized, clNone, Bytes(20010), "", 20000).Ratio('.'), "100.05%");
}

}  // namespace
