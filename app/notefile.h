#pragma once
// Reading and writing the note file. Failures are exceptions.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/notecodec.h"

namespace notefile {

// The folder of the running executable, with its trailing backslash.
std::string ExeFolder();

// Archive only: lifts read-only, hidden and system. Failure is ignored on purpose.
void ResetAttributes(const std::string& path);

// ReplaceFileA takes the old note away before it puts the new one in its place: after a crash
// between the two, only the temporary file holds the text, whole. This puts it back.
void FinishInterruptedSave(const std::string& path);

// The whole note as the memo shows it, and the encoding it was read in (cut when a NUL ended
// it early); throws when the file cannot be read.
notecodec::Decoded ReadNote(const std::string& path);
// Saves the bytes of the file at path, as they are, to copyPath; nothing when there is no file.
void KeepCopy(const std::string& path, const std::string& copyPath);

// The one write primitive, replaceable so tests can cut a write short.
using WriteFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
void SetWriteFunction(WriteFn write);  // null restores WriteFile

// Told of every file these functions read or write, and asked before a file is replaced:
// the keeper of another program's version of the note listens here.
class Observer {
public:
    virtual void Read(const std::string& path, std::string_view bytes) = 0;
    virtual void Written(const std::string& path, std::string_view bytes) = 0;
    // False keeps the file from being replaced.
    virtual bool BeforeReplace(const std::string& path) = 0;

protected:
    ~Observer() = default;
};
void SetObserver(Observer* observer);  // null for none

// Writes text to path without ever leaving a damaged note behind: the text goes to a
// temporary file beside the note, flushed, which then takes the note's place. On failure the
// note is as it was and the temporary removed; or, where the replace took the note away
// halfway, the temporary stays for FinishInterruptedSave.
void WriteNote(const std::string& path, std::string_view text);

// The file a save replaces: the one path leads to when it is a symbolic link (the link
// stays), else path itself.
std::string SaveTarget(const std::string& path);

}  // namespace notefile
