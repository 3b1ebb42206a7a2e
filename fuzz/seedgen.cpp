// Writes the persisted-data seed with the program's own writer, so the seed follows the format.
// Usage: seedgen output-file

#include <cstdio>
#include <string>
#include <vector>

#include "app/persisted.h"
#include "components/help/contextmap.h"
#include "components/storage/filestore.h"

namespace {

void AddItem(TFileStore& store, const std::string& fileName, const std::string& text,
             TCompressionLevel level) {
    TFileStoreItem& item = store.StoredItems().Add();
    {
        TFileStore::TLoadingScope loading(store);
        item.SetFileName(fileName);
    }
    item.SetCompression(level);
    TMemoryStream source(std::vector<char>(text.begin(), text.end()));
    item.LoadFromStream(&source);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seedgen output-file\n");
        return 2;
    }
    TFileStore store;
    AddItem(store, "topic.htm", "<html><body>BriskJot help, help, help, help.</body></html>",
            clDefault);
    AddItem(store, "plain.txt", "stored as it is", clNone);
    AddItem(store, "empty.txt", "", clMax);

    THelpContextMap map;
    const char pairs[] = {1, 0, 0, 0, 10, 0, 0, 0, 2, 0, 0, 0, 20, 0, 0, 0};
    TMemoryStream fileData;
    fileData.WriteUInt32(sizeof pairs);
    fileData.WriteBuffer(pairs, sizeof pairs);
    fileData.SetPosition(0);
    map.ReadFileData(fileData);

    THelpRouterSettings router;
    router.HelpType = "htHTMLhelp";
    router.Helpfile = "BriskJot.chm";
    router.ValidateID = true;

    const std::vector<char> bytes = WriteMainFormData(store, map, router, '.');
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) return 1;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
