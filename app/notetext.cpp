#include "app/notetext.h"

#include <cstring>

namespace notetext {

DecodedNote DecodeNote(std::string_view fileBytes) {
    DecodedNote note;
    if (fileBytes.empty()) return note;  // memchr must not see the null data of an empty view
    const void* nul = std::memchr(fileBytes.data(), '\0', fileBytes.size());
    if (nul) {
        fileBytes = fileBytes.substr(0, static_cast<const char*>(nul) - fileBytes.data());
        note.whole = false;
    }

    std::string& text = note.text;
    text.reserve(fileBytes.size() + fileBytes.size() / 32);
    size_t i = 0;
    while (i < fileBytes.size()) {
        // Copy the run up to the next line break in one go: notes are mostly text.
        const size_t next = fileBytes.find_first_of("\r\n", i);
        const size_t end = next == std::string_view::npos ? fileBytes.size() : next;
        text.append(fileBytes.data() + i, end - i);
        if (end == fileBytes.size()) break;
        text += "\r\n";
        i = end + 1;
        if (fileBytes[end] == '\r' && i < fileBytes.size() && fileBytes[i] == '\n') ++i;
    }
    return note;
}

}  // namespace notetext
