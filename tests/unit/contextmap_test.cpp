#include "components/help/contextmap.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "components/help/namehash.h"
#include "components/storage/filesys.h"
#include "tests/unit/filestore_testutil.h"

namespace {

TEST(NameHash, WeightsAndWrapping) {
    // clang-format off
    const std::pair<std::string, std::int32_t> cases[] = {
        {"", 0}, {std::string(1, '\0'), 0}, {"\x01", 209}, {"\x1f", 239}, {" ", -16}, {"*", 250},
        {"/", -1}, {"0", 10}, {"9", 9}, {":", 10}, {"@", 16}, {"A", 17}, {"z", 42}, {"[", 11},
        {"_", 13}, {"`", 16}, {"{", 43}, {"\x7f", 47}, {"\x80", -176}, {"\x91", 97}, {"\x97", 103},
        {"\x98", -152}, {"\xff", -49}, {"ab", 17 * 43 + 18}, {"a\x80\xff", 23816}, {"/{", 0},
        {"IDH_MAIN_WINDOW", 335895412}, {"IDH_Donate", 881942963}, {"idh_donate", 881942963},
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

// The pairs a list of (name, number) must produce, in stored order.
std::vector<std::pair<std::int32_t, std::int32_t>> Expected(
    std::vector<std::pair<std::string, std::int32_t>> names) {
    std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
    for (const auto& [name, number] : names) pairs.push_back({HashName(name), number});
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return pairs;
}

std::vector<std::pair<std::int32_t, std::int32_t>> Stored(const THelpContextMap& map) {
    std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
    for (const THelpContext& c : map.Contexts()) pairs.push_back({c.Hash, c.Number});
    return pairs;
}

TEST(HelpContextMap, ParsesMapSectionsIncludesAndComments) {
    struct Case {
        const char* what;
        std::string project;
        std::vector<std::pair<std::string, std::int32_t>> expected;
    };
    const Case cases[] = {
        {"equals, define, comments",
         "[OPTIONS]\r\nTitle=BriskJot\r\n\r\n[MAP]\r\nIDH_A=1\r\n"
         "  #define IDH_B 2 ; comment\r\n\tIDH_C\t3 # comment\r\n; IDH_X=9\r\n# IDH_Y 9\r\n",
         {{"IDH_A", 1}, {"IDH_B", 2}, {"IDH_C", 3}}},
        {"blank line ends the section",
         "[map]\nIDH_A=1\n\nIDH_B=2\n[MAP]\nIDH_C=3\n",
         {{"IDH_A", 1}, {"IDH_C", 3}}},
        {"a section line inside the map ends the file",
         "[MAP]\nIDH_A=1\n[ALIAS]\n[MAP]\nIDH_B=2\n",
         {{"IDH_A", 1}}},
        {"other sections are not map lines", "[ALIAS]\nIDH_A=1\n[FILES]\nIDH_B 2\n", {}},
        {"numbers",
         "[MAP]\nIDH_A=abc\nIDH_B=12x\nIDH_C = 1 2\nIDH_D=-3\nIDH_E 99999999999\n"
         "=5\nIDH_F\n/{=4\n#define\n#defineXIDH_G 8\n",
         {{"IDH_C", 12}, {"IDH_D", -3}, {"IDH_G", 8}}},
        {"define spacing matches the equals form",
         "[MAP]\n#define\tIDH_A\t\t7;x\nIDH_B=7 ; x\n",
         {{"IDH_A", 7}, {"IDH_B", 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectFixture fixture;
        WriteTextFile(fixture.dir / "p.hhp", c.project);
        fixture.map.SetFileName(fixture.dir / "p.hhp");
        EXPECT_EQ(Stored(fixture.map), Expected(c.expected));
        EXPECT_EQ(fixture.map.FileData().size(), 8 * c.expected.size());
        EXPECT_TRUE(fixture.errors.empty());
    }
}

TEST(HelpContextMap, IncludesResolveAgainstTheProjectFolder) {
    ProjectFixture fixture;
    WriteTextFile(fixture.dir / "help/BriskJot.hhp",
                  "[MAP]\n#include ctx/ids.h\n#INCLUDE   missing.h  \nIDH_MAIN=8\n"
                  "#include loop.h\n");
    WriteTextFile(fixture.dir / "help/ctx/ids.h",
                  "// ids\n#define IDH_ABOUT 1\n\n#define IDH_TRAY 2\n[END]\nIDH_LATE=3\n");
    WriteTextFile(fixture.dir / "help/loop.h", "IDH_LOOP=5\n#include loop.h\n");
    const std::string cwd = GetCurrentDir();
    fixture.map.SetFileName(fixture.dir / "help/BriskJot.hhp");

    EXPECT_EQ(GetCurrentDir(), cwd);
    EXPECT_EQ(Stored(fixture.map),
              Expected({{"IDH_ABOUT", 1}, {"IDH_TRAY", 2}, {"IDH_MAIN", 8}, {"IDH_LOOP", 5}}));
    EXPECT_EQ(fixture.errors,
              (std::vector<std::string>{
                  "Include file \"" + (fixture.dir / "help/missing.h") + "\" not found!",
                  "Include file \"" + (fixture.dir / "help/loop.h") + "\" includes itself!"}));
}

TEST(HelpContextMap, BuildingNeedsTheProjectAndOnlyRunsOutsideLoading) {
    ProjectFixture fixture;
    WriteTextFile(fixture.dir / "a.hhp", "[MAP]\nIDH_A=1\nIDH_B=2\nIDH_C=3\n");
    std::string info;
    fixture.map.OnInformation = [&](const std::string& message) { info = message; };
    fixture.map.SetFileName(fixture.dir / "a.hhp");
    EXPECT_EQ(info, "Help context list updated. 3 items stored.");
    const std::vector<char> built = fixture.map.FileData();

    const std::string missing = fixture.dir / "none.hhp";
    try {
        fixture.map.SetFileName(missing);
        ADD_FAILURE() << "a missing project was accepted";
    } catch (const EHelpContextMapError& error) {
        EXPECT_EQ(error.what(), "File " + missing + " not found.");
    }
    EXPECT_EQ(fixture.map.FileName(), fixture.dir / "a.hhp");
    EXPECT_EQ(fixture.map.FileData(), built);

    {
        THelpContextMap::TLoadingScope loading(fixture.map);
        fixture.map.SetFileName(missing);
    }
    EXPECT_EQ(fixture.map.FileName(), missing);
    fixture.map.SetFileName("");
    EXPECT_EQ(fixture.map.FileName(), "");
    EXPECT_EQ(fixture.map.FileData(), built);
}

TEST(HelpContextMap, FileDataIsSortedBySignedHashAndDamageIsRefused) {
    ProjectFixture fixture;
    WriteTextFile(fixture.dir / "a.hhp", "[MAP]\nIDH_Z=3\nIDH_A=8\nHelpContext_Options=5\n");
    fixture.map.SetFileName(fixture.dir / "a.hhp");
    // Ascending as signed values: the wrapped negative hash comes first.
    EXPECT_EQ(fixture.map.Contexts().front().Number, 5);

    const std::pair<const char*, std::vector<char>> damaged[] = {
        {"count beyond the data", {'\x10', 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"no whole pair", {'\x04', 0, 0, 0, 1, 2, 3, 4}},
        {"huge count", {'\xff', '\xff', '\xff', '\xff'}},
        {"short count", {'\x08', 0}},
    };
    for (const auto& [what, bytes] : damaged) {
        TMemoryStream bad(bytes);
        EXPECT_ANY_THROW(fixture.map.ReadFileData(bad)) << what;
        EXPECT_TRUE(fixture.map.FileData().empty()) << what;
    }
}

}  // namespace
