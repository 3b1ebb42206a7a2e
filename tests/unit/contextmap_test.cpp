#include "components/help/contextmap.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/filesys.h"
#include "components/help/namehash.h"
#include "tests/unit/filestore_testutil.h"

namespace {

TEST(NameHash, WeightsAndWrapping) {
    // clang-format off
    const std::pair<std::string, std::int32_t> cases[] = {
        {"", 0}, {"\x01", 209}, {" ", -16}, {"/", -1}, {"0", 10}, {"A", 17}, {"z", 42},
        {"\x80", -176}, {"\x91", 97}, {"\xff", -49}, {"a\x80\xff", 23816}, {"/{", 0},
        {"IDH_Donate", 881942963}, {"idh_donate", 881942963},
        {"HelpContext_Options", -1991176241},  // wraps past 32 bits
    };
    // clang-format on
    for (const auto& [name, hash] : cases) EXPECT_EQ(HashName(name), hash) << '"' << name << '"';
}

struct ProjectFixture {
    TempDir dir;
    std::vector<std::string> errors;
    THelpContextMap map;
    ProjectFixture() {
        map.OnError = [this](const std::string& message) { errors.push_back(message); };
    }
};

using Pairs = std::vector<std::pair<std::int32_t, std::int32_t>>;

// The order is left to the fuzz replay, which checks it against a stable sort by hash.
Pairs Expected(std::vector<std::pair<std::string, std::int32_t>> names) {
    Pairs pairs;
    for (const auto& [name, number] : names) pairs.push_back({HashName(name), number});
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

Pairs Stored(const THelpContextMap& map) {
    Pairs pairs;
    for (const THelpContext& c : map.Contexts()) pairs.push_back({c.Hash, c.Number});
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

TEST(HelpContextMap, ParsesMapSectionsCommentsAndNumbers) {
    ProjectFixture fixture;
    // clang-format off
    WriteTextFile(fixture.dir / "p.hhp",
        "[OPTIONS]\r\nTitle=BriskJot\r\n\r\n[MAP]\r\nIDH_A=1\r\n"
        "  #define IDH_B 2 ; comment\r\n\tIDH_C\t3 # comment\r\n; IDH_X=9\r\n# IDH_Y 9\r\n"
        "IDH_N=abc\nIDH_N=12x\nIDH_D = 1 2\nIDH_E=-3\nIDH_N 99999999999\n=5\nIDH_N\n/{=4\n"
        "#define\n#defineXIDH_G 8\n#define\tIDH_H\t\t7;x\n"
        "\nIDH_N=2\n[map]\nIDH_I=3\n"       // a blank line ends the section
        "[ALIAS]\n[MAP]\nIDH_N=2\n");      // a section line inside the map ends the file
    // clang-format on
    fixture.map.SetFileName(fixture.dir / "p.hhp");
    // clang-format off
    EXPECT_EQ(Stored(fixture.map), Expected({{"IDH_A", 1}, {"IDH_B", 2}, {"IDH_C", 3}, {"IDH_D", 12},
                                             {"IDH_E", -3}, {"IDH_G", 8}, {"IDH_H", 7}, {"IDH_I", 3}}));
    // clang-format on
    EXPECT_EQ(fixture.map.FileData().size(), 8 * 8u);
    EXPECT_TRUE(fixture.errors.empty());
}

TEST(HelpContextMap, IncludesResolveAgainstTheProjectFolder) {
    ProjectFixture fixture;
    WriteTextFile(fixture.dir / "help/BriskJot.hhp",
                  "[MAP]\n#include ctx/ids.h\n#INCLUDE   missing.h  \nIDH_MAIN=8\n"
                  "#include loop.h\n");
    WriteTextFile(fixture.dir / "help/ctx/ids.h",
                  "// ids\n#define IDH_ABOUT 1\n\n#define IDH_TRAY 2\n[END]\nIDH_LATE=3\n");
    WriteTextFile(fixture.dir / "help/loop.h", "IDH_LOOP=5\n#include loop.h\n#include c1.h\n");
    // Each file of a chain included twice, once in other letter case, is read once.
    std::vector<std::pair<std::string, std::int32_t>> expected = {
        {"IDH_ABOUT", 1}, {"IDH_TRAY", 2}, {"IDH_MAIN", 8}, {"IDH_LOOP", 5}};
    for (int k = 1; k <= 24; ++k) {
        const std::string name = "IDH_C" + std::to_string(k), next = std::to_string(k + 1);
        const std::string text = name + "=" + std::to_string(k) + "\n#include c" + next +
                                 ".h\n#include C" + next + ".H\n";
        WriteTextFile(fixture.dir / ("help/c" + std::to_string(k) + ".h"), text);
        WriteTextFile(fixture.dir / ("help/C" + std::to_string(k) + ".H"), text);
        expected.push_back({name, k});
    }
    WriteTextFile(fixture.dir / "help/c25.h", "");
    WriteTextFile(fixture.dir / "help/C25.H", "");
    const std::string cwd = GetCurrentDir();
    fixture.map.SetFileName(fixture.dir / "help/BriskJot.hhp");

    EXPECT_EQ(GetCurrentDir(), cwd);
    EXPECT_EQ(Stored(fixture.map), Expected(expected));
    // One error each for the missing file and the loop, naming the file.
    ASSERT_EQ(fixture.errors.size(), 2u);
    EXPECT_NE(fixture.errors[0].find(fixture.dir / "help/missing.h"), std::string::npos);
    EXPECT_NE(fixture.errors[1].find(fixture.dir / "help/loop.h"), std::string::npos);
}

TEST(HelpContextMap, BuildingNeedsTheProjectAndOnlyRunsOutsideLoading) {
    ProjectFixture fixture;
    WriteTextFile(fixture.dir / "a.hhp", "[MAP]\nIDH_A=1\nIDH_B=2\nIDH_C=3\n");
    fixture.map.SetFileName(fixture.dir / "a.hhp");
    const std::vector<char> built = fixture.map.FileData();
    const std::string missing = fixture.dir / "none.hhp";
    EXPECT_THROW(fixture.map.SetFileName(missing), EHelpContextMapError);
    EXPECT_EQ(fixture.map.FileName(), fixture.dir / "a.hhp");
    EXPECT_EQ(fixture.map.FileData(), built);

    {
        THelpContextMap::TLoadingScope loading(fixture.map);
        fixture.map.SetFileName(missing);
    }
    EXPECT_EQ(fixture.map.FileName(), missing);
    fixture.map.SetFileName("");
    EXPECT_EQ(fixture.map.FileData(), built);
}

TEST(HelpContextMap, DamagedFileDataIsRefusedAndCleared) {
    THelpContextMap map;
    TMemoryStream good(std::vector<char>{'\x08', 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    map.ReadFileData(good);
    ASSERT_EQ(map.FileData().size(), 8u);
    const std::vector<char> damaged[] = {
        {'\x10', 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8},  // count beyond the data
        {'\x04', 0, 0, 0, 1, 2, 3, 4},              // no whole pair
        {'\xff', '\xff', '\xff', '\xff'},           // huge count
        {'\x08', 0},                                // short count
    };
    for (const auto& bytes : damaged) {
        TMemoryStream bad(bytes);
        EXPECT_ANY_THROW(map.ReadFileData(bad)) << bytes.size();
        EXPECT_TRUE(map.FileData().empty()) << bytes.size();
    }
}

}  // namespace
