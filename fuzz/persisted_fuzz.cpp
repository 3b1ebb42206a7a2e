// ReadMainFormData over arbitrary bytes; what loads is written again and extracted.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/persisted.h"
#include "components/help/contextmap.h"
#include "components/storage/filestore.h"
#include "fuzz/fuzzcheck.h"

namespace {

// The reader lets no name through that leaves the folder; of the rest, only short names that
// C functions read whole are written, to keep the scratch folder tidy.
bool PlainName(const std::string& name) {
    FUZZ_CHECK(name.find_first_of("/\\:") == std::string::npos);
    FUZZ_CHECK(name.find("..") == std::string::npos);
    return !name.empty() && name.size() <= 64 && name != "." &&
           name.find('\0') == std::string::npos;
}

std::vector<char> Rewrite(const std::vector<char>& bytes) {
    TFileStore store;
    THelpContextMap map;
    THelpRouterSettings router;
    ReadMainFormData(bytes.data(), bytes.size(), store, map, router);
    return WriteMainFormData(store, map, router, '.');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFileStore store;
    THelpContextMap map;
    THelpRouterSettings router;
    router.Helpfile = "before";
    try {
        ReadMainFormData(data, size, store, map, router);
    } catch (const EPersistedDataError&) {
        // Damage leaves every target as it was.
        FUZZ_CHECK(store.StoredItems().Count() == 0);
        FUZZ_CHECK(map.FileData().empty() && map.FileName().empty());
        FUZZ_CHECK(router.Helpfile == "before");
        return 0;
    }

    // What was read writes out in a form that reads back to the same bytes.
    const std::vector<char> written = WriteMainFormData(store, map, router, '.');
    FUZZ_CHECK(Rewrite(written) == written);

    fuzz::ScratchFolder& folder = fuzz::ScratchFolder::Get();
    int failures = 0;
    store.OnBeforeExtract = [&folder](TFileStore&, std::string&, std::string& fileName,
                                      bool& canExtract) {
        canExtract = PlainName(fileName);
        if (canExtract) folder.Remember(fileName);
    };
    store.OnExtractError = [&failures](TFileStore&, const std::string&, const std::string&) {
        ++failures;
    };
    std::vector<std::string> extracted;
    store.OnAfterExtract = [&extracted](TFileStore&, const std::string& path,
                                        const std::string& fileName) {
        extracted.push_back(path + fileName);
    };
    const bool allWritten = store.ExtractAll(folder.Path());
    FUZZ_CHECK(allWritten == (failures == 0));
    for (const std::string& fileName : extracted) {
        struct stat info {};
        FUZZ_CHECK(stat(fileName.c_str(), &info) == 0);
    }
    folder.RemoveFiles();
    return 0;
}
