// Stands in for libFuzzer where it is not linked: replays every file of the corpus folders,
// then feeds mutations of them, all from one seed so that a failure can be repeated.
// Usage: runner [-runs=N] [-seed=S] [-timeout=SECONDS] [-artifact_prefix=P] folder-or-file...
// A crash leaves its input in P + "crash-input" (P defaults to the program's name and a dash),
// so targets run side by side keep their own.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

bool ReadFile(const std::string& name, Bytes& bytes) {
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) return false;
    bytes.clear();
    std::uint8_t buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(file);
    return true;
}

void Collect(const std::string& path, std::vector<std::string>& files) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return;
    if (!S_ISDIR(info.st_mode)) {
        files.push_back(path);
        return;
    }
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') Collect(path + "/" + entry->d_name, files);
    }
    closedir(dir);
}

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : Next() % bound; }

private:
    std::uint64_t state_;
};

// A few edits of the kinds that reach parsers' corners: bytes flipped, set to edge values,
// inserted, dropped, and pieces of other inputs spliced in.
Bytes Mutate(const Bytes& from, const std::vector<Bytes>& pool, Random& random) {
    static const std::uint8_t kInteresting[] = {0,   1,   0x7F, 0x80, 0xFF, '\r', '\n', ' ',
                                                '=', '#', '[',  '0',  '9',  'x',  '$',  '-'};
    Bytes bytes = from;
    const std::size_t edits = 1 + random.Below(4);
    for (std::size_t e = 0; e < edits; ++e) {
        const std::size_t at = random.Below(bytes.size() + 1);
        switch (random.Below(6)) {
            case 0:
                if (at < bytes.size())
                    bytes[at] ^= static_cast<std::uint8_t>(1u << random.Below(8));
                break;
            case 1:
                if (at < bytes.size()) bytes[at] = kInteresting[random.Below(sizeof kInteresting)];
                break;
            case 2:
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             static_cast<std::uint8_t>(random.Next()));
                break;
            case 3:
                if (at < bytes.size()) {
                    const std::size_t count =
                        1 + random.Below(std::min<std::size_t>(8, bytes.size() - at));
                    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
                }
                break;
            case 4: {
                const Bytes& other = pool[random.Below(pool.size())];
                if (other.empty()) break;
                const std::size_t begin = random.Below(other.size());
                const std::size_t count = 1 + random.Below(other.size() - begin);
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             other.begin() + static_cast<std::ptrdiff_t>(begin),
                             other.begin() + static_cast<std::ptrdiff_t>(begin + count));
                break;
            }
            default:
                if (at < bytes.size()) bytes.resize(at);
                break;
        }
    }
    constexpr std::size_t kMaxLength = 8192;
    if (bytes.size() > kMaxLength) bytes.resize(kMaxLength);
    return bytes;
}

const Bytes* currentInput = nullptr;
std::string crashFile;  // made before any input runs: the dying process cannot build it

// Runs as the process dies, from a signal or from a sanitizer: system calls only.
void SaveFailingInput() {
    if (currentInput == nullptr) return;
    const int file = open(crashFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0) return;
    if (write(file, currentInput->data(), currentInput->size()) < 0) {
        // Nothing more can be done while dying.
    }
    close(file);
}

// An input that runs this long is a finding too: work that grows out of hand.
void OnTimeout(int) {
    constexpr char kMessage[] = "input ran past -timeout: kept as crash-input\n";
    if (write(STDERR_FILENO, kMessage, sizeof kMessage - 1) < 0) {
        // Nothing more can be done while dying.
    }
    SaveFailingInput();
    _exit(70);
}

void OnFatalSignal(int signal) {
    SaveFailingInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

void SaveInputOnCrash() {
    std::signal(SIGABRT, OnFatalSignal);
    std::signal(SIGSEGV, OnFatalSignal);
    std::signal(SIGFPE, OnFatalSignal);
    std::signal(SIGALRM, OnTimeout);
    if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(SaveFailingInput);
}

unsigned timeoutSeconds = 0;

// Like libFuzzer, never hands over a null pointer, not even for an empty input.
void RunOne(const Bytes& bytes) {
    static const std::uint8_t kNothing = 0;
    alarm(timeoutSeconds);
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
    alarm(0);
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long runs = 10000;
    unsigned long seed = 1;
    std::string prefix = argv[0];
    prefix = prefix.substr(prefix.find_last_of('/') + 1) + "-";
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-runs=", 6) == 0) {
            runs = std::strtoul(argv[i] + 6, nullptr, 10);
        } else if (std::strncmp(argv[i], "-seed=", 6) == 0) {
            seed = std::strtoul(argv[i] + 6, nullptr, 10);
        } else if (std::strncmp(argv[i], "-timeout=", 9) == 0) {
            timeoutSeconds = static_cast<unsigned>(std::strtoul(argv[i] + 9, nullptr, 10));
        } else if (std::strncmp(argv[i], "-artifact_prefix=", 17) == 0) {
            prefix = argv[i] + 17;
        } else {
            Collect(argv[i], files);
        }
    }
    std::sort(files.begin(), files.end());

    crashFile = prefix + "crash-input";
    SaveInputOnCrash();
    std::vector<Bytes> pool;
    for (const std::string& name : files) {
        Bytes bytes;
        if (!ReadFile(name, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", name.c_str());
            return 1;
        }
        std::fprintf(stderr, "replaying %s\n", name.c_str());
        currentInput = &bytes;
        RunOne(bytes);
        currentInput = nullptr;
        pool.push_back(std::move(bytes));
    }
    if (pool.empty()) pool.emplace_back();

    Random random(seed);
    for (unsigned long run = 0; run < runs; ++run) {
        const Bytes input = Mutate(pool[random.Below(pool.size())], pool, random);
        // A crash leaves the input behind for replaying.
        currentInput = &input;
        RunOne(input);
        currentInput = nullptr;
        // Inputs that got through are worth mutating further now and then.
        if (random.Below(16) == 0 && pool.size() < 4096) pool.push_back(input);
    }
    std::fprintf(stderr, "%zu seed inputs, %lu mutated runs, seed %lu: no failure\n", files.size(),
                 runs, seed);
    return 0;
}
