// Writing the help file out of the store, against zlib's one-shot inflate plus one fwrite.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/stream.h"
#include "bench/ratio.h"
#include "components/storage/filestore.h"

namespace {

constexpr std::size_t kHelpFileSize = 136068;

// A compiled help file is mostly compressed pages with some plain text between them.
std::vector<char> HelpLikeFile() {
    if (const char* chm = std::getenv("BJ_CHM")) return ReadWholeFile(chm);
    static const char kText[] = "<h1>BriskJot</h1><p>Jot notes down from the tray.</p>";
    std::vector<char> bytes(kHelpFileSize);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] =
            (i / 512) % 8 == 0 ? kText[i % (sizeof kText - 1)] : static_cast<char>(state >> 24);
    }
    return bytes;
}

struct Fixture {
    std::string dir;
    TFileStore store;
    std::vector<char> file;

    Fixture() : file(HelpLikeFile()) {
        char pattern[] = "/tmp/bjbenchXXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        dir = pattern;
        TFileStoreItem& item = store.StoredItems().Add();
        item.SetCompression(clFastest);
        TMemoryStream source(file);
        item.LoadFromStream(&source);
        TFileStore::TLoadingScope loading(store);
        item.SetFileName("BriskJot.chm");
    }
    ~Fixture() {
        std::remove((dir + "/BriskJot.chm").c_str());
        std::remove((dir + "/baseline.chm").c_str());
        rmdir(dir.c_str());
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void Baseline(benchmark::State& state) {
    Fixture& f = Shared();
    const std::vector<char>& held = f.store.Items(0)->Data();
    std::vector<Bytef> plain(f.file.size() + 4);
    const std::string target = f.dir + "/baseline.chm";
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(plain.size());
        if (uncompress(plain.data(), &size, reinterpret_cast<const Bytef*>(held.data()),
                       static_cast<uLong>(held.size())) != Z_OK) {
            state.SkipWithError("uncompress failed");
            break;
        }
        std::FILE* out = std::fopen(target.c_str(), "wb");
        if (out == nullptr) {
            state.SkipWithError("cannot write");
            break;
        }
        std::fwrite(plain.data() + 4, 1, size - 4, out);
        std::fclose(out);
    }
}

void Briskjot(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        if (!f.store.ExtractAll(f.dir)) {
            state.SkipWithError("ExtractAll failed");
            break;
        }
    }
}

}  // namespace

BENCHMARK(Baseline)->Name("ExtractAll/baseline");
BENCHMARK(Briskjot)->Name("ExtractAll/briskjot");
BJ_RATIO_TARGET("ExtractAll", 1.3);
