// Build-time authoring: packs the compiled help file and the help project's context map into
// the main window's persisted data block, and packs the pictures the program carries.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "app/persisted.h"
#include "base/stream.h"
#include "base/zstreams.h"
#include "components/help/contextmap.h"
#include "components/storage/filestore.h"

namespace {

const char kUsage[] =
    "usage: bj_author --chm FILE.chm --hhp FILE.hhp --out FILE\n"
    "       bj_author --pack FILE --out FILE\n";
// The name the running program writes the help file under, whatever the build called it.
const char kHelpFileName[] = "BriskJot.chm";

struct Options {
    std::string chm;
    std::string hhp;
    std::string pack;
    std::string out;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string* target = nullptr;
        if (std::strcmp(argv[i], "--chm") == 0) target = &options.chm;
        if (std::strcmp(argv[i], "--hhp") == 0) target = &options.hhp;
        if (std::strcmp(argv[i], "--pack") == 0) target = &options.pack;
        if (std::strcmp(argv[i], "--out") == 0) target = &options.out;
        if (target == nullptr || i + 1 >= argc) return false;
        *target = argv[++i];
    }
    if (options.out.empty()) return false;
    return options.pack.empty() ? !options.chm.empty() && !options.hhp.empty()
                                : options.chm.empty() && options.hhp.empty();
}

void WriteFile(const std::string& fileName, const std::vector<char>& bytes) {
    TFileStream file(fileName, TFileStream::TMode::CreateTruncate);
    file.WriteBuffer(bytes.data(), bytes.size());
    file.Close();
}

// A picture, packed as the program unpacks it (zlib's best, a tenth of the size or less).
void PackFile(const std::string& in, const std::string& out) {
    TFileStream source(in, TFileStream::TMode::OpenRead);
    TMemoryStream packed;
    PackTo(source, source.Size(), Z_BEST_COMPRESSION, packed);
    WriteFile(out, packed.Bytes());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        if (!options.pack.empty()) {
            PackFile(options.pack, options.out);
            return 0;
        }
        TFileStore store;
        TFileStoreItem& item = store.StoredItems().Add();
        item.SetCompression(clMax);
        {
            TFileStream chm(options.chm, TFileStream::TMode::OpenRead);
            item.LoadFromStream(&chm);
        }
        if (item.Data().empty())
            throw EFileStoreError("Help file \"" + options.chm + "\" is empty");
        {
            // FileName is only taken the way persisted data would set it.
            TFileStore::TLoadingScope loading(store);
            item.SetFileName(kHelpFileName);
        }

        THelpContextMap contextMap;
        bool includeMissing = false;
        contextMap.OnError = [&](const std::string& message) {
            std::fprintf(stderr, "bj_author: %s\n", message.c_str());
            includeMissing = true;
        };
        contextMap.SetFileName(options.hhp);
        // A map missing its included names would ship silently wrong.
        if (includeMissing) return 1;

        THelpRouterSettings router;
        router.HelpType = "htHTMLhelp";
        router.ShowType = "stMain";

        WriteFile(options.out, WriteMainFormData(store, contextMap, router, '.'));
        std::printf("bj_author: %s: %d bytes held as %d (%s), %zu help contexts\n",
                    options.out.c_str(), item.FileSize(), item.Size(), item.Ratio('.').c_str(),
                    contextMap.List().size());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bj_author: %s\n", error.what());
        return 1;
    }
    return 0;
}
