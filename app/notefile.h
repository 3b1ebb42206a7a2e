#pragma once
// Reading and writing the note file. Failures are exceptions.

#include <windows.h>

#include <string>
#include <string_view>

namespace notefile {

// The folder of the running executable, with its trailing backslash.
std::string ExeFolder();

bool FileExists(const std::string& path);
// Archive only: lifts read-only, hidden and system. Failure is ignored on purpose.
void ResetAttributes(const std::string& path);

// The whole note as the memo shows it; throws when the file cannot be read.
std::string ReadNote(const std::string& path);

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

// Writes text to path without ever leaving a damaged note behind: the text
// goes to a temporary file in the same folder, which then replaces the note in
// one step. On failure the old note is untouched and the temporary is removed.
void WriteNote(const std::string& path, std::string_view text);

}  // namespace notefile
