// Reading a help project's map of context names to numbers: the authoring tool's side, apart
// so that the program, which only reads the stored map, carries none of it.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "base/filesys.h"
#include "components/help/contextmap.h"
#include "components/help/namehash.h"

namespace {

// Deep enough for any real project, shallow enough to keep the stack safe.
constexpr std::size_t kMaxIncludeDepth = 32;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

std::string Trim(const std::string& text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) !=
                                    std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool ReadLine(std::FILE* file, std::string& line) {
    line.clear();
    int c = std::fgetc(file);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
        line += static_cast<char>(c);
        c = std::fgetc(file);
    }
    return true;
}

bool ParseInteger(const std::string& text, std::int32_t& value) {
    const std::size_t digits = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.size() == digits) return false;
    for (std::size_t i = digits; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<std::int32_t>(parsed);
    return true;
}

// A map line's context name and number: "#" or ";" ends it, the name ends at a blank once it
// has begun or at "=", and blanks and "=" inside the number are passed over.
void ScanMapLine(const std::string& line, std::string& name, std::string& number) {
    bool nameEnded = false;
    for (const char c : line) {
        if (c == '#' || c == ';') break;
        const bool blank = c == '\t' || c == ' ';
        if (!nameEnded) {
            if (c == '=' || (blank && !name.empty())) {
                nameEnded = true;
            } else if (!blank) {
                name += c;
            }
        } else if (!blank && c != '=') {
            number += c;
        }
    }
}

void PutInt32(std::vector<char>& bytes, std::int32_t value) {
    const std::uint32_t bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(bits >> shift));
}

}  // namespace

void THelpContextMap::SetFileName(const std::string& fileName) {
    if (fileName.empty() || loading_ > 0) {
        fileName_ = fileName;
        return;
    }
    if (!FileExists(fileName)) throw EHelpContextMapError("File " + fileName + " not found.");
    // Parsed aside, so that a failure leaves the map as it was.
    std::vector<THelpContext> previous;
    previous.swap(list_);
    try {
        ParseHelpProject(fileName, false);
    } catch (const std::exception&) {
        list_.swap(previous);
        throw;
    }
    std::stable_sort(list_.begin(), list_.end(),
                     [](const THelpContext& a, const THelpContext& b) { return a.Hash < b.Hash; });
    fileData_.clear();
    for (const THelpContext& context : list_) {
        PutInt32(fileData_, context.Hash);
        PutInt32(fileData_, context.Number);
    }
    if (OnInformation) {
        OnInformation("Help context list updated. " + std::to_string(list_.size()) +
                      " items stored.");
    }
    fileName_ = fileName;
}

void THelpContextMap::ParseHelpProject(const std::string& fileName, bool included) {
    std::vector<std::string> openFiles;
    std::set<std::string> readFiles;
    Parse(fileName, included, openFiles, readFiles);
}

void THelpContextMap::Parse(const std::string& fileName, bool included,
                            std::vector<std::string>& openFiles, std::set<std::string>& readFiles) {
    UniqueFile file(std::fopen(fileName.c_str(), "rb"));
    if (!file) throw EHelpContextMapError("Cannot open file \"" + fileName + "\"");
    openFiles.push_back(LowerCase(ExpandFileName(fileName)));
    readFiles.insert(openFiles.back());

    bool inSection = false;
    std::string rawLine;
    while (ReadLine(file.get(), rawLine)) {
        const std::string line = Trim(rawLine);
        if (!(inSection || included) || line.empty()) {
            inSection = StartsWithNoCase(line, "[MAP]");
            continue;
        }
        if (line[0] == '[') break;
        if (StartsWithNoCase(line, "#include")) {
            std::string includeName;
            {
                TCurrentDirScope folder(ExtractFilePath(fileName));
                includeName = ExpandFileName(Trim(line.substr(8)));
            }
            // Names as Windows compares them: letter case makes no other file.
            const std::string key = LowerCase(includeName);
            const bool looping =
                std::find(openFiles.begin(), openFiles.end(), key) != openFiles.end();
            if (!FileExists(includeName)) {
                if (OnError) OnError("Include file \"" + includeName + "\" not found!");
            } else if (looping || openFiles.size() >= kMaxIncludeDepth) {
                // Reading it again would never end.
                if (OnError) OnError("Include file \"" + includeName + "\" includes itself!");
            } else if (readFiles.count(key) == 0) {
                // A file read once has given its pairs; reading it at every include costs twice
                // as much for each level of a chain that includes its next file twice.
                Parse(includeName, true, openFiles, readFiles);
            }
            continue;
        }
        std::string mapLine = line;
        if (StartsWithNoCase(line, "#define")) mapLine = line.size() > 8 ? line.substr(8) : "";
        std::string name;
        std::string numberText;
        ScanMapLine(mapLine, name, numberText);
        std::int32_t number = 0;
        if (name.empty() || numberText.empty() || !ParseInteger(numberText, number)) continue;
        const std::int32_t hash = HashName(name);
        if (hash != 0) list_.push_back({hash, number});
    }
    openFiles.pop_back();
}
