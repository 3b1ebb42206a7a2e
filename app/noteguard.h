#pragma once
// Keeps another program's version of the note from being overwritten unseen: it knows the
// note as last read or written here, and before a save replaces a note changed elsewhere it
// keeps that version beside it as a copy.

#include <functional>
#include <string>
#include <string_view>

#include "app/notefile.h"
#include "app/noteidentity.h"

class TNoteGuard final : public notefile::Observer {
public:
    explicit TNoteGuard(std::string notePath);
    ~TNoteGuard();
    TNoteGuard(const TNoteGuard&) = delete;
    TNoteGuard& operator=(const TNoteGuard&) = delete;

    // Whether the note on disk is still the one known here.
    noteidentity::Change Check();

    // Told the full path of each copy kept.
    std::function<void(const std::string& copyPath)> OnCopyKept;

    void Read(const std::string& path, std::string_view bytes) override;
    void Written(const std::string& path, std::string_view bytes) override;
    bool BeforeReplace(const std::string& path) override;

private:
    void Remember(std::string_view bytes);
    bool KeepOtherVersion();

    std::string path_;
    noteidentity::KnownNote known_;
};
