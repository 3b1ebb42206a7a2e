// ParseHelpProject over a help project and the include files made from the input.
// Input: texts split at NULs: the project, then "1.h", "2.h"... Any of them may include any
// other, itself or the project, once or many times: chains as deep as the reader allows.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/stream.h"
#include "components/help/contextmap.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Names stay inside the scratch folder: no path may reach devices or endless files.
    if (input.find('/') != std::string::npos) return 0;
    fuzz::ScratchFolder& folder = fuzz::ScratchFolder::Get();
    folder.RemoveFiles();  // the last input's files are not this one's
    // At most 40 files; the rest of the input goes into the last.
    constexpr std::size_t kMaxFiles = 40;
    std::vector<std::string> texts;
    std::size_t at = 0;
    for (std::size_t next = 0;
         texts.size() + 1 < kMaxFiles && (next = input.find('\0', at)) != std::string::npos;
         at = next + 1)
        texts.push_back(input.substr(at, next - at));
    texts.push_back(input.substr(at));
    if (texts.size() < 2) texts.emplace_back();  // "1.h" always exists, for the parse below
    const std::string project = folder.WriteFile("project.hhp", texts[0]);
    for (std::size_t i = 1; i < texts.size(); ++i)
        folder.WriteFile(std::to_string(i) + ".h", texts[i]);
    const std::string include = folder.Path() + "/1.h";

    THelpContextMap parsed;
    std::size_t errors = 0;
    parsed.OnError = [&errors](const std::string& message) {
        FUZZ_CHECK(!message.empty());
        ++errors;
    };
    parsed.ParseHelpProject(project, false);
    const std::size_t fromProject = parsed.List().size();
    parsed.ParseHelpProject(include, true);
    FUZZ_CHECK(parsed.List().size() >= fromProject);
    for (const THelpContext& context : parsed.List()) FUZZ_CHECK(context.Hash != 0);

    // A rebuild stores the project's pairs sorted by hash, 8 bytes each, the list order kept
    // among equal hashes.
    THelpContextMap built;
    built.OnError = [](const std::string&) {};
    std::string information;
    built.OnInformation = [&information](const std::string& message) { information = message; };
    built.SetFileName(project);
    FUZZ_CHECK(built.FileName() == project);
    FUZZ_CHECK(!information.empty());
    std::vector<THelpContext> expected(parsed.List().begin(), parsed.List().begin() + fromProject);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const THelpContext& a, const THelpContext& b) { return a.Hash < b.Hash; });
    const std::vector<THelpContext> contexts = built.Contexts();
    FUZZ_CHECK(built.FileData().size() == 8 * contexts.size());
    FUZZ_CHECK(contexts.size() == expected.size());
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        FUZZ_CHECK(contexts[i].Hash == expected[i].Hash);
        FUZZ_CHECK(contexts[i].Number == expected[i].Number);
    }

    TMemoryStream stream;
    built.WriteFileData(stream);
    stream.SetPosition(0);
    THelpContextMap reread;
    reread.ReadFileData(stream);
    FUZZ_CHECK(reread.FileData() == built.FileData());
    FUZZ_CHECK(stream.Position() == stream.Size());
    return 0;
}
