#include "components/storage/filestore.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "components/storage/filesys.h"
#include "components/storage/zstreams.h"
#include "tests/unit/filestore_testutil.h"

namespace {

std::vector<char> Prefixed(std::uint32_t length, const std::vector<char>& content) {
    std::vector<char> bytes(4 + content.size());
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(length >> (8 * i));
    std::copy(content.begin(), content.end(), bytes.begin() + 4);
    return bytes;
}

// zlib's one-shot calls serve as the independent reference for the held format.
std::vector<char> Deflated(const std::vector<char>& plain, int level = 1) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::vector<char> packed(size);
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                        reinterpret_cast<const Bytef*>(plain.data()),
                        static_cast<uLong>(plain.size()), level),
              Z_OK);
    packed.resize(size);
    return packed;
}

std::vector<char> Inflated(const std::vector<char>& packed, std::size_t plainSize) {
    std::vector<char> plain(plainSize + 1);
    uLongf size = static_cast<uLongf>(plain.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(plain.data()), &size,
                         reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
    plain.resize(size);
    return plain;
}

// Puts bytes into an item the way persisted data does, bypassing compression.
void SetHeldData(TFileStoreItem& item, TCompressionLevel level, const std::vector<char>& held) {
    TFileStore::TLoadingScope loading(item.Store());
    item.SetCompression(level);
    TMemoryStream value;
    value.WriteUInt32(static_cast<std::uint32_t>(held.size()));
    value.WriteBuffer(held.data(), held.size());
    value.SetPosition(0);
    item.ReadStoredItem(value);
}

std::vector<char> Saved(TFileStoreItem& item) {
    TMemoryStream out;
    item.SaveToStream(&out);
    return out.TakeBytes();
}

void Load(TFileStoreItem& item, const std::vector<char>& bytes) {
    TMemoryStream source(bytes);
    item.LoadFromStream(&source);
}

TEST(FileStore, EveryLevelHoldsItsFormatAndRoundTrips) {
    struct Case {
        TCompressionLevel level;
        std::size_t size;
        const char* header;  // first two held bytes; empty for raw data
    };
    const Case cases[] = {
        {clNone, 1000, ""},
        {clFastest, 1, "\x78\x01"},
        {clFastest, 136068, "\x78\x01"},
        {clDefault, 70000, "\x78\x9C"},
        {clMax, 200000, "\x78\xDA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " size " << c.size);
        const std::vector<char> file = HelpLikePayload(c.size);
        TFileStore store;
        TFileStoreItem& item = store.StoredItems().Add();
        item.SetCompression(c.level);
        Load(item, file);
        if (c.level == clNone) {
            EXPECT_EQ(item.Data(), file);
            EXPECT_EQ(item.FileSize(), 0);
            EXPECT_EQ(item.Ratio('.'), "100%");
        } else {
            EXPECT_EQ(std::string(item.Data().begin(), item.Data().begin() + 2), c.header);
            EXPECT_EQ(Inflated(item.Data(), c.size + 4),
                      Prefixed(static_cast<std::uint32_t>(c.size), file));
            EXPECT_EQ(item.FileSize(), static_cast<std::int32_t>(c.size));
        }
        EXPECT_EQ(item.Size(), static_cast<std::int32_t>(item.Data().size()));
        EXPECT_EQ(Saved(item), file);
        EXPECT_EQ(Saved(item), file) << "a second write-out must give the same bytes";
    }
}

TEST(FileStore, LevelChangesRecompressWithoutChangingTheFile) {
    const std::vector<char> file = HelpLikePayload(150000, 7);
    TFileStore store;
    TFileStoreItem& item = store.StoredItems().Add();
    item.SetCompression(clFastest);
    Load(item, file);
    const std::vector<char> fastest = item.Data();
    for (TCompressionLevel level : {clMax, clFastest, clNone, clDefault, clFastest}) {
        item.SetCompression(level);
        EXPECT_EQ(item.Compression(), level);
        EXPECT_EQ(Saved(item), file) << "after switching to level " << level;
    }
    EXPECT_EQ(item.Data(), fastest);

    // Loading only records the level: the held bytes are taken to be in that form already.
    {
        TFileStore::TLoadingScope loading(store);
        item.SetCompression(clNone);
    }
    EXPECT_EQ(item.Data(), fastest);
}

TEST(FileStore, DamagedHeldDataFailsInsteadOfWritingOrWaiting) {
    const std::vector<char> content = HelpLikePayload(5000);
    const std::vector<char> good = Deflated(Prefixed(5000, content));
    struct Case {
        const char* what;
        std::vector<char> held;
    };
    std::vector<char> truncated(good.begin(), good.end() - 10);
    std::vector<char> badChecksum = good;
    badChecksum[badChecksum.size() - 1] ^= 0x55;
    std::vector<char> badBody = good;
    badBody[good.size() / 2] ^= 0x55;
    std::vector<char> wantsDictionary = good;
    wantsDictionary[1] = 0x20;  // a valid header asking for a preset dictionary
    const Case cases[] = {
        {"truncated", truncated},
        {"header only", std::vector<char>(good.begin(), good.begin() + 2)},
        {"checksum", badChecksum},
        {"body", badBody},
        {"dictionary", wantsDictionary},
        {"not zlib", std::vector<char>(content.begin(), content.begin() + 300)},
        {"prefix longer than content", Deflated(Prefixed(9000, content))},
        {"content longer than prefix", Deflated(Prefixed(100, content))},
        {"no room for the prefix", Deflated({'\x05', '\x00'})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFileStore store;
        TFileStoreItem& item = store.StoredItems().Add();
        SetHeldData(item, clFastest, c.held);
        TMemoryStream out;
        EXPECT_THROW(item.SaveToStream(&out), ECompressionError);
    }
}

TEST(FileStore, ExtractAllWritesFilesAndConfinesFailuresToTheirItem) {
    TempDir dir;
    TFileStore store;
    TFileStoreItem& good = store.StoredItems().Add();
    SetHeldData(good, clFastest, Deflated(Prefixed(3, {'a', 'b', 'c'})));
    TFileStoreItem& empty = store.StoredItems().Add();
    SetHeldData(empty, clMax, Deflated(Prefixed(0, {}), 9));
    TFileStoreItem& broken = store.StoredItems().Add();
    SetHeldData(broken, clFastest, {'\x78', '\x01', '\x00'});
    TFileStoreItem& raw = store.StoredItems().Add();
    SetHeldData(raw, clNone, {'r', 'a', 'w'});
    {
        TFileStore::TLoadingScope loading(store);
        good.SetFileName("good.chm");
        empty.SetFileName("empty.chm");
        broken.SetFileName("broken.chm");
        raw.SetFileName("raw.bin");
    }
    // Existing files are truncated, not overwritten in place.
    WriteTextFile(dir / "nested/deeper/good.chm", std::string(5000, 'x'));
    WriteTextFile(dir / "nested/deeper/empty.chm", "old contents");

    std::vector<std::string> errors;
    std::vector<std::string> written;
    store.OnExtractError = [&](TFileStore&, const std::string& path, const std::string& name) {
        errors.push_back(path + "|" + name);
    };
    store.OnAfterExtract = [&](TFileStore&, const std::string& path, const std::string& name) {
        written.push_back(path + name);
    };
    const std::string target = dir / "nested/deeper";  // no trailing delimiter
    EXPECT_FALSE(store.ExtractAll(target));

    EXPECT_EQ(ReadBytes(dir / "nested/deeper/good.chm"), (std::vector<char>{'a', 'b', 'c'}));
    EXPECT_TRUE(ReadBytes(dir / "nested/deeper/empty.chm").empty());
    EXPECT_EQ(ReadBytes(dir / "nested/deeper/raw.bin"), (std::vector<char>{'r', 'a', 'w'}));
    EXPECT_EQ(errors, (std::vector<std::string>{target + "|broken.chm"}));
    EXPECT_EQ(written, (std::vector<std::string>{target + "/good.chm", target + "/empty.chm",
                                                 target + "/raw.bin"}));
    // Writing out changes nothing in the store; a second run does the same.
    EXPECT_FALSE(store.ExtractAll(target + "/"));
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(written.back(), target + "/raw.bin");
}

TEST(FileStore, ExtractAllFolderRules) {
    TempDir dir;
    TFileStore store;
    EXPECT_TRUE(store.ExtractAll("")) << "nothing to write, so no folder is needed";
    EXPECT_TRUE(store.ExtractAll(dir / "never"));
    EXPECT_FALSE(std::filesystem::exists(dir / "never"));

    TFileStoreItem& item = store.StoredItems().Add();
    Load(item, {'h', 'i'});
    {
        TFileStore::TLoadingScope loading(store);
        item.SetFileName("BriskJot.chm");
    }
    int beforeCalls = 0;
    store.OnBeforeExtract = [&](TFileStore&, std::string&, std::string&, bool&) { ++beforeCalls; };
    try {
        store.ExtractAll("");
        ADD_FAILURE() << "an empty path must fail";
    } catch (const EInOutError& error) {
        EXPECT_STREQ(error.what(), "Unable to create directory");
    }
    EXPECT_EQ(beforeCalls, 1);

    // A handler may redirect an item or veto it.
    store.OnBeforeExtract = [&](TFileStore&, std::string& path, std::string& name, bool&) {
        path = dir / "made/";
        name = "renamed.chm";
    };
    EXPECT_TRUE(store.ExtractAll(dir / "made"));
    EXPECT_EQ(ReadBytes(dir / "made/renamed.chm"), (std::vector<char>{'h', 'i'}));
    store.OnBeforeExtract = [&](TFileStore&, std::string&, std::string&, bool& can) {
        can = false;
    };
    EXPECT_TRUE(store.ExtractAll(""));  // vetoed items never reach the folder check

    // The folder made is the one asked for, not the handler's.
    store.OnBeforeExtract = [&](TFileStore&, std::string& path, std::string&, bool&) {
        path = dir / "made/";
    };
    WriteTextFile(dir / "blocker", "a file where a folder should be");
    EXPECT_TRUE(store.ExtractAll(dir / "blocker/sub")) << "an uncreatable folder skips silently";
    EXPECT_FALSE(std::filesystem::exists(dir / "made/BriskJot.chm"));
}

TEST(FileStore, ItemNamesAreUniqueIgnoringCase) {
    TFileStore store;
    TFileStoreItems& items = store.StoredItems();
    TFileStoreItem& first = items.Add();
    TFileStoreItem& second = items.Add();
    EXPECT_EQ(first.Name(), "FileStoreItem1");
    EXPECT_EQ(second.Name(), "FileStoreItem2");
    first.SetName("HELP");
    EXPECT_EQ(items.Add().Name(), "FileStoreItem1") << "the lowest free number is reused";

    try {
        second.SetName("help");
        ADD_FAILURE() << "duplicate name accepted";
    } catch (const EFileStoreError& error) {
        EXPECT_STREQ(error.what(), "Duplicated stored item name");
    }
    EXPECT_EQ(second.Name(), "FileStoreItem2");
    second.SetName("fileSTOREitem2");  // its own name in other case: no failure, no change
    EXPECT_EQ(second.Name(), "FileStoreItem2");
    items.Delete(0);
    second.SetName("help");
    EXPECT_EQ(second.Name(), "help");
    EXPECT_EQ(items.Items(2), nullptr);
    EXPECT_EQ(items.Items(-1), nullptr);
    EXPECT_EQ(items.IndexOf(second), 0);
}

TEST(FileStore, RatioTextsAndReadOnlyProperties) {
    TFileStore store;
    TFileStoreItem& item = store.StoredItems().Add();
    SetHeldData(item, clFastest, std::vector<char>(128530));
    EXPECT_EQ(item.Ratio(','), "100%") << "FileSize still 0";
    item.SetFileSize(136068);
    item.SetFileName("ignored.chm");
    EXPECT_EQ(item.FileSize(), 0) << "FileSize is taken only while loading";
    EXPECT_EQ(item.FileName(), "");
    {
        TFileStore::TLoadingScope loading(store);
        item.SetFileSize(136068);
    }
    EXPECT_EQ(item.Ratio(','), "94,46%");
    EXPECT_EQ(item.Ratio('.'), "94.46%");
    EXPECT_EQ(store.Ratio(','), "94,46%");

    TFileStoreItem& other = store.StoredItems().Add();
    SetHeldData(other, clNone, std::vector<char>(1470));
    {
        TFileStore::TLoadingScope loading(store);
        other.SetFileSize(3932);
    }
    EXPECT_EQ(store.Size(), 130000);
    EXPECT_EQ(store.OriginalSize(), 140000);
    EXPECT_EQ(store.Ratio(','), "92,86%");
    EXPECT_EQ(store.Version(), "1.2");

    TFileStore grown;
    TFileStoreItem& packedLarger = grown.StoredItems().Add();
    SetHeldData(packedLarger, clNone, std::vector<char>(20010));
    {
        TFileStore::TLoadingScope loading(grown);
        packedLarger.SetFileSize(20000);
    }
    EXPECT_EQ(packedLarger.Ratio('.'), "100.05%") << "a zero after the separator stays";
}

TEST(ZStreams, AdaptorsRefuseWhatTheyCannotDoAndKeepTheirPlace) {
    TMemoryStream packed;
    packed.WriteBuffer("head", 4);
    {
        TCompressionStream deflater(9, packed);
        const std::vector<char> part = HelpLikePayload(100000, 3);
        deflater.WriteBuffer(part.data(), 50000);
        packed.SetPosition(0);  // someone else moves the stream between writes
        deflater.WriteBuffer(part.data() + 50000, 50000);
        EXPECT_EQ(deflater.Position(), 100000);
        char byte;
        EXPECT_THROW(deflater.Read(&byte, 1), ECompressionError);
        EXPECT_THROW(deflater.Seek(1, TSeekOrigin::Current), ECompressionError);
        EXPECT_THROW(deflater.Seek(0, TSeekOrigin::Begin), ECompressionError);
        try {
            deflater.Size();
            ADD_FAILURE();
        } catch (const ECompressionError& error) {
            EXPECT_STREQ(error.what(), "Invalid stream operation");
        }
    }
    packed.Seek(0, TSeekOrigin::End);
    packed.WriteBuffer("tail", 4);
    packed.SetPosition(4);

    TDecompressionStream inflater(packed);
    std::vector<char> plain(100000);
    inflater.ReadBuffer(plain.data(), 1000);
    packed.SetPosition(0);
    inflater.ReadBuffer(plain.data() + 1000, plain.size() - 1000);
    EXPECT_EQ(plain, HelpLikePayload(100000, 3));
    EXPECT_THROW(inflater.Write("x", 1), ECompressionError);
    EXPECT_THROW(inflater.Seek(-1, TSeekOrigin::Current), ECompressionError);
    char byte;
    EXPECT_EQ(inflater.Read(&byte, 1), 0u);
    EXPECT_TRUE(inflater.AtStreamEnd());
}

TEST(ZStreams, ReleasedInflaterLeavesSourceAfterTheZlibStream) {
    const std::vector<char> zlibStream = Deflated(HelpLikePayload(1000));
    std::vector<char> bytes = zlibStream;
    bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
    TMemoryStream source(bytes);
    {
        TDecompressionStream inflater(source);
        std::vector<char> plain(1000);
        inflater.ReadBuffer(plain.data(), plain.size());
        char byte;
        EXPECT_EQ(inflater.Read(&byte, 1), 0u);
    }
    EXPECT_EQ(source.Position(), static_cast<std::int64_t>(zlibStream.size()));
}

}  // namespace
