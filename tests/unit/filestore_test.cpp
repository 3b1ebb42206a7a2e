#include "components/storage/filestore.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "components/storage/filesys.h"
#include "components/storage/zstreams.h"
#include "tests/unit/filestore_testutil.h"

namespace {

using Bytes = std::vector<char>;

Bytes Prefixed(std::uint32_t length, const Bytes& content) {
    Bytes bytes(4 + content.size());
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>(length >> (8 * i));
    std::copy(content.begin(), content.end(), bytes.begin() + 4);
    return bytes;
}

// zlib's one-shot calls serve as the independent reference for the held format.
Bytes Deflated(const Bytes& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    Bytes packed(size);
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                        reinterpret_cast<const Bytef*>(plain.data()),
                        static_cast<uLong>(plain.size()), 1),
              Z_OK);
    packed.resize(size);
    return packed;
}

Bytes Inflated(const Bytes& packed, std::size_t plainSize) {
    Bytes plain(plainSize + 1);
    uLongf size = static_cast<uLongf>(plain.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(plain.data()), &size,
                         reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
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
        const Bytes file = HelpLikePayload(c.size);
        TFileStore store;
        TFileStoreItem& item = store.StoredItems().Add();
        item.SetCompression(c.level);
        TMemoryStream source(file);
        item.LoadFromStream(&source);
        if (c.level == clNone) {
            EXPECT_EQ(item.Data(), file);
            EXPECT_EQ(item.FileSize(), 0);
        } else {
            EXPECT_EQ(std::string(item.Data().begin(), item.Data().begin() + 2), c.header);
            EXPECT_EQ(Inflated(item.Data(), c.size + 4),
                      Prefixed(static_cast<std::uint32_t>(c.size), file));
            EXPECT_EQ(item.FileSize(), static_cast<std::int32_t>(c.size));
        }
        EXPECT_EQ(Saved(item), file);
        EXPECT_EQ(Saved(item), file) << "a second write-out must give the same bytes";

        // A new level repacks the held data and leaves the file as it was; while loading, a
        // level is only recorded, as the held bytes are taken to be in that form already.
        const Bytes held = item.Data();
        item.SetCompression(c.level == clMax ? clNone : clMax);
        EXPECT_EQ(Saved(item), file);
        item.SetCompression(c.level);
        EXPECT_EQ(item.Data(), held);
        {
            TFileStore::TLoadingScope loading(store);
            item.SetCompression(c.level == clNone ? clFastest : clNone);
        }
        EXPECT_EQ(item.Data(), held);
    }
}

TEST(FileStore, DamagedHeldDataFailsInsteadOfWritingOrWaiting) {
    const Bytes content = HelpLikePayload(5000);
    const Bytes good = Deflated(Prefixed(5000, content));
    Bytes badChecksum = good;
    badChecksum[badChecksum.size() - 1] ^= 0x55;
    Bytes wantsDictionary = good;
    wantsDictionary[1] = 0x20;  // a valid header asking for a preset dictionary
    const std::pair<const char*, Bytes> cases[] = {
        {"truncated", Bytes(good.begin(), good.end() - 10)},
        {"header only", Bytes(good.begin(), good.begin() + 2)},
        {"checksum", badChecksum},
        {"dictionary", wantsDictionary},
        {"not zlib", Bytes(content.begin(), content.begin() + 300)},
        {"prefix longer than content", Deflated(Prefixed(9000, content))},
        {"content longer than prefix", Deflated(Prefixed(100, content))},
        {"no room for the prefix", Deflated({'\x05', '\x00'})},
    };
    for (const auto& [what, held] : cases) {
        TFileStore store;
        TMemoryStream out;
        EXPECT_THROW(Held(store, clFastest, held).SaveToStream(&out), ECompressionError) << what;
    }
}

TEST(FileStore, ExtractAllWritesFilesAndConfinesFailuresToTheirItem) {
    TempDir dir;
    TFileStore store;
    Held(store, clFastest, Deflated(Prefixed(3, {'a', 'b', 'c'})), "good.chm");
    Held(store, clMax, Deflated(Prefixed(0, {})), "empty.chm");
    Held(store, clFastest, {'\x78', '\x01', '\x00'}, "broken.chm");
    Held(store, clNone, {'r', 'a', 'w'}, "raw.bin");
    // Existing files are truncated, not overwritten in place.
    WriteTextFile(dir / "nested/deeper/good.chm", std::string(5000, 'x'));
    WriteTextFile(dir / "nested/deeper/empty.chm", "old contents");

    std::vector<std::string> errors, written;
    store.OnExtractError = [&](TFileStore&, const std::string& path, const std::string& name) {
        errors.push_back(path + "|" + name);
    };
    store.OnAfterExtract = [&](TFileStore&, const std::string& path, const std::string& name) {
        written.push_back(path + name);
    };
    const std::string target = dir / "nested/deeper";  // no trailing delimiter
    EXPECT_FALSE(store.ExtractAll(target));

    EXPECT_EQ(ReadBytes(target + "/good.chm"), (Bytes{'a', 'b', 'c'}));
    EXPECT_TRUE(ReadBytes(target + "/empty.chm").empty());
    EXPECT_EQ(ReadBytes(target + "/raw.bin"), (Bytes{'r', 'a', 'w'}));
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

    Held(store, clNone, {'h', 'i'}, "BriskJot.chm");
    int beforeCalls = 0;
    store.OnBeforeExtract = [&](TFileStore&, std::string&, std::string&, bool&) { ++beforeCalls; };
    EXPECT_THROW(store.ExtractAll(""), EInOutError) << "an empty path fails once there is an item";
    EXPECT_EQ(beforeCalls, 1);

    // A handler may redirect an item or veto it.
    store.OnBeforeExtract = [&](TFileStore&, std::string& path, std::string& name, bool&) {
        path = dir / "made/";
        name = "renamed.chm";
    };
    EXPECT_TRUE(store.ExtractAll(dir / "made"));
    EXPECT_EQ(ReadBytes(dir / "made/renamed.chm"), (Bytes{'h', 'i'}));
    store.OnBeforeExtract = [](TFileStore&, std::string&, std::string&, bool& can) { can = false; };
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
    EXPECT_EQ(second.Name(), "FileStoreItem2");
    first.SetName("HELP");
    EXPECT_EQ(items.Add().Name(), "FileStoreItem1") << "the lowest free number is reused";

    EXPECT_THROW(second.SetName("help"), EFileStoreError);
    second.SetName("fileSTOREitem2");  // its own name in other case: no failure, no change
    EXPECT_EQ(second.Name(), "FileStoreItem2");
    items.Delete(0);
    second.SetName("help");
    EXPECT_EQ(second.Name(), "help");
    EXPECT_EQ(items.IndexOf(second), 0);
    EXPECT_EQ(items.Items(-1), nullptr);
    EXPECT_EQ(items.Items(items.Count()), nullptr);
}

TEST(FileStore, RatioTextsAndLoadOnlyFileSize) {
    TFileStore store;
    TFileStoreItem& item = Held(store, clFastest, Bytes(128530));
    EXPECT_EQ(item.Ratio(','), "100%") << "FileSize still 0";
    item.SetFileSize(136068);
    EXPECT_EQ(item.FileSize(), 0) << "FileSize is taken only while loading";
    {
        TFileStore::TLoadingScope loading(store);
        item.SetFileSize(136068);
    }
    EXPECT_EQ(item.Ratio(','), "94,46%");
    EXPECT_EQ(item.Ratio('.'), "94.46%");

    Held(store, clNone, Bytes(1470), "", 3932);
    EXPECT_EQ(store.Size(), 130000);
    EXPECT_EQ(store.OriginalSize(), 140000);
    EXPECT_EQ(store.Ratio(','), "92,86%");

    TFileStore grown;
    EXPECT_EQ(Held(grown, clNone, Bytes(20010), "", 20000).Ratio('.'), "100.05%")
        << "a zero after the separator stays";
}

TEST(ZStreams, AdaptorsRefuseWhatTheyCannotDoAndKeepTheirPlace) {
    const Bytes plain = HelpLikePayload(100000, 3);
    TMemoryStream packed;
    packed.WriteBuffer("head", 4);
    {
        TCompressionStream deflater(9, packed);
        deflater.WriteBuffer(plain.data(), 50000);
        packed.SetPosition(0);  // someone else moves the stream between writes
        deflater.WriteBuffer(plain.data() + 50000, 50000);
        EXPECT_EQ(deflater.Position(), 100000);
        char byte;
        EXPECT_THROW(deflater.Read(&byte, 1), ECompressionError);
        EXPECT_THROW(deflater.Seek(1, TSeekOrigin::Current), ECompressionError);
        EXPECT_THROW(deflater.Seek(0, TSeekOrigin::Begin), ECompressionError);
        EXPECT_THROW(deflater.Size(), ECompressionError);
    }
    packed.Seek(0, TSeekOrigin::End);
    packed.WriteBuffer("tail", 4);
    packed.SetPosition(4);
    {
        TDecompressionStream inflater(packed);
        Bytes read(plain.size());
        inflater.ReadBuffer(read.data(), 1000);
        packed.SetPosition(0);
        inflater.ReadBuffer(read.data() + 1000, read.size() - 1000);
        EXPECT_EQ(read, plain);
        EXPECT_THROW(inflater.Write("x", 1), ECompressionError);
        EXPECT_THROW(inflater.Seek(-1, TSeekOrigin::Current), ECompressionError);
        char byte;
        EXPECT_EQ(inflater.Read(&byte, 1), 0u);
        EXPECT_TRUE(inflater.AtStreamEnd());
    }
    // Released, the inflater hands back what it read ahead of the zlib stream's end.
    char tail[4];
    EXPECT_EQ(packed.Read(tail, 4), 4u);
    EXPECT_EQ(std::string(tail, 4), "tail");
}

}  // namespace
